// The page scroller of the thread-list tab bar: tabs that do not fit are scrolled into view with
// its arrow buttons, whose size the option dialog sets.

#include "WindowParts.h"
#include "DialogAnswers.h"
#include "PostTestEnv.h"
#include "WindowTestEnv.h"

#include "controls/BoardTree.h"
#include "controls/PageScroller.h"
#include "core/TavuConfig.h"
#include "render/TavuListDoc.h"
#include "settings/OptionDialog.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

using PostTest::WaitFor;

namespace {

// More board tabs than the thread-list pane of a window of a user's size has room for.
void OpenManyBoardTabs(TPostWindowEnv &env)
{
    env.ShowWindow();
    for (int i = 0; i < 12; ++i) {
        TTavuListDoc *doc = nullptr;
        env.Window()->Tabs().NewListDoc(doc, nullptr, TTavuListDoc::lmBoard, i == 0,
                            QStringLiteral("ニュース速報板その%1").arg(i), env.Board(PostTest::News));
    }
}

// Where the tab bar's left edge lies in the scroller.
int BarLeft(const TVarneloWindow &window)
{
    return Part<QToolBar>(&window, "ThreadListBar")
        ->mapTo(Part<TPageScroller>(&window, "PageScroller2"), QPoint(0, 0))
        .x();
}

QSpinBox *ScrollerSizeSpin(QWidget *page)
{
    for (QLabel *label : page->findChildren<QLabel *>()) {
        if (label->text() == QStringLiteral("スクローラボタンのサイズ"))
            return qobject_cast<QSpinBox *>(label->buddy());
    }
    return nullptr;
}

}  // namespace

TEST(PageScroller, TabsThatDoNotFitAreScrolledATenthOfTheWidthPerClick)
{
    TPostWindowEnv env;
    TVarneloWindow *window = env.Window();
    TPageScroller *scroller = Part<TPageScroller>(window, "PageScroller2");
    ASSERT_TRUE(scroller);
    env.ShowWindow();
    WaitFor([scroller] { return scroller->width() > 0; });
    EXPECT_FALSE(scroller->ForwardButton()->isVisible());   // one page of tabs needs no buttons

    OpenManyBoardTabs(env);
    ASSERT_TRUE(WaitFor([scroller] { return scroller->ForwardButton()->isVisible(); }));
    EXPECT_TRUE(scroller->BackButton()->isVisible());
    EXPECT_GT(Part<QToolBar>(window, "ThreadListBar")->width(), scroller->width());
    // Every tab button is on the bar: none is put behind an overflow button.
    EXPECT_GE(Part<QToolBar>(window, "ThreadListBar")->width(),
              BoardTree::GetBarWidth(Part<QToolBar>(window, "ThreadListBar")));
    EXPECT_EQ(scroller->ForwardButton()->width(), 12);

    const int step = scroller->width() / 10;
    ASSERT_GT(step, 0);
    const int left = BarLeft(*window);
    QTest::mouseClick(scroller->ForwardButton(), Qt::LeftButton);
    EXPECT_EQ(BarLeft(*window), left - step);
    QTest::mouseClick(scroller->ForwardButton(), Qt::LeftButton);
    EXPECT_EQ(BarLeft(*window), left - 2 * step);
    QTest::mouseClick(scroller->BackButton(), Qt::LeftButton);
    EXPECT_EQ(BarLeft(*window), left - step);

    // Scrolled to its end, the last tab shows whole before the right button.
    for (int i = 0; i < 200 && scroller->ForwardButton()->isEnabled(); ++i)
        QTest::mouseClick(scroller->ForwardButton(), Qt::LeftButton);
    QWidget *last = Part<QToolBar>(window, "ThreadListBar")
                        ->widgetForAction(Part<QToolBar>(window, "ThreadListBar")->actions().constLast());
    ASSERT_TRUE(last);
    EXPECT_LE(last->mapTo(scroller, QPoint(last->width(), 0)).x(), scroller->ForwardButton()->x());

    // With the tabs closed down to one, the bar shows whole again.
    while (window->Tabs().ListDocs().size() > 1)
        window->Tabs().CloseListDoc(window->Tabs().ListDocs().constLast());
    ASSERT_TRUE(WaitFor([scroller] { return !scroller->ForwardButton()->isVisible(); }));
    EXPECT_EQ(BarLeft(*window), 0);
}

// "スクローラボタンのサイズ" sets the width of the scroller's buttons at OK.
TEST(PageScroller, TheOptionDialogSetsTheButtonSize)
{
    TPostWindowEnv env;
    TVarneloWindow *window = env.Window();
    OpenManyBoardTabs(env);
    TPageScroller *scroller = Part<TPageScroller>(window, "PageScroller2");
    ASSERT_TRUE(WaitFor([scroller] { return scroller->ForwardButton()->isVisible(); }));

    TDialogAnswers answers(env.env, [](QDialog &dialog) {
        auto &options = dynamic_cast<TOptionDialog &>(dialog);
        QSpinBox *spin = ScrollerSizeSpin(options.PageControl1->widget(TOptionDialog::pgTab));
        ASSERT_TRUE(spin);
        EXPECT_TRUE(spin->isEnabled());
        EXPECT_EQ(spin->value(), 12);
        spin->setValue(30);
        options.BitBtn1->click();
    });
    window->Action(QStringLiteral("actOption"))->trigger();
    ASSERT_EQ(answers.Shown.value(0), QStringLiteral("TOptionDialog"));
    EXPECT_EQ(env.env.config->SCROLLERSIZE, 30);
    EXPECT_EQ(scroller->BackButton()->width(), 30);
    EXPECT_EQ(scroller->ForwardButton()->width(), 30);
    EXPECT_EQ(scroller->ForwardButton()->x(), scroller->width() - 30);
}
