// A reload whose body the program refuses (past its bound, a broken compressed stream) is told for
// what it is, never as a thread that fell off the board.

#include "WindowParts.h"
#include "PostTestEnv.h"

#include "core/ThreadItem.h"
#include "render/TavuBrowser.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>

using namespace PostTest;

namespace {

const QString Key = QStringLiteral("1000000001");

// The line the log pane gives under the error line of the thread download.
QString ErrorLine(TPostWindowEnv &env)
{
    const QStringList log = Part<QPlainTextEdit>(env.Window(), "Memo1")->toPlainText().split(QLatin1Char('\n'));
    for (qsizetype i = 0; i + 1 < log.size(); ++i)
        if (log[i].startsWith(QStringLiteral("△スレッド取得エラー")))
            return log[i + 1];
    return QString();
}

}  // namespace

TEST(RefusedBody, AReloadPastTheBoundIsToldAsSuch)
{
    TPostWindowEnv env;
    AddThread(env.server, News, Key, 3);
    ItemRef hold(NewsItem(env, Key));
    OpenThread(env, hold.get());
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));

    TavuConfig->LIMIT_DAT_MB = 1;
    const QString body = QStringLiteral("長い本文").repeated(20000);   // 160 KB a response
    for (int i = 0; i < 8; ++i)
        env.server.AppendRes(News, Key, QStringLiteral("名無し"), QString(), body);
    OpenThread(env, hold.get(), true);
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    const QString told = ErrorLine(env);
    EXPECT_TRUE(told.contains(QStringLiteral("大きすぎます"))) << told.toStdString();
    EXPECT_FALSE(told.contains(QStringLiteral("dat落ち"))) << told.toStdString();
    ASSERT_EQ(env.env.Messages.size(), 1);
    EXPECT_FALSE(env.env.Messages[0].contains(QStringLiteral("dat落ち"))) << env.env.Messages[0].toStdString();
}

TEST(RefusedBody, AFetchAnewWithABrokenStreamIsToldAsSuch)
{
    TPostWindowEnv env;
    AddThread(env.server, News, Key, 3);
    env.server.BrokenGzip = true;
    ItemRef hold(NewsItem(env, Key));
    OpenThread(env, hold.get(), true);
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    ASSERT_FALSE(env.server.RequestsTo(QStringLiteral("/dat/")).isEmpty());
    EXPECT_TRUE(env.server.RequestsTo(QStringLiteral("/dat/")).first().Header("Accept-Encoding").contains("gzip"));
    const QString told = ErrorLine(env);
    EXPECT_TRUE(told.contains(QStringLiteral("圧縮データが壊れています"))) << told.toStdString();
    EXPECT_FALSE(told.contains(QStringLiteral("dat落ち"))) << told.toStdString();
    ASSERT_EQ(env.env.Messages.size(), 1);
    EXPECT_FALSE(env.env.Messages[0].contains(QStringLiteral("dat落ち"))) << env.env.Messages[0].toStdString();
}

// A server that compresses its range replies unasked and breaks the stream: the box says the reply
// was damaged, in words first, and never that the logs differ.
TEST(RefusedBody, ADifferentialReplyWithABrokenStreamIsToldAsSuch)
{
    TPostWindowEnv env;
    AddThread(env.server, News, Key, 3);
    ItemRef hold(NewsItem(env, Key));
    OpenThread(env, hold.get());
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    ASSERT_TRUE(env.env.Messages.isEmpty());

    env.server.AppendRes(News, Key, QStringLiteral("名無し"), QString(), QStringLiteral("新しいレス"));
    env.server.GzipAlways = true;
    env.server.BrokenGzip = true;
    OpenThread(env, hold.get(), true);
    ASSERT_TRUE(WaitFor([&] { return Settled(env); }));
    EXPECT_FALSE(env.server.RequestsTo(QStringLiteral("/dat/")).last().Header("Range").isEmpty());
    EXPECT_TRUE(ErrorLine(env).contains(QStringLiteral("圧縮データが壊れています"))) << ErrorLine(env).toStdString();
    ASSERT_EQ(env.env.Messages.size(), 1);
    const QString box = env.env.Messages[0];
    EXPECT_TRUE(box.contains(QStringLiteral("\n圧縮データが壊れています"))) << box.toStdString();
    EXPECT_FALSE(box.contains(QStringLiteral("一致しません"))) << box.toStdString();
}
