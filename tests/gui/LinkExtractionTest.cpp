// Link extraction: which links are listed and ticked, the link page and handing URLs on.

#include "support/ScriptedHttpServer.h"

#include "core/Res.h"
#include "core/ResList.h"
#include "tools/ExifView.h"
#include "tools/ExtractLinkDialog.h"
#include "tools/ImageCache.h"
#include "tools/LinkExtraction.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTest>
#include <QTreeWidget>

namespace {

// Five posts, each with its own links.
struct TPosts {
    TResList list;
    TPosts()
    {
        const QStringList bodies{
            QStringLiteral("http://one.example/a.jpg"),
            QStringLiteral("見て http://two.example/b.png<br>ttp://two.example/c.zip"),
            QStringLiteral("no link here"),
            QStringLiteral("http://four.example/d.JPG http://four.example/page.html"),
            QStringLiteral("http://five.example/e.gif"),
        };
        for (int i = 0; i < bodies.size(); ++i) {
            auto *res = new TRes;
            res->Number = i + 1;
            res->Body = bodies[i];
            res->Visible = true;
            list.Add(res);
        }
    }
    QList<TRes *> Posts(std::initializer_list<int> numbers) const
    {
        QList<TRes *> posts;
        for (int number : numbers)
            posts << list.Get(number - 1);
        return posts;
    }
};

QStringList Urls(const TLinkExtraction &extraction, const QList<int> &rows)
{
    QStringList urls;
    for (int row : rows)
        urls << extraction.Links()[row].URL;
    return urls;
}

}  // namespace

TEST(LinkExtractionTest, ListsExactlyTheLinksOfTheGivenPostsAndTicksByTypeAndText)
{
    TPosts posts;
    posts.list.Get(3)->IsNew = true;
    TLinkExtraction extraction;
    extraction.AddResList(nullptr, posts.Posts({4, 2}));
    extraction.ExtractLinks();
    const QList<int> all = extraction.Visible({});
    EXPECT_EQ(Urls(extraction, all), QStringList({QStringLiteral("http://two.example/b.png"), QStringLiteral("http://two.example/c.zip"),
                                                  QStringLiteral("http://four.example/d.JPG"), QStringLiteral("http://four.example/page.html")}));
    TLinkFilter newOnly;
    newOnly.NewOnly = true;
    EXPECT_EQ(extraction.Visible(newOnly).size(), 2);   // the copies keep their marks

    const TLinkType pictures = TLinkType::FromLine(QStringLiteral("画像|.jpg;.png,.gif"));
    EXPECT_EQ(pictures.Caption, QStringLiteral("画像"));
    EXPECT_EQ(Urls(extraction, TLinkExtraction::MatchingType(extraction.Links(), all, pictures)),
              QStringList({QStringLiteral("http://two.example/b.png"), QStringLiteral("http://four.example/d.JPG")}));
    EXPECT_EQ(TLinkType::FromLine(QStringLiteral(".zip;.lzh")).Extensions, QStringList({QStringLiteral(".zip"), QStringLiteral(".lzh")}));
    EXPECT_EQ(Urls(extraction, TLinkExtraction::MatchingText(extraction.Links(), all, QStringLiteral("four"))).size(), 2);
    EXPECT_TRUE(TLinkExtraction::MatchingText(extraction.Links(), all, QString()).isEmpty());
}

TEST(LinkExtractionTest, TheLinkPageEscapesUrlsAndDownloadersGetOneArgumentPerUrl)
{
    const QString page = TLinkExtraction::LinkPage(QStringLiteral("<P><A HREF=\"%s\">%s</A></P>"),
                                                   {QStringLiteral("http://x.example/\"><script>a()</script>")});
    EXPECT_FALSE(page.contains(QStringLiteral("<script>")));
    EXPECT_TRUE(page.contains(QStringLiteral("HREF=\"http://x.example/&quot;&gt;&lt;script&gt;")));

    QTemporaryDir folder;
    {
        QFile file(folder.filePath(QStringLiteral("downapp.txt")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("touch=touch\r\n");
    }
    const QList<TDownloadTarget> targets = TLinkExtraction::LoadTargets(folder.path() + QLatin1Char('/'));
    ASSERT_EQ(targets.size(), 2);
    EXPECT_EQ(targets[0].Command, QStringLiteral("clipboard"));
    EXPECT_EQ(targets[1].Command, QStringLiteral("touch"));

    // Names a shell would take as two commands or a substitution stay file names.
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    const QStringList hostile{QStringLiteral("a;touch pwned"), QStringLiteral("$(touch pwned2)")};
    const bool started = TLinkExtraction::Dispatch(targets[1], hostile);
    QDir::setCurrent(previous);
    ASSERT_TRUE(started);
    QTRY_VERIFY(QFile::exists(folder.filePath(hostile[0])) && QFile::exists(folder.filePath(hostile[1])));
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("pwned"))));
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("pwned2"))));

    QString error;
    EXPECT_FALSE(TLinkExtraction::Dispatch({QStringLiteral("x"), folder.filePath(QStringLiteral("missing"))}, hostile, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(ExtractLinkDialogTest, ListsTheRowsAndCopiesTheTickedUrls)
{
    TPosts posts;
    auto *dialog = new TExtractLinkDialog;
    dialog->AddResList(nullptr, posts.Posts({1, 5}));
    dialog->ExtractLinks();
    dialog->Prepare();
    ASSERT_EQ(dialog->ListView1->topLevelItemCount(), 2);
    EXPECT_EQ(dialog->ListView1->topLevelItem(1)->text(0), QStringLiteral("0005"));
    EXPECT_EQ(dialog->StatusBar1->text(), QStringLiteral("2件"));
    for (int i = 0; i < 2; ++i)
        dialog->ListView1->topLevelItem(i)->setCheckState(0, Qt::Checked);
    dialog->ComboBox2->setCurrentIndex(0);
    dialog->Button1Click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("http://one.example/a.jpg\r\nhttp://five.example/e.gif"));
    delete dialog;
}

TEST(ExtractLinkDialogTest, AJpegRowOpensTheExifViewOfThatPicture)
{
    // A JPEG carrying only an Exif block with Make.
    QByteArray tiff("II*\0\x08\0\0\0\x01\0\x0F\x01\x02\0\x06\0\0\0\x1A\0\0\0\0\0\0\0Maker\0", 32);
    const QByteArray body = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray jpeg("\xFF\xD8\xFF\xE1", 4);
    jpeg.append(char((body.size() + 2) >> 8)).append(char((body.size() + 2) & 0xFF));
    jpeg += body + QByteArray("\xFF\xD9", 2);
    ScriptedHttpServer server;
    server.Reply(ScriptedHttpServer::Make(200, jpeg));

    TResList list;
    auto *res = new TRes;
    res->Number = 1;
    res->Visible = true;
    res->Body = server.Url(QStringLiteral("/cam.jpg")) + QStringLiteral(" ") + server.Url(QStringLiteral("/page.html"));
    list.Add(res);
    TExtractLinkDialog dialog;
    dialog.AddResList(nullptr, {res});
    dialog.ExtractLinks();
    dialog.Prepare();
    ASSERT_EQ(dialog.ListView1->topLevelItemCount(), 2);
    EXPECT_EQ(dialog.ShowExif(dialog.ListView1->topLevelItem(1)), nullptr);   // not a picture
    TExifViewForm *view = dialog.ShowExif(dialog.ListView1->topLevelItem(0));
    ASSERT_NE(view, nullptr);
    QTRY_VERIFY(view->WebBrowser1->toHtml().contains(QStringLiteral("Maker")));
    EXPECT_TRUE(view->WebBrowser1->toPlainText().contains(QStringLiteral("メーカー名")));
    QFile::remove(view->Cache->CacheFile(server.Url(QStringLiteral("/cam.jpg"))));
}
