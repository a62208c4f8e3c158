// The preview browser: the address a new-window link opens, its tabs and busy count, the URL dialog
// it asks with, the shrinking inactive window, and the main window's ways into it.

#include "WindowParts.h"
#include "WindowTestEnv.h"

#include "tools/PreviewBrowser.h"
#include "tools/UrlDialog.h"

#include "controls/BoardTree.h"
#include "controls/WindowServices.h"
#include "core/TavuConfig.h"
#include "core/Tavutils.h"
#include "flows/LinkNavigation.h"
#include "render/TavuBrowser.h"
#include "support/TempDataRoot.h"
#include "support/WaitLimit.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

namespace {

// A preview browser on a temporary program folder, not shown.
class Chotto : public ::testing::Test {
protected:
    Chotto()
    {
        TavuConfig = config.get();
        window = std::make_unique<TChottoWindow2>();
        window->OnOpenUrl = [this](QObject *sender, const QString &url, bool inProgram) {
            handed << QStringLiteral("%1 %2").arg(inProgram ? QStringLiteral("in") : QStringLiteral("out"), url);
            senders << sender;
        };
    }
    ~Chotto() override
    {
        window.reset();
        TavuConfig = nullptr;
    }

    QStringList Captions() const
    {
        QStringList captions;
        for (int i = 0; i < window->TabCount(); ++i)
            captions << window->PageControl1->tabText(i);
        return captions;
    }
    TChottoBrowser *BrowserOf(int index) const { return window->Tab(index)->Browser; }
    static void Navigating(TChottoBrowser *browser)
    {
        bool cancel = false;
        emit browser->BeforeNavigate(QUrl(browser->OpenedUrl), cancel);
    }

    TempDataRoot root{true};
    std::unique_ptr<TTavuConfig> config = std::make_unique<TTavuConfig>();
    std::unique_ptr<TChottoWindow2> window;
    QStringList handed;
    QList<QObject *> senders;
};

}  // namespace

TEST(ChottoLinks, NewWindowLinksResolveAgainstThePageAndSkipTheRedirector)
{
    const QString page = QStringLiteral("http://example.jp/dir/sub/page.html");
    auto link = [](const QString &href) { return QStringLiteral("<a href=\"%1\" target=\"_blank\">x</a>").arg(href); };
    EXPECT_EQ(ChottoLinks::NewWindowUrl(link(QStringLiteral("./a.html")), page), QStringLiteral("http://example.jp/dir/sub/a.html"));
    EXPECT_EQ(ChottoLinks::NewWindowUrl(link(QStringLiteral("../a.html")), page), QStringLiteral("http://example.jp/dir/a.html"));
    EXPECT_EQ(ChottoLinks::NewWindowUrl(link(QStringLiteral("/top.html")), page), QStringLiteral("http://example.jp/top.html"));
    // A bare file name is relative too, and "&" comes back from the page's "&amp;".
    EXPECT_EQ(ChottoLinks::NewWindowUrl(link(QStringLiteral("b.cgi?x=1&amp;y=2")), page),
              QStringLiteral("http://example.jp/dir/sub/b.cgi?x=1&y=2"));
    EXPECT_EQ(ChottoLinks::NewWindowUrl(link(QStringLiteral("http://other.jp/c.html")), page), QStringLiteral("http://other.jp/c.html"));
    EXPECT_EQ(ChottoLinks::NewWindowUrl(QStringLiteral("<b>no link</b>"), page), QString());

    // Through the redirector the target opens directly; other URLs stay as they are.
    EXPECT_EQ(ChottoLinks::NewWindowUrl(link(QStringLiteral("http://ime.nu/www.example.com/x.html")), page),
              QStringLiteral("http://www.example.com/x.html"));
    EXPECT_EQ(ChottoLinks::StripRedirector(QStringLiteral("https://IME.NU/a.jp/")), QStringLiteral("https://a.jp/"));
    EXPECT_EQ(ChottoLinks::StripRedirector(QStringLiteral("http://anime.nu/a.html")), QStringLiteral("http://anime.nu/a.html"));
}

TEST_F(Chotto, TabsCaptionsAndTheAddressBox)
{
    TavuConfig->CHOTTO_TITLELEN = 5;
    window->OpenUrl(QStringLiteral("http://a.example/dir/first.html"));
    window->OpenUrl(QStringLiteral("http://b.example/second.html"));
    window->OpenUrl(QStringLiteral("http://c.example/third.html"));
    EXPECT_EQ(Captions(), QStringList({"first.html", "second.html", "third.html"}));
    EXPECT_EQ(window->PageControl1->currentIndex(), 2);
    EXPECT_EQ(window->ComboBox1->currentText(), QStringLiteral("http://c.example/third.html"));

    // Titles: shortened while CHOTTO_SHORTTITLE is on, "&" shown as itself; the full title is kept.
    emit BrowserOf(0)->TitleChange(QStringLiteral("A&B long title"));
    EXPECT_EQ(window->Tab(0)->Title, QStringLiteral("A&B long title"));
    EXPECT_EQ(window->PageControl1->tabText(0), Tavutils::MakeShortCaption(QStringLiteral("A&B long title"), 5).replace("&", "&&"));
    TavuConfig->CHOTTO_SHORTTITLE = false;
    emit BrowserOf(1)->TitleChange(QStringLiteral("Second page title"));
    EXPECT_EQ(window->PageControl1->tabText(1), QStringLiteral("Second page title"));

    // Changing tabs shows the URL the tab was opened with.
    window->PageControl1->setCurrentIndex(0);
    EXPECT_EQ(window->ComboBox1->currentText(), QStringLiteral("http://a.example/dir/first.html"));

    // Closing the others keeps the active tab, now the first.
    window->PageControl1->setCurrentIndex(1);
    window->actCloseAllTab->trigger();
    ASSERT_EQ(window->TabCount(), 1);
    EXPECT_EQ(window->Tab(0)->Browser->OpenedUrl, QStringLiteral("http://b.example/second.html"));

    // The only tab closed: every tab command does nothing.
    window->actCloseTab->trigger();
    EXPECT_EQ(window->TabCount(), 0);
    for (QAction *action : {window->actOpenTavu, window->actOpenBrowser, window->actCloseTab, window->actCloseAllTab})
        action->trigger();
    EXPECT_EQ(window->TabCount(), 0);
    EXPECT_TRUE(handed.isEmpty());

    // actOpen opens what the address box says; an empty box opens nothing.
    window->ComboBox1->setCurrentText(QStringLiteral("  "));
    window->actOpen->trigger();
    EXPECT_EQ(window->TabCount(), 0);
    window->ComboBox1->setCurrentText(QStringLiteral("http://d.example/typed.html"));
    window->actOpen->trigger();
    EXPECT_EQ(Captions(), QStringList({"typed.html"}));
}

// A middle click on the tab bar closes the active tab; other events the bar receives (a widget
// added to it, a left click) close nothing.
TEST_F(Chotto, AMiddleClickOnTheTabBarClosesTheActiveTab)
{
    window->OpenUrl(QStringLiteral("http://a.example/1.html"));
    window->OpenUrl(QStringLiteral("http://a.example/2.html"));
    QTabBar *bar = window->PageControl1->tabBar();
    const QPointF onFirst = bar->tabRect(0).center();
    auto release = [&](Qt::MouseButton button) {
        QMouseEvent event(QEvent::MouseButtonRelease, onFirst, bar->mapToGlobal(onFirst), button, Qt::NoButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(bar, &event);
    };

    QWidget child;
    QChildEvent added(QEvent::ChildAdded, &child);
    QCoreApplication::sendEvent(bar, &added);
    release(Qt::LeftButton);
    EXPECT_EQ(window->TabCount(), 2);

    window->PageControl1->setCurrentIndex(1);
    release(Qt::MiddleButton);
    ASSERT_EQ(window->TabCount(), 1);
    EXPECT_EQ(window->Tab(0)->Browser->OpenedUrl, QStringLiteral("http://a.example/1.html"));
}

TEST_F(Chotto, TheBusyCountFollowsTheLoadingTabs)
{
    window->OpenUrl(QStringLiteral("http://a.example/1.html"));
    window->OpenUrl(QStringLiteral("http://a.example/2.html"));
    window->OpenUrl(QStringLiteral("http://a.example/3.html"));
    const bool animated = QFile::exists(TTavuConfig::AppDir() + QStringLiteral("resource/anime.gif"));
    Navigating(BrowserOf(0));
    Navigating(BrowserOf(1));
    Navigating(BrowserOf(1));   // a redirect of the same load
    EXPECT_EQ(window->BusyCount(), 2);
    EXPECT_EQ(window->IsAnimating(), animated);
    emit BrowserOf(0)->DocumentComplete(QUrl());
    EXPECT_EQ(window->BusyCount(), 1);
    EXPECT_EQ(window->IsAnimating(), animated);
    emit BrowserOf(1)->DocumentComplete(QUrl());
    EXPECT_EQ(window->BusyCount(), 0);
    EXPECT_FALSE(window->IsAnimating());
    emit BrowserOf(1)->DocumentComplete(QUrl());   // a completion without its navigation
    EXPECT_EQ(window->BusyCount(), 0);

    // Closing loading tabs counts them down, the active one and the others alike.
    for (int i = 0; i < 3; ++i)
        Navigating(BrowserOf(i));
    window->PageControl1->setCurrentIndex(2);
    window->actCloseTab->trigger();
    EXPECT_EQ(window->BusyCount(), 2);
    window->actCloseAllTab->trigger();
    EXPECT_EQ(window->BusyCount(), 1);
    window->actCloseTab->trigger();
    EXPECT_EQ(window->BusyCount(), 0);
    EXPECT_FALSE(window->IsAnimating());
}

TEST_F(Chotto, ANewWindowLinkAsksWithTheUrlDialogOrOpensATab)
{
    TavuConfig->URL_BCC = QStringLiteral("http://check.example/?u=");
    std::function<void(TUrlDialog &)> answer;
    int asked = 0;
    Dialogs::TScopedDialogHandlers handlers(
        [](Dialogs::TMsgKind, const QString &, Dialogs::TMsgButtons) { return Dialogs::mrOK; },
        [&](QDialog &dialog) {
            auto *urlDialog = qobject_cast<TUrlDialog *>(&dialog);
            if (!urlDialog)
                return int(QDialog::Rejected);
            ++asked;
            EXPECT_EQ(urlDialog->GetURL(), QStringLiteral("http://x.example/a.html"));
            EXPECT_FALSE(urlDialog->CrasherCheck->isChecked());
            EXPECT_TRUE(urlDialog->CrasherCheck->isEnabled());
            EXPECT_FALSE(urlDialog->ActivateTab->isEnabled());
            answer(*urlDialog);
            return urlDialog->result();
        });
    const QString link = QStringLiteral("http://x.example/a.html");

    TavuConfig->CHECKBBSLINK = true;
    answer = [](TUrlDialog &dialog) {
        dialog.CrasherCheck->setChecked(true);
        dialog.QuickLookButton->click();
    };
    window->OpenNewWindowLink(link);
    ASSERT_EQ(window->TabCount(), 1);
    EXPECT_EQ(window->Tab(0)->Browser->OpenedUrl, TavuConfig->URL_BCC + link);

    answer = [](TUrlDialog &dialog) { dialog.VarneloButton->click(); };
    window->OpenNewWindowLink(link);
    EXPECT_EQ(handed, QStringList({QStringLiteral("in ") + link}));
    EXPECT_EQ(senders, QList<QObject *>({window.get()}));

    answer = [](TUrlDialog &dialog) { dialog.CancelButton->click(); };
    window->OpenNewWindowLink(link);
    EXPECT_EQ(window->TabCount(), 1);
    EXPECT_EQ(asked, 3);

    // With CHECKBBSLINK off the link opens at once.
    TavuConfig->CHECKBBSLINK = false;
    window->OpenNewWindowLink(link);
    EXPECT_EQ(asked, 3);
    ASSERT_EQ(window->TabCount(), 2);
    EXPECT_EQ(window->Tab(1)->Browser->OpenedUrl, link);
}

TEST_F(Chotto, TheInactiveWindowShrinksAndKeepsItsHeight)
{
    TavuConfig->DESKTOP_CHOTTOWIN_HEIGHT = 300;
    TavuConfig->DESKTOP_CHOTTOWIN_WIDTH = 400;
    TavuConfig->DESKTOP_CHOTTOWIN_TRANS = true;
    window->show();
    EXPECT_EQ(window->height(), 300);
    window->FormDeactivate();
    EXPECT_LT(window->height(), 300);
    EXPECT_LT(window->windowOpacity(), 1.0);
    window->FormDeactivate();   // a second deactivation does not forget the height
    window->FormActivate();
    EXPECT_EQ(window->height(), 300);
    EXPECT_EQ(window->windowOpacity(), 1.0);

    // Hidden while shrunk: the stored height is the one to come back to.
    window->FormDeactivate();
    window->hide();
    EXPECT_EQ(TavuConfig->DESKTOP_CHOTTOWIN_HEIGHT, 300);
    EXPECT_EQ(TavuConfig->DESKTOP_CHOTTOWIN_WIDTH, 400);
    TavuConfig->DESKTOP_CHOTTOWIN_EXPND = false;
    window->show();
    window->FormDeactivate();
    EXPECT_EQ(window->height(), 300);
}

// The one test that waits for the web engine: a page loads, names its tab and ends the busy state,
// and its address goes back to the main window.
TEST_F(Chotto, APageLoadsIntoItsTab)
{
    root.Write(QStringLiteral("page/index.html"),
               "<html><head><title>Local page</title></head><body><a href=\"./b.html\">b</a></body></html>");
    const QString url = QUrl::fromLocalFile(root.File(QStringLiteral("page/index.html"))).toString();
    window->OpenUrl(url);
    ASSERT_TRUE(WaitFor([&] { return window->Tab(0)->Title == QStringLiteral("Local page"); }));
    EXPECT_TRUE(WaitFor([&] { return window->BusyCount() == 0 && !BrowserOf(0)->IsBusy(); }));
    EXPECT_TRUE(window->PageControl1->tabIcon(0).isNull());
    window->actOpenBrowser->trigger();
    EXPECT_EQ(handed, QStringList({QStringLiteral("out ") + url}));
    EXPECT_EQ(senders, QList<QObject *>({BrowserOf(0)}));
}

// The main window keeps one preview browser: actShowChotto shows it, a page link goes there when
// OPENINVARNELO is 2, and so does the URL dialog's quick look.
TEST(ChottoInTheMainWindow, PageLinksAndTheCommandsOpenThePreviewBrowser)
{
    TWindowEnv env;
    env.Start();
    env.Window->Action(QStringLiteral("actShowChotto"))->trigger();
    TChottoWindow2 *viewer = PreviewBrowser::Window(env.Window->Frame(), env.Window->Reading());
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(PreviewBrowser::Window(env.Window->Frame(), env.Window->Reading()), viewer);

    TTavuBrowser *tab = nullptr;
    env.Window->Tabs().NewBrowser(tab, nullptr, nullptr, true, QStringLiteral("tab"));
    ASSERT_TRUE(tab);
    TavuConfig->CHECKBBSLINK = false;
    TavuConfig->URL_OPENINVARNELO = 2;
    const QString page = QStringLiteral("http://127.0.0.1:9/page.html");
    bool cancel = false;
    Part<TLinkNavigation>(env.Window)->OnBrowserBeforeNavigate(tab, page, cancel);
    EXPECT_TRUE(cancel);
    ASSERT_EQ(viewer->TabCount(), 1);
    EXPECT_EQ(viewer->Tab(0)->Browser->OpenedUrl, page);

    TavuConfig->CHECKBBSLINK = true;
    Dialogs::TScopedDialogHandlers handlers(
        [](Dialogs::TMsgKind, const QString &, Dialogs::TMsgButtons) { return Dialogs::mrOK; },
        [](QDialog &dialog) {
            auto *urlDialog = qobject_cast<TUrlDialog *>(&dialog);
            if (!urlDialog)
                return int(QDialog::Rejected);
            urlDialog->QuickLookButton->click();
            return urlDialog->result();
        });
    cancel = false;
    Part<TLinkNavigation>(env.Window)->OnBrowserBeforeNavigate(tab, page + QStringLiteral("?2"), cancel);
    EXPECT_TRUE(cancel);
    ASSERT_EQ(viewer->TabCount(), 2);
    EXPECT_EQ(viewer->Tab(1)->Browser->OpenedUrl, page + QStringLiteral("?2"));
}
