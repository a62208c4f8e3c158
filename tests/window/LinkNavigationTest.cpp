// Links into the shown thread on a board type whose links may ask for the whole thread page
// ("&al=on"): such a link is shown as it is in the second browser.

#include "WindowParts.h"
#include "PostTestEnv.h"

#include "core/BBSList.h"
#include "services/ResSearch.h"

#include <gtest/gtest.h>

using PostTest::News;
using PostTest::WaitFor;

TEST(LinkNavigation, AWholeThreadLinkOfTheAhhanTypeOpensAsItIsInTheDoubleWindow)
{
    TPostWindowEnv env;
    const QString key = QStringLiteral("1000000001");
    TVarneloWindow *window = env.Window();
    TTavuBrowser *tab = PostTest::OpenDownloadedThread(env, key, 3);
    ASSERT_TRUE(tab);
    TThreadItem *item = tab->ThreadItem();
    const QString link = item->BBS->GetReadUrlRange(item, 2, 2, false);

    // Otherwise a link into the thread shows the responses it names.
    bool cancel = false;
    emit tab->Browser()->BeforeNavigate(QUrl(link), cancel);
    EXPECT_TRUE(cancel);
    ASSERT_TRUE(window->SearchViews().DoubleWindowShown());
    ASSERT_TRUE(Part<TTavuBrowser>(window, "PrivateBrowser")->ResList());
    window->SearchViews().ShowDoubleWindow(false);

    // On the ahhan type the whole link goes to the second browser.
    TBBS *own = item->BBS;
    TBBS *ahhan = TavuEnviron->BBSList()->FindByID(QStringLiteral("ahhanscript"));
    ASSERT_TRUE(ahhan);
    item->BBS = ahhan;
    const int requests = int(env.server.Requests().size());
    emit tab->Browser()->BeforeNavigate(QUrl(link + QStringLiteral("?ls=50&al=on")), cancel);
    item->BBS = own;
    EXPECT_TRUE(cancel);
    EXPECT_TRUE(window->SearchViews().DoubleWindowShown());
    EXPECT_FALSE(Part<TTavuBrowser>(window, "PrivateBrowser")->ResList());
    EXPECT_TRUE(WaitFor([&] { return int(env.server.Requests().size()) > requests; }));
}
