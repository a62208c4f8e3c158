// Link extraction: which links are listed and ticked, the link page and handing URLs on.

#include "uisupport/PostEnv.h"

#include "core/FileUtil.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/TavuConfig.h"
#include "core/ThreadItem.h"
#include "render/TavuBrowser.h"
#include "services/LinkExtraction.h"
#include "tools/ExtractLinkDialog.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTest>
#include <QTabWidget>
#include <QTreeWidget>
#include <QWindow>

namespace {

// Adds a shown post of each body, numbered from 1.
void AddPosts(TResList &list, const QStringList &bodies)
{
    for (int i = 0; i < bodies.size(); ++i) {
        auto *res = new TRes;
        res->Number = i + 1;
        res->Body = bodies[i];
        res->Visible = true;
        list.Add(res);
    }
}

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
        AddPosts(list, bodies);
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

// Clicking a row shows, in the preview that opens below the list, the post that holds the link and the posts
// that answer it, drawn with the skin of the link-extraction view; the other posts stay out.
TEST(ExtractLinkDialogTest, ARowShowsItsPostAndTheAnswersInThePreview)
{
    TPostEnv env;
    FileUtil::WriteFileAtomic(env.Profile(QStringLiteral("skin.ini")), "[linkextract_dialog]\r\nSKINPATH=links\r\n");
    FileUtil::WriteFileAtomic(env.Profile(QStringLiteral("skin/links/header.html")), "<html><body>\r\n");
    FileUtil::WriteFileAtomic(env.Profile(QStringLiteral("skin/links/res.htm")), "<p>LINKSKIN <PLAINNUMBER/>: <MESSAGE/></p>\r\n");
    TThreadItem *item = env.NewItem(PostTest::News, QStringLiteral("1000000001"), QStringLiteral("題"));
    TResList list(item);
    const QStringList bodies{QStringLiteral("first"), QStringLiteral("http://two.example/b.png"), QStringLiteral("&gt;&gt;2 nice"),
                             QStringLiteral("unrelated"), QStringLiteral("＞２ also")};
    AddPosts(list, bodies);
    auto *dialog = new TExtractLinkDialog;
    dialog->AddResList(item, {list.Get(0), list.Get(1), list.Get(2), list.Get(3), list.Get(4)});
    dialog->ExtractLinks();
    dialog->show();
    dialog->Prepare();
    ASSERT_EQ(dialog->ListView1->topLevelItemCount(), 1);
    EXPECT_EQ(dialog->Preview, nullptr);
    // Enter on the row previews it and presses no button of the window.
    bool pressed = false;
    for (QPushButton *button : dialog->findChildren<QPushButton *>())
        QObject::connect(button, &QPushButton::clicked, [&pressed] { pressed = true; });
    dialog->ListView1->setCurrentItem(dialog->ListView1->topLevelItem(0));
    QTest::keyClick(dialog->ListView1, Qt::Key_Return);
    EXPECT_FALSE(pressed);
    ASSERT_NE(dialog->Preview, nullptr);
    EXPECT_EQ(dialog->Preview->parentWidget(), dialog->BrowserPanel);
    // The preview is in sight, beside a list that still shows its rows.
    EXPECT_GT(dialog->BrowserPanel->height(), 50);
    EXPECT_GT(dialog->ListView1->height(), 50);
    QString page;
    PostTest::WaitFor([&] {
        page = PostTest::PageHtml(dialog->Preview);
        return page.contains(QStringLiteral("LINKSKIN"));
    });
    EXPECT_EQ(page.count(QStringLiteral("LINKSKIN")), 3) << page.toStdString();
    EXPECT_TRUE(page.contains(QStringLiteral("2: <a href=\"http://two.example/b.png\"")));
    EXPECT_TRUE(page.contains(QStringLiteral("</a> nice")));
    EXPECT_TRUE(page.contains(QStringLiteral("</a> also")));
    EXPECT_FALSE(page.contains(QStringLiteral("first")));
    EXPECT_FALSE(page.contains(QStringLiteral("unrelated")));
    dialog->close();   // frees itself
    item->Release();
}

// A fresh profile gets the shipped file types, so that ticking by type works at once; the window
// keeps its bounds in kpw.ini.
TEST(ExtractLinkDialogTest, AFreshProfileTicksByTypeAndTheBoundsAreKept)
{
    TPostEnv env;
    ASSERT_FALSE(QFile::exists(env.Profile(QStringLiteral("linktype.txt"))));
    TavuConfig->DESKTOP_EXTRACTLINK_LEFT = 30;
    TavuConfig->DESKTOP_EXTRACTLINK_TOP = 40;
    TavuConfig->DESKTOP_EXTRACTLINK_WIDTH = 800;
    TavuConfig->DESKTOP_EXTRACTLINK_HEIGHT = 600;
    TPosts posts;
    auto *dialog = new TExtractLinkDialog;
    EXPECT_TRUE(QFile::exists(env.Profile(QStringLiteral("linktype.txt"))));
    // The extension list comes with the usual picture, movie, sound and archive extensions.
    const QByteArray extensions = FileUtil::ReadFile(env.Profile(QStringLiteral("linkext.txt")));
    for (const char *extension : {".jpg\r\n", ".mp4\r\n", ".mp3\r\n", ".zip\r\n"})
        EXPECT_TRUE(extensions.contains(extension)) << extension;
    EXPECT_TRUE(dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    ASSERT_GT(dialog->ComboBox1->count(), 0);
    EXPECT_TRUE(dialog->ComboBox1->itemText(0).startsWith(QStringLiteral("画像|")));
    dialog->AddResList(nullptr, posts.Posts({1, 2, 4}));
    dialog->ExtractLinks();
    dialog->show();
    dialog->Prepare();
    EXPECT_EQ(dialog->size(), QSize(800, 600));
    dialog->ComboBox1->setCurrentIndex(0);
    dialog->Button3->click();
    EXPECT_EQ(dialog->TickedUrls(), (QStringList{QStringLiteral("http://one.example/a.jpg"), QStringLiteral("http://two.example/b.png"),
                                                 QStringLiteral("http://four.example/d.JPG")}));
    dialog->resize(820, 610);
    // Another window active: only the caption is left; active again: the window at its height.
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    EXPECT_TRUE(PostTest::WaitFor([dialog] { return !dialog->PageControl1->isVisible(); }));
    // No empty box is left where the contents were, and the window no longer stays on top.
    const QMargins margins = dialog->layout()->contentsMargins();
    EXPECT_LE(dialog->height(), margins.top() + margins.bottom());
    EXPECT_FALSE(dialog->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    QApplication::setActiveWindow(dialog);
    EXPECT_TRUE(PostTest::WaitFor([dialog] { return dialog->PageControl1->isVisible(); }));
    EXPECT_EQ(dialog->height(), 610);
    EXPECT_TRUE(dialog->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    dialog->close();
    EXPECT_EQ(TavuConfig->DESKTOP_EXTRACTLINK_WIDTH, 820);
    EXPECT_EQ(TavuConfig->DESKTOP_EXTRACTLINK_HEIGHT, 610);
}
