// The menu bar and the buttons and menu items that carry what they stand for.

#include "controls/MenuBar.h"
#include "controls/TabButton.h"
#include "controls/TabMenuItem.h"
#include "render/TavuListDoc.h"

#include <gtest/gtest.h>

#include <QMenu>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

TEST(WindowControlsTest, MenuBarHasOneButtonPerTopLevelItem)
{
    QMenu main;
    QMenu file(QStringLiteral("ファイル(&F)"));
    QMenu help(QStringLiteral("ヘルプ(&H)"));
    file.addAction(QStringLiteral("終了"));
    main.addMenu(&file);
    main.addMenu(&help)->setVisible(false);

    TMenuBar bar;
    bar.SetMenu(&main);
    ASSERT_EQ(bar.Buttons().size(), 2);
    EXPECT_EQ(bar.Buttons()[0]->text(), QStringLiteral("ファイル(&F)"));
    EXPECT_EQ(bar.Buttons()[0]->menu(), &file);
    EXPECT_EQ(bar.Buttons()[1]->menu(), &help);

    EXPECT_FALSE(bar.actions()[1]->isVisible());
    file.menuAction()->setEnabled(false);   // a button follows its item
    help.menuAction()->setVisible(true);
    file.setTitle(QStringLiteral("ファイル(&G)"));
    EXPECT_FALSE(bar.Buttons()[0]->isEnabled());
    EXPECT_TRUE(bar.actions()[1]->isVisible());
    EXPECT_EQ(bar.Buttons()[0]->text(), QStringLiteral("ファイル(&G)"));

    const QList<QToolButton *> before = bar.Buttons();
    bar.SetMenu(&main);   // the same menu again changes nothing
    EXPECT_EQ(bar.Buttons(), before);

    const QPointer<QToolButton> first = before[0];
    bar.SetMenu(nullptr);
    EXPECT_TRUE(bar.Buttons().isEmpty());
    EXPECT_TRUE(first.isNull());
    EXPECT_TRUE(bar.actions().isEmpty());
    EXPECT_EQ(bar.Menu(), nullptr);
}

TEST(WindowControlsTest, MiddleClickCallsOnlyTheHandlersThatAreSet)
{
    TThreadListToolButton button;
    button.resize(60, 20);
    QSignalSpy middle(&button, &TTavuToolButton::MiddleClicked);
    QTest::mouseClick(&button, Qt::MiddleButton);
    ASSERT_EQ(middle.count(), 1);
    button.DoCloseClick();    // no handler: nothing happens
    button.DoReloadClick();
    EXPECT_FALSE(button.isChecked());

    int closed = 0;
    button.OnCloseClick = [&](TTavuToolButton *sender) { closed += sender == &button; };
    QObject::connect(&button, &TTavuToolButton::MiddleClicked, [](TTavuToolButton *b) { b->DoCloseClick(); });
    QTest::mouseClick(&button, Qt::MiddleButton);
    EXPECT_EQ(closed, 1);
    button.DoReloadClick();
    EXPECT_EQ(closed, 1);
}

TEST(WindowControlsTest, TabMenuItemActivatesItsTabEachTime)
{
    TTavuListDoc doc;
    TThreadListToolButton button;
    doc.TabButton = &button;
    QSignalSpy activated(&doc, &TTavuListDoc::Activated);
    QSignalSpy selected(&doc, &TTavuListDoc::Select);

    TThreadListMenuItem item;
    item.ListDoc = &doc;
    doc.TabMenuItem = &item;
    item.trigger();
    item.trigger();   // the tab is current already: activated and selected again
    EXPECT_EQ(activated.count(), 2);
    EXPECT_EQ(selected.count(), 2);
    EXPECT_TRUE(button.isChecked());
    EXPECT_TRUE(item.isChecked());

    TThreadListMenuItem empty;
    empty.trigger();   // without a document nothing happens
}

TEST(WindowControlsTest, RecentItemCaptionNumbersTheTitle)
{
    TRecentMenuItem item;
    item.SetEntry(3, QStringLiteral("2ch"), QStringLiteral("news"), QStringLiteral("123"), QStringLiteral("A&Bスレ"));
    EXPECT_EQ(item.text(), QStringLiteral("(&3)A&&Bスレ"));
    EXPECT_EQ(item.ThreadKey, QStringLiteral("123"));
}
