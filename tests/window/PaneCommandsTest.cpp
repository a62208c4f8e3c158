// The pane commands: which panes are shown, the rule that the body is never empty, the layouts of
// the body, the board pane's splitter, focus, and the choices kept for the next start.

#include "WindowParts.h"
#include "WindowTestEnv.h"

#include "controls/BoardTree.h"
#include "controls/ExtListView.h"
#include "controls/TavuSplitter.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "mainwindow/BoardPane.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QSplitter>
#include <QTabWidget>
#include <QToolBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QLineEdit>
#include <QMouseEvent>

namespace {

struct TShownWindow {
    explicit TShownWindow(const std::function<void(TWindowEnv &)> &prepare = {}) : env(prepare)
    {
        env.Start();
        env.Window->resize(1000, 700);
        env.Window->show();
        QApplication::processEvents();
    }

    QAction *Action(const char *name) const { return env.Window->Action(QString::fromLatin1(name)); }
    void Run(const char *name) const
    {
        QAction *action = Action(name);
        ASSERT_TRUE(action->isEnabled()) << name;
        action->trigger();
        QApplication::processEvents();
    }
    bool ListShown() const { return Part<QWidget>(env.Window, "ThreadListPanel")->isVisible(); }
    bool BrowserShown() const { return Part<QWidget>(env.Window, "BrowserPanel")->isVisible(); }

    TWindowEnv env;
};

}  // namespace

TEST(PaneCommandsTest, ShowCommandsHideAndShowPanesAndNeverEmptyTheBody)
{
    TShownWindow w;
    ASSERT_TRUE(w.ListShown());
    ASSERT_TRUE(w.BrowserShown());
    const int browserHeight = Part<QWidget>(w.env.Window, "BrowserPanel")->height();

    w.Run("actShowBrowser");
    EXPECT_FALSE(w.BrowserShown());
    EXPECT_TRUE(w.ListShown());
    EXPECT_FALSE(TavuConfig->DESKTOP_SHOWBROWSER);
    EXPECT_FALSE(w.Action("actShowBrowser")->isChecked());

    w.Run("actShowThreadList2");   // hiding the only pane shown brings the other back first
    EXPECT_FALSE(w.ListShown());
    EXPECT_TRUE(w.BrowserShown());
    EXPECT_TRUE(w.Action("actShowBrowser")->isChecked());
    EXPECT_FALSE(TavuConfig->DESKTOP_SHOWTHREADLIST);
    EXPECT_TRUE(TavuConfig->DESKTOP_SHOWBROWSER);

    w.Run("actShowPaneChange");   // flips to the other pane
    EXPECT_TRUE(w.ListShown());
    EXPECT_FALSE(w.BrowserShown());
    w.Run("actShowPaneChange");
    EXPECT_FALSE(w.ListShown());
    EXPECT_TRUE(w.BrowserShown());

    w.Run("actShowThreadList2");
    EXPECT_TRUE(w.ListShown());
    EXPECT_TRUE(w.BrowserShown());
    EXPECT_EQ(Part<QWidget>(w.env.Window, "BrowserPanel")->height(), browserHeight);   // back at its size

    w.Run("actShowMessage");
    EXPECT_FALSE(Part<QTabWidget>(w.env.Window, "MessagePanel")->isVisible());
    w.Run("actShowToolbars");
    EXPECT_FALSE(Part<QToolBar>(w.env.Window, "MainActToolBar")->isVisible());
    w.Run("actShowToolbars");
    EXPECT_TRUE(Part<QToolBar>(w.env.Window, "MainActToolBar")->isVisible());
}

TEST(PaneCommandsTest, SideBySideAndTheExtendedThreadList)
{
    TShownWindow w;
    w.Run("actShowBrowser");
    w.Run("actShowVertical");   // shows both panes, side by side, half each
    EXPECT_TRUE(w.BrowserShown());
    EXPECT_EQ(Part<QSplitter>(w.env.Window, "ThreadListSplitter")->orientation(), Qt::Horizontal);
    EXPECT_NEAR(Part<QWidget>(w.env.Window, "ThreadListPanel")->width(),
                Part<QWidget>(w.env.Window, "BodyPanel")->width() / 2, 8);

    w.Run("actShowExtThreadList");
    EXPECT_EQ(Part<QWidget>(w.env.Window, "ThreadListPanel")->parentWidget(),
              Part<QSplitter>(w.env.Window, "TopSplitter"));
    EXPECT_FALSE(w.Action("actShowVertical")->isChecked());
    for (const char *name : {"actShowBrowser", "actShowPaneChange", "actShowVertical"})
        EXPECT_FALSE(w.Action(name)->isEnabled()) << name;
    EXPECT_TRUE(TavuConfig->DESKTOP_EXTTHREADLIST);
    EXPECT_TRUE(w.ListShown());
    EXPECT_TRUE(w.BrowserShown());

    w.Run("actShowExtThreadList");
    EXPECT_EQ(Part<QWidget>(w.env.Window, "ThreadListPanel")->parentWidget(),
              Part<QSplitter>(w.env.Window, "ThreadListSplitter"));
    EXPECT_EQ(Part<QSplitter>(w.env.Window, "ThreadListSplitter")->orientation(), Qt::Vertical);
    for (const char *name : {"actShowBrowser", "actShowPaneChange", "actShowVertical"})
        EXPECT_TRUE(w.Action(name)->isEnabled()) << name;
    EXPECT_FALSE(TavuConfig->DESKTOP_EXTTHREADLIST);
}

TEST(PaneCommandsTest, BoardPaneCollapsesIntoItsSplitterAndMovesRight)
{
    TShownWindow w;
    TTavuSplitter *splitter = Part<TTavuSplitter>(w.env.Window, "BoardListSplitter");
    const int width = splitter->PaneSize();
    ASSERT_GT(width, 1);
    w.Run("actShowBoardList2");
    EXPECT_EQ(splitter->PaneSize(), 1);
    splitter->GripClick();   // the grip opens it again, and the command follows
    EXPECT_EQ(splitter->PaneSize(), width);
    EXPECT_TRUE(w.Action("actShowBoardList2")->isChecked());
    splitter->GripClick();
    EXPECT_FALSE(w.Action("actShowBoardList2")->isChecked());
    w.Run("actShowBoardList2");

    w.Run("actShowBoardListRight");
    EXPECT_EQ(splitter->widget(1), Part<QWidget>(w.env.Window, "BoardListPanel"));
    EXPECT_EQ(splitter->PaneSize(), width);
    EXPECT_TRUE(TavuConfig->DESKTOP_BOARDLISTSHOWRIGHT);
}

TEST(PaneCommandsTest, StoredChoicesComeBackAtTheNextStart)
{
    auto prepare = [](TWindowEnv &e) {
        e.config->DESKTOP_SHOWBROWSER = false;
        e.config->DESKTOP_BOARDLISTSHOWRIGHT = true;
        e.config->Ini.WriteInteger(QStringLiteral("DESKTOP"), QStringLiteral("BOARDLISTWIDTH"), 1);
    };
    {
        TShownWindow w(prepare);
        EXPECT_FALSE(w.BrowserShown());
        EXPECT_FALSE(w.Action("actShowBrowser")->isChecked());
        EXPECT_TRUE(w.Action("actShowBoardListRight")->isChecked());
        EXPECT_EQ(Part<TTavuSplitter>(w.env.Window, "BoardListSplitter")->widget(1),
                  Part<QWidget>(w.env.Window, "BoardListPanel"));
        EXPECT_FALSE(w.Action("actShowBoardList2")->isChecked());
        EXPECT_EQ(Part<TTavuSplitter>(w.env.Window, "BoardListSplitter")->PaneSize(), 1);
        w.Run("actShowBoardList2");   // opens at a usable width
        EXPECT_GT(Part<TTavuSplitter>(w.env.Window, "BoardListSplitter")->PaneSize(), 50);
    }
    TShownWindow ext([](TWindowEnv &e) { e.config->DESKTOP_EXTTHREADLIST = true; });
    EXPECT_TRUE(ext.Action("actShowExtThreadList")->isChecked());
    EXPECT_EQ(Part<QWidget>(ext.env.Window, "ThreadListPanel")->parentWidget(),
              Part<QSplitter>(ext.env.Window, "TopSplitter"));
}

TEST(PaneCommandsTest, FocusCommandsOpenTheirPaneFirst)
{
    TShownWindow w;
    // The profile's key bindings give the three panes Ctrl+1 to Ctrl+3.
    EXPECT_EQ(w.Action("actShowBoardListFocus")->shortcut(), QKeySequence(QStringLiteral("Ctrl+1")));
    EXPECT_EQ(w.Action("actShowThreadListFocus")->shortcut(), QKeySequence(QStringLiteral("Ctrl+2")));
    EXPECT_EQ(w.Action("actShowBrowserFocus")->shortcut(), QKeySequence(QStringLiteral("Ctrl+3")));
    QApplication::setActiveWindow(w.env.Window);
    w.Run("actShowThreadList2");
    ASSERT_FALSE(w.ListShown());
    w.Run("actShowThreadListFocus");
    EXPECT_TRUE(w.ListShown());
    EXPECT_EQ(QApplication::focusWidget(), Part<TqorExtListView>(w.env.Window, "ThreadListView"));

    w.Run("actShowBoardList2");
    w.Run("actShowBoardListFocus");
    EXPECT_TRUE(w.Action("actShowBoardList2")->isChecked());
    EXPECT_GT(Part<TTavuSplitter>(w.env.Window, "BoardListSplitter")->PaneSize(), 1);
    EXPECT_EQ(QApplication::focusWidget(), Part<QTreeWidget>(w.env.Window, "BoardListView"));

    w.Run("actShowURLFocus");
    EXPECT_TRUE(Part<QComboBox>(w.env.Window, "UrlComboBox")->isAncestorOf(QApplication::focusWidget())
                || QApplication::focusWidget() == Part<QComboBox>(w.env.Window, "UrlComboBox"));
}

TEST(PaneCommandsTest, ExpandAndCollapseEveryCategory)
{
    TShownWindow w([](TWindowEnv &e) { e.WriteProfile(QStringLiteral("bbs.txt"), "2ch\r\n"); });
    QTreeWidget *tree = Part<QTreeWidget>(w.env.Window, "BoardListView");
    ASSERT_GT(tree->topLevelItemCount(), 1);
    w.Run("actBoardAllExpand");
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        EXPECT_TRUE(tree->topLevelItem(i)->isExpanded());
    w.Run("actBoardAllCollapse");
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        EXPECT_FALSE(tree->topLevelItem(i)->isExpanded());
}

TEST(PaneCommandsTest, BoardFilterBarRefillsTheTreeOnEnter)
{
    TShownWindow w([](TWindowEnv &e) { e.WriteProfile(QStringLiteral("bbs.txt"), "2ch\r\n"); });
    QTreeWidget *tree = Part<QTreeWidget>(w.env.Window, "BoardListView");
    auto boards = [tree] {
        int count = 0;
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            count += tree->topLevelItem(i)->childCount();
        return count;
    };
    const int all = boards();
    ASSERT_GT(all, 1);
    QComboBox *filter = Part<QComboBox>(w.env.Window, "BoardFilterCombo");
    EXPECT_FALSE(filter->isVisible());
    w.Run("actShowBoardFilter");
    ASSERT_TRUE(filter->isVisible());
    filter->setEditText(QStringLiteral("ニュース"));
    QTest::keyClick(filter->lineEdit(), Qt::Key_Return);
    EXPECT_GT(boards(), 0);
    EXPECT_LT(boards(), all);
    w.Run("actShowBoardFilter");
    EXPECT_FALSE(filter->isVisible());
}

// Focus follows the mouse while the window is active: the control under the pointer takes it.
TEST(PaneCommandsTest, FocusFollowsTheMouse)
{
    TShownWindow w;
    QApplication::setActiveWindow(w.env.Window);
    ASSERT_TRUE(w.env.Window->isActiveWindow());
    QWidget *list = Part<TqorExtListView>(w.env.Window, "ThreadListView")->viewport();
    QCursor::setPos(list->mapToGlobal(list->rect().center()));
    ASSERT_EQ(QApplication::widgetAt(QCursor::pos()), list);
    Part<QTreeWidget>(w.env.Window, "BoardListView")->setFocus();
    ASSERT_TRUE(Part<QTreeWidget>(w.env.Window, "BoardListView")->hasFocus());
    QMetaObject::invokeMethod(Part<QTimer>(w.env.Window, "FocusTimer"), "timeout");   // one tick
    EXPECT_TRUE(Part<TqorExtListView>(w.env.Window, "ThreadListView")->hasFocus());
}

// The settings that switch panes on their own run the pane commands: a board opened from the tree
// and a pressed tab bring their pane back into view.
TEST(PaneCommandsTest, BoardClicksAndTabClicksSwitchToTheirPane)
{
    TShownWindow w([](TWindowEnv &e) { e.WriteProfile(QStringLiteral("bbs.txt"), "2ch\r\n"); });
    TavuConfig->CHANGEPANE_BOARDLIST = true;
    TavuConfig->TABCLICKCHANGEPANE = true;
    w.Run("actShowThreadList2");
    ASSERT_FALSE(w.ListShown());
    TBoard *news = TavuEnviron->SiteList()->FindBySiteID(QStringLiteral("2ch"))->Boards->FindByID(QStringLiteral("news"));
    w.env.Window->BoardPane().SelectBoardInTree(news);
    w.env.Window->BoardPane().BoardTreeChange();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.env.Window->BusyCount() == 0; }, 60000));
    EXPECT_TRUE(w.ListShown());
    EXPECT_FALSE(w.BrowserShown());   // the flip shows one pane in the space of the body

    w.Run("actShowPaneChange");
    ASSERT_FALSE(w.ListShown());
    ASSERT_EQ(w.env.Window->Tabs().ListDocs().size(), 1);
    w.env.Window->Tabs().ThreadListTabClick(w.env.Window->Tabs().ListDocs()[0]);
    EXPECT_TRUE(w.ListShown());
}

// Dragging the splitter between the thread list and the browser to an end hides that pane.
TEST(PaneCommandsTest, DraggingThePaneAwayUnchecksItsCommand)
{
    TShownWindow w;
    QSplitter *splitter = Part<QSplitter>(w.env.Window, "ThreadListSplitter");
    QSplitterHandle *handle = splitter->handle(1);
    const QPoint start(handle->width() / 2, handle->height() / 2);
    const QPoint end = start - QPoint(0, Part<QWidget>(w.env.Window, "ThreadListPanel")->height() + 50);
    QTest::mousePress(handle, Qt::LeftButton, {}, start);
    QMouseEvent move(QEvent::MouseMove, QPointF(end), QPointF(handle->mapToGlobal(end)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(handle, &move);
    QTest::mouseRelease(handle, Qt::LeftButton, {}, end);
    QApplication::processEvents();
    EXPECT_FALSE(w.Action("actShowThreadList2")->isChecked());
    EXPECT_TRUE(w.Action("actShowBrowser")->isChecked());
    EXPECT_FALSE(TavuConfig->DESKTOP_SHOWTHREADLIST);

    w.Run("actShowThreadList2");   // the command brings it back at half the body
    EXPECT_GT(Part<QWidget>(w.env.Window, "ThreadListPanel")->height(),
              Part<QWidget>(w.env.Window, "ThreadListTabPanel")->height() + 2);
    EXPECT_TRUE(w.Action("actShowThreadList2")->isChecked());
}
