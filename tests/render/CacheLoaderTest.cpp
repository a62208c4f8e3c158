// The cache loader: the stored log reaches the tab in order, on the GUI thread, and never a tab
// that was closed meanwhile.
#include "core/ThreadTestEnv.h"

#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/JConvert.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "render/ResCacheLoader.h"
#include "render/TavuBrowser.h"
#include "support/WaitLimit.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPointer>
#include <QRegularExpression>
#include <QThread>
#include <QtCore/qtestsupport_core.h>

namespace {

// Writes a log of count responses for the item (LF line ends, as the compatibility mode keeps them).
void WriteLog(TThreadItem *item, int count)
{
    QString log;
    for (int n = 1; n <= count; ++n)
        log += QStringLiteral("名無し<><>2024/01/01 ID:x<>本文%1<>%2\n").arg(n).arg(n == 1 ? "スレ" : "");
    FileUtil::WriteFileAtomic(item->GetLogFile(), jconvert::UnicodeToSjis(log));
}

// The response anchors of rendered HTML, in order.
QList<int> Anchors(const QString &html)
{
    static const QRegularExpression anchor(QStringLiteral("id=\"ID(\\d+)\""));
    QList<int> numbers;
    for (auto it = anchor.globalMatch(html); it.hasNext();)
        numbers << it.next().captured(1).toInt();
    return numbers;
}

bool OnGuiThread()
{
    return QThread::currentThread() == QCoreApplication::instance()->thread();
}

}  // namespace

TEST(CacheLoaderTest, RendersTheStoredLogInOrderOnTheGuiThread)
{
    ThreadTestEnv env;
    ItemRef item(env.NewItem(QStringLiteral("1100000001"), QStringLiteral("スレ")));
    WriteLog(item.get(), 250);
    item->SetRead(250);   // read before: no response comes marked new
    TIniFile inf(item->GetInfFile());
    inf.WriteBool(QStringLiteral("ERASE"), QStringLiteral("RES3"), true);
    inf.UpdateFile();
    TTavuBrowser tab;
    tab.SetResList(new TResList(item.get()));
    const int references = item->RefCount();
    auto *loader = new TResCacheLoader(&tab, tab.ResList(), item.get(), item->ReadErasedRes());
    QPointer<TResCacheLoader> alive(loader);
    loader->ChunkSize = 100;
    QList<int> passed;
    QStringList chunks;
    bool allOnGuiThread = true;
    bool done = false;
    loader->OnCacheRes = [&](TResCacheLoader *, TRes *res) {
        allOnGuiThread &= OnGuiThread();
        passed << res->Number;
        if (tab.TakesRes(res))
            tab.AppendRes(res);
    };
    loader->OnCacheChunk = [&](TResCacheLoader *, const QString &html) {
        allOnGuiThread &= OnGuiThread();
        chunks << html;
    };
    loader->OnCacheDone = [&](TResCacheLoader *sender) {
        allOnGuiThread &= OnGuiThread();
        EXPECT_EQ(sender->Tab(), &tab);
        EXPECT_EQ(sender->RenderedCount(), 250);
        done = true;
    };
    loader->Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return done && !alive; }, WaitLimitMs));

    EXPECT_TRUE(allOnGuiThread);
    ASSERT_EQ(chunks.size(), 3);
    EXPECT_TRUE(chunks[0].startsWith(QStringLiteral("<html")));
    EXPECT_EQ(passed.size(), 250);
    EXPECT_TRUE(std::is_sorted(passed.begin(), passed.end()));
    QList<int> shown = Anchors(chunks.join(QString()));
    EXPECT_EQ(shown.size(), 249);   // response 3 is erased
    EXPECT_FALSE(shown.contains(3));
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));
    EXPECT_EQ(Anchors(chunks[1]).first(), 101);
    ASSERT_EQ(tab.ResList()->Count(), 250);
    EXPECT_EQ(tab.ResList()->Get(249)->Number, 250);
    EXPECT_EQ(tab.ResList()->Get(249)->Body, QStringLiteral("本文250"));
    EXPECT_TRUE(tab.ResList()->Get(2)->Erased);
    EXPECT_EQ(item->RefCount(), references);
}

TEST(CacheLoaderTest, NeverWritesIntoATabClosedMeanwhile)
{
    ThreadTestEnv env;
    ItemRef item(env.NewItem(QStringLiteral("1100000002"), QStringLiteral("スレ")));
    WriteLog(item.get(), 5000);
    const int references = item->RefCount();

    auto *tab = new TTavuBrowser;
    tab->SetResList(new TResList(item.get()));
    auto *loader = new TResCacheLoader(tab, tab->ResList(), item.get(), item->ReadErasedRes());
    QPointer<TResCacheLoader> alive(loader);
    loader->ChunkSize = 10;
    int chunks = 0;
    bool done = false;
    loader->OnCacheChunk = [&](TResCacheLoader *, const QString &) {
        ++chunks;
        delete tab;   // the tab closes while the log is still being read
    };
    loader->OnCacheDone = [&](TResCacheLoader *sender) {
        EXPECT_EQ(sender->Tab(), nullptr);
        done = true;
    };
    loader->Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return done && !alive; }, WaitLimitMs));
    EXPECT_EQ(chunks, 1);
    EXPECT_EQ(item->RefCount(), references);
}

TEST(CacheLoaderTest, StopsAtOnceWhenACallbackClosesTheThread)
{
    ThreadTestEnv env;
    ItemRef item(env.NewItem(QStringLiteral("1100000004"), QStringLiteral("スレ")));
    WriteLog(item.get(), 300);
    TTavuBrowser tab;
    tab.SetThreadItem(item.get());
    tab.SetResList(new TResList(item.get()));
    auto *loader = new TResCacheLoader(&tab, tab.ResList(), item.get(), item->ReadErasedRes());
    QPointer<TResCacheLoader> alive(loader);
    int chunks = 0;
    bool done = false;
    loader->OnCacheRes = [&](TResCacheLoader *, TRes *res) {
        if (res->Number == 5) {   // the user closes the thread; the tab shows another one
            tab.CloseThread();
            tab.SetResList(new TResList);
        }
    };
    loader->OnCacheChunk = [&](TResCacheLoader *, const QString &) { ++chunks; };
    int rendered = -1;
    loader->OnCacheDone = [&](TResCacheLoader *sender) {
        rendered = sender->RenderedCount();
        done = true;
    };
    loader->Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return done && !alive; }, WaitLimitMs));
    EXPECT_EQ(rendered, 5);   // nothing went into the freed list after the close
    EXPECT_EQ(chunks, 0);
    EXPECT_EQ(tab.ResList()->Count(), 0);
}

TEST(CacheLoaderTest, AThreadWithoutLogStillGetsItsHeader)
{
    ThreadTestEnv env;
    ItemRef item(env.NewItem(QStringLiteral("1100000003"), QStringLiteral("スレ")));
    TTavuBrowser tab;
    tab.SetThreadItem(item.get());
    tab.SetResList(new TResList(item.get()));
    auto *loader = new TResCacheLoader(&tab, tab.ResList(), item.get(), item->ReadErasedRes());
    QStringList chunks;
    bool done = false;
    loader->OnCacheChunk = [&](TResCacheLoader *, const QString &html) { chunks << html; };
    loader->OnCacheDone = [&](TResCacheLoader *) { done = true; };
    loader->Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return done; }, WaitLimitMs));
    ASSERT_EQ(chunks.size(), 1);
    // The header waits for a response to come under it, or for the end of the page.
    EXPECT_TRUE(chunks[0].isEmpty()) << chunks[0].toStdString();
    EXPECT_EQ(tab.ResList()->Count(), 0);
    tab.BeginChunk();
    tab.WriteHtml();
    const QString page = tab.EndChunk();
    EXPECT_TRUE(page.contains(QStringLiteral("<title>スレ</title>"))) << page.toStdString();
    EXPECT_TRUE(Anchors(page).isEmpty());
}

// Asked for the first screen just after it starts, the loader renders the chunks up to it before
// the call returns, without the event loop: from the first response on, the first screenful; from a
// place the log ends soon after, the whole log, the screen there sent with it. The rest and the
// report of the end come through the event loop, once.
TEST(CacheLoaderTest, RendersTheFirstScreenBeforeTheCallReturns)
{
    ThreadTestEnv env;
    for (const int place : {1, 995}) {
        ItemRef item(env.NewItem(place == 1 ? QStringLiteral("1100000011") : QStringLiteral("1100000012"), QStringLiteral("スレ")));
        WriteLog(item.get(), 1000);
        item->SetRead(1000);
        TTavuBrowser tab;
        tab.SetThreadItem(item.get());
        tab.SetResList(new TResList(item.get()));
        tab.ShowFirst(place);
        auto *loader = new TResCacheLoader(&tab, tab.ResList(), item.get(), {});
        QPointer<TResCacheLoader> alive(loader);
        loader->ChunkSize = 10;
        int reports = 0;
        loader->OnCacheDone = [&reports](TResCacheLoader *) { ++reports; };
        loader->Start();
        loader->RenderFirstScreen();
        EXPECT_TRUE(tab.FirstScreenWritten()) << place;
        EXPECT_EQ(reports, 0) << place;
        if (place == 1)
            EXPECT_GE(loader->RenderedCount(), TTavuBrowser::FirstScreenSize);
        else
            EXPECT_EQ(loader->RenderedCount(), 1000);
        ASSERT_TRUE(QTest::qWaitFor([&] { return reports > 0 && !alive; }, WaitLimitMs)) << place;
        EXPECT_EQ(reports, 1) << place;
        EXPECT_EQ(tab.ResList()->Count(), 1000) << place;
    }
}
