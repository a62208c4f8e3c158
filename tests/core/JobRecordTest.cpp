#include "core/Res.h"
#include "core/ResDownloader.h"
#include "core/ResList.h"
#include "core/SendData.h"
#include "core/ThreadItem.h"

#include <gtest/gtest.h>

namespace {

TRes *NewRes(int number)
{
    auto *res = new TRes;
    res->Number = number;
    return res;
}

}  // namespace

TEST(ResDownloader, HoldsReportsUntilTheCacheIsRendered)
{
    TResList list;
    QStringList events;
    auto *job = new TResDownloader;
    job->ResList = &list;
    job->OnRes = [&](TResDownloader *j, TRes *res, int, int position) {
        events << QStringLiteral("res%1@%2").arg(res->Number).arg(position);
        j->ResList->Add(res);
    };
    job->OnError = [&](TResDownloader *, int code, const QString &, const QString &) {
        events << QStringLiteral("error%1").arg(code);
    };
    job->OnDone = [&](TResDownloader *j, bool failed) {
        events << QStringLiteral("done%1").arg(failed);
        delete j;   // the done callback frees the job, as the callers do
    };

    job->DeliverRes(NewRes(11), 3, 1);
    job->DeliverRes(NewRes(12), 3, 2);
    job->DeliverError(500, QStringLiteral("x"), QString());
    job->DeliverDone(true);
    EXPECT_TRUE(events.isEmpty());
    EXPECT_EQ(list.Count(), 0);

    job->SetCacheReady();
    EXPECT_EQ(events, QStringList({"res11@1", "res12@2", "error500", "done1"}));
    EXPECT_EQ(list.Count(), 2);
}

TEST(ResDownloader, DeliversAtOnceWhenReadyAndOwnsWhatItHolds)
{
    auto *item = new TThreadItem;
    {
        TResList list;
        TResDownloader job(item);
        EXPECT_EQ(item->RefCount(), 2);
        job.ResList = &list;
        job.SetCacheReady();
        job.DeliverRes(NewRes(1), 1, 1);   // no callback: the response goes to the list
        EXPECT_EQ(list.Count(), 1);

        TResDownloader held;
        held.DeliverRes(NewRes(2), 1, 1);  // never released: freed with the job
        job.ReleaseItem();
        EXPECT_EQ(item->RefCount(), 1);
        job.ReleaseItem();                 // a second release does nothing
    }
    EXPECT_EQ(item->RefCount(), 1);

    TResDownloader job;
    job.SetUrl(QStringLiteral("http://host/test/read.cgi/a/1/"));
    EXPECT_EQ(job.Url(), QStringLiteral("http://host/test/read.cgi/a/1/"));
    job.SetUrl(QStringLiteral("HTTPS://host/x"));
    EXPECT_EQ(job.Url(), QStringLiteral("HTTPS://host/x"));
    for (const char *bad : {"file:///etc/passwd", "javascript:alert(1)", "ftp://host/", "//host/x", " http://x"}) {
        job.SetUrl(QString::fromLatin1(bad));
        EXPECT_TRUE(job.Url().isEmpty()) << bad;
    }
    item->Release();
}

TEST(SendData, FillsPostTemplatesInTheBoardsCode)
{
    TSendData data;
    data.Name = QStringLiteral("名無し");
    data.Mail = QStringLiteral("sage");
    data.Body = QStringLiteral("a b&c\r\n二行目");
    data.BBS = QStringLiteral("news");
    data.Key = QStringLiteral("1234567890");
    data.Time = 1700000000;
    const QString form = QStringLiteral("bbs=<BBS>&key=<key>&time=<time>&FROM=<name>&mail=<mail>&MESSAGE=<message>");
    EXPECT_EQ(data.FillTemplate(form, 0),
              QStringLiteral("bbs=news&key=1234567890&time=1700000000&FROM=%96%BC%96%B3%82%B5&mail=sage"
                             "&MESSAGE=a+b%26c%0D%0A%93%F1%8Ds%96%DA"));
    EXPECT_EQ(data.FillTemplate(QStringLiteral("<name>"), 1), QStringLiteral("%CC%BE%CC%B5%A4%B7"));
    // A value that looks like a placeholder is not filled again.
    data.Name = QStringLiteral("<mail>");
    EXPECT_EQ(data.FillTemplate(QStringLiteral("<name>"), 2), QStringLiteral("%3Cmail%3E"));
}
