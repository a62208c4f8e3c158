// The navigation filter of the browser tabs: internal links, mail and blank pages, the kill list,
// locked tabs, links to threads and boards of known sites and to other pages.

#include "WindowParts.h"
#include "PostTestEnv.h"

#include "tools/UrlDialog.h"

#include "core/FileUtil.h"
#include "core/ResList.h"
#include "core/ThreadItemList.h"
#include "flows/LinkNavigation.h"
#include "render/EmbeddedWB.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QMenu>
#include <QPushButton>

using PostTest::AddThread;
using PostTest::ItemRef;
using PostTest::News;
using PostTest::WaitFor;

namespace {

const QString Key = QStringLiteral("1000000001");
const QString OtherKey = QStringLiteral("1000000002");

class Navigation : public ::testing::Test {
protected:
    Navigation()
    {
        AddThread(env.server, News, Key, 2);
        AddThread(env.server, News, OtherKey, 3);
        ItemRef item(new TThreadItem);
        item->SetLocation(QStringLiteral("test"), News, Key, QString());
        item->DownloadRequest = true;
        env.Window()->OpenThread(item.get(), false, true, true, 0, false, QString());
        WaitFor([this] {
            return env.Window()->Tabs().GetActiveBrowser(tab) && tab->DownloadState == TTavuBrowser::dsIdle && tab->ResList()
                   && tab->ResList()->Count() == 2;
        });
    }

    // What the filter answers for a navigation of the tab to the URL.
    bool Cancelled(TTavuBrowser *target, const QString &url)
    {
        bool cancel = false;
        emit target->Browser()->BeforeNavigate(QUrl(url), cancel);
        return cancel;
    }

    TTavuBrowser *FindTab(const QString &key) const
    {
        for (TTavuBrowser *candidate : env.Window()->Tabs().Browsers()) {
            if (candidate->ThreadItem() && candidate->ThreadItem()->GetKey() == key)
                return candidate;
        }
        return nullptr;
    }

    QString ThreadUrl(const QString &key) const
    {
        return env.server.Url(QStringLiteral("/test/read.cgi/news/%1/").arg(key));
    }

    TPostWindowEnv env;
    TTavuBrowser *tab = nullptr;
};

}  // namespace

TEST_F(Navigation, InternalLinksMailAndBlankPages)
{
    ASSERT_TRUE(tab);
    EXPECT_TRUE(Cancelled(tab, QStringLiteral("tavu://res/?no=12")));
    EXPECT_EQ(tab->ClickedResNumber, 12);
    EXPECT_EQ(Part<TLinkNavigation>(env.Window())->ClickedTab, tab);
    Part<QMenu>(env.Window(), "ResPopup")->hide();
    // the view writes IDs percent-encoded; "+" and "/" are common in them
    EXPECT_TRUE(Cancelled(tab, QStringLiteral("tavu://res/?id=Ab0%2B%2Fx")));
    EXPECT_EQ(tab->ClickedID, QStringLiteral("Ab0+/x"));

    TavuConfig->CANCELMAILTO = false;
    EXPECT_FALSE(Cancelled(tab, QStringLiteral("mailto:sage")));
    TavuConfig->CANCELMAILTO = true;
    EXPECT_TRUE(Cancelled(tab, QStringLiteral("mailto:sage")));

    // "about:" passes only into a tab that has no document yet.
    EXPECT_TRUE(Cancelled(tab, QStringLiteral("about:blank")));
    TEmbeddedWB *control = nullptr;
    TTavuBrowser *fresh = Part<TLinkNavigation>(env.Window())->OpenNewWindowTab(control);
    EXPECT_EQ(control, fresh->Browser());
    EXPECT_FALSE(Cancelled(fresh, QStringLiteral("about:blank")));
}

TEST_F(Navigation, AKilledUrlClosesItsTabAndALockedTabNeverLeaves)
{
    ASSERT_TRUE(tab);
    FileUtil::WriteFileAtomic(env.env.Profile(QStringLiteral("killurl.txt")), "*ad.example.jp/*\r\n");
    TEmbeddedWB *control = nullptr;
    QPointer<TTavuBrowser> popup = Part<TLinkNavigation>(env.Window())->OpenNewWindowTab(control);
    EXPECT_TRUE(Cancelled(popup, QStringLiteral("http://ad.example.jp/banner")));
    ASSERT_TRUE(WaitFor([&] { return !env.Window()->Tabs().Browsers().contains(popup.data()); }));

    tab->Locked = true;
    const int tabs = env.Window()->Tabs().Browsers().size();
    EXPECT_TRUE(Cancelled(tab, env.server.Url(QStringLiteral("/page.html"))));
    EXPECT_EQ(env.Window()->Tabs().Browsers().size(), tabs + 1);
    TTavuBrowser *active = nullptr;
    ASSERT_TRUE(env.Window()->Tabs().GetActiveBrowser(active));
    EXPECT_EQ(active, tab);   // the new tab is not activated
    EXPECT_EQ(env.Window()->Tabs().Browsers().last()->Title, QStringLiteral("Loading..."));
    EXPECT_TRUE(tab->ThreadItem());
}

TEST_F(Navigation, AThreadLinkAsksHowToOpenAndOpensTheThread)
{
    ASSERT_TRUE(tab);
    TavuConfig->CHECKBBSLINK = true;
    QStringList asked;
    Dialogs::TScopedDialogHandlers handlers(
        [](Dialogs::TMsgKind, const QString &, Dialogs::TMsgButtons) { return Dialogs::mrYes; },
        [&asked](QDialog &dialog) {
            auto *urlDialog = qobject_cast<TUrlDialog *>(&dialog);
            if (!urlDialog)
                return int(QDialog::Rejected);
            asked << urlDialog->GetURL();
            urlDialog->ActivateTab->setChecked(true);
            urlDialog->VarneloButton->click();
            return urlDialog->result();
        });
    EXPECT_TRUE(Cancelled(tab, ThreadUrl(OtherKey)));
    EXPECT_EQ(asked, QStringList({ThreadUrl(OtherKey)}));
    ASSERT_TRUE(WaitFor([&] {
        TTavuBrowser *opened = FindTab(OtherKey);
        return opened && opened->ResList() && opened->ResList()->Count() == 3;
    }));

    // A link into the thread the tab shows opens nothing new.
    const int tabs = env.Window()->Tabs().Browsers().size();
    EXPECT_TRUE(Cancelled(tab, ThreadUrl(Key) + QStringLiteral("2")));
    EXPECT_EQ(env.Window()->Tabs().Browsers().size(), tabs);
    EXPECT_EQ(asked.size(), 1);
}

TEST_F(Navigation, BoardLinksAndOtherPagesFollowTheSettings)
{
    ASSERT_TRUE(tab);
    TavuConfig->CHECKBBSLINK = false;
    EXPECT_TRUE(Cancelled(tab, env.Board(News)->URL));
    TTavuListDoc *doc = nullptr;
    ASSERT_TRUE(WaitFor([&] { return env.Window()->Tabs().GetActiveListDoc(doc) && doc->Items()->Count() == 2; }));
    EXPECT_EQ(doc->GetBoard(), env.Board(News));

    // A thread link without the dialog opens at once.
    EXPECT_TRUE(Cancelled(tab, ThreadUrl(OtherKey)));
    EXPECT_TRUE(WaitFor([&] { return FindTab(OtherKey) != nullptr; }));

    // Any other page: inside the program the tab becomes a web page and goes there.
    TavuConfig->URL_OPENINVARNELO = 0;
    EXPECT_FALSE(Cancelled(tab, env.server.Url(QStringLiteral("/about.html"))));
    EXPECT_TRUE(tab->IsWebPage());
    // A URL the BCC prefix begins passes unchanged.
    TavuConfig->URL_BCC = env.server.Url(QStringLiteral("/bcc?u="));
    EXPECT_FALSE(Cancelled(tab, TavuConfig->URL_BCC + QStringLiteral("x")));
}
