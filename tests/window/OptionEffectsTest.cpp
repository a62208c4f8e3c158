// What the settings of the option dialog do in the window: each is changed in the dialog opened
// from the window's command, confirmed with OK, and its effect is looked for in the window.

#include "WindowParts.h"
#include "DialogAnswers.h"
#include "PostTestEnv.h"
#include "WindowTestEnv.h"

#include "controls/BoardTree.h"
#include "controls/MenuBar.h"
#include "controls/TabButton.h"
#include "controls/WindowServices.h"
#include "core/Colors.h"
#include "core/JConvert.h"
#include "core/TavuConfig.h"
#include "core/ThreadItemList.h"
#include "flows/ThreadListController.h"
#include "render/TavuBrowser.h"
#include "render/TavuHintWindow.h"
#include "render/TavuListDoc.h"
#include "render/TavuResWriter.h"
#include "services/FavoriteFolders.h"
#include "settings/OptionControls.h"
#include "settings/OptionDialog.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QColorDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

using PostTest::ItemRef;
using PostTest::News;
using PostTest::WaitFor;

namespace {

using TChange = std::function<void(TOptionDialog &dialog, QWidget *page)>;

// Opens the option dialog with the window's command at the page, lets change set its controls (a
// colour dialog opened on the way picks colour) and confirms with OK.
void ChangeOptions(TWindowEnv &env, int page, const TChange &change, const QColor &colour = QColor())
{
    TDialogAnswers answers(env, [&](QDialog &dialog) {
        if (auto *chooser = qobject_cast<QColorDialog *>(&dialog)) {
            chooser->setCurrentColor(colour);
            chooser->accept();
            return;
        }
        auto &options = dynamic_cast<TOptionDialog &>(dialog);
        change(options, options.PageControl1->widget(page));
        options.BitBtn1->click();
    });
    env.Window->Action(QStringLiteral("actOption"))->trigger();
    ASSERT_EQ(answers.Shown.value(0), QStringLiteral("TOptionDialog"));
}

template <typename T>
T *Captioned(QWidget *page, const QString &caption)
{
    for (T *control : page->findChildren<T *>()) {
        if (control->text() == caption)
            return control;
    }
    ADD_FAILURE() << "no control " << caption.toStdString();
    return nullptr;
}

// The control a row label names.
template <typename T>
T *Labelled(QWidget *page, const QString &caption)
{
    QLabel *label = Captioned<QLabel>(page, caption);
    return label ? qobject_cast<T *>(label->buddy()) : nullptr;
}

QRadioButton *RadioItem(QWidget *page, const QString &group, const QString &item)
{
    for (QGroupBox *box : page->findChildren<QGroupBox *>()) {
        if (box->title() == group)
            return Captioned<QRadioButton>(box, item);
    }
    ADD_FAILURE() << "no group " << group.toStdString();
    return nullptr;
}

// Two categories of one site, A with two boards and B with one.
void WriteBoards(TWindowEnv &e)
{
    e.Root.Write(QStringLiteral("config/site/test/board.dat"),
                 jconvert::UnicodeToSjis(QStringLiteral("2\r\nA\r\n\th.example\ta1\tA1\r\n\th.example\ta2\tA2\r\n"
                                                        "B\r\n\th.example\tb1\tB1\r\n")));
    e.WriteProfile(QStringLiteral("bbs.txt"), "test\r\n");
}

QTreeWidgetItem *NodeNamed(QTreeWidget *tree, const QString &text)
{
    return tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive).value(0);
}

}  // namespace

// "常にひとつのカテゴリのみ展開": a closed category the user clicks opens alone.
TEST(OptionEffects, OneCategoryOpensAloneWhenTheUserSelectsIt)
{
    TPostWindowEnv posts(WriteBoards);
    TWindowEnv &env = posts.env;
    posts.ShowWindow();
    ChangeOptions(env, TOptionDialog::pgBoardList, [](TOptionDialog &, QWidget *page) {
        Captioned<QCheckBox>(page, QStringLiteral("常にひとつのカテゴリのみ展開"))->setChecked(true);
    });
    ASSERT_TRUE(env.config->BOARDLISTAUTOEXPAND);

    QTreeWidget *tree = Part<QTreeWidget>(env.Window, "BoardListView");
    QTreeWidgetItem *a = NodeNamed(tree, QStringLiteral("A"));
    QTreeWidgetItem *b = NodeNamed(tree, QStringLiteral("B"));
    ASSERT_TRUE(a && b);
    a->setExpanded(true);
    b->setExpanded(false);
    tree->setCurrentItem(NodeNamed(tree, QStringLiteral("A1")));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, tree->visualItemRect(b).center());
    EXPECT_EQ(tree->currentItem(), b);
    EXPECT_TRUE(b->isExpanded());
    EXPECT_FALSE(a->isExpanded());
}

// The board tree's colours change at OK, not at the next start.
TEST(OptionEffects, TheBoardTreeTakesItsColoursAtOk)
{
    TPostWindowEnv posts(WriteBoards);
    TWindowEnv &env = posts.env;
    const QColor chosen(0x12, 0x34, 0x56);
    ChangeOptions(
        env, TOptionDialog::pgBoardList,
        [](TOptionDialog &, QWidget *page) {
            Labelled<TColorSwatch>(page, QStringLiteral("カテゴリの背景色"))->ChooseButton->click();
        },
        chosen);
    ASSERT_EQ(env.config->CATEGORYBKCOLOR, TColor(0x563412));
    QTreeWidget *tree = Part<QTreeWidget>(env.Window, "BoardListView");
    EXPECT_EQ(NodeNamed(tree, QStringLiteral("B"))->background(0).color(), chosen);
    EXPECT_NE(NodeNamed(tree, QStringLiteral("B1"))->background(0).color(), chosen);
}

// "パネルのサイズ" is the height of the thread's title panel.
TEST(OptionEffects, TheTitlePanelIsAsHighAsSet)
{
    TWindowEnv env;
    env.Start();
    ChangeOptions(env, TOptionDialog::pgBrowser, [](TOptionDialog &, QWidget *page) {
        Labelled<QSpinBox>(page, QStringLiteral("パネルのサイズ"))->setValue(31);
    });
    EXPECT_EQ(Part<QWidget>(env.Window, "ThreadTitlePanel")->minimumHeight(), 31);
    EXPECT_EQ(Part<QWidget>(env.Window, "ThreadTitlePanel")->maximumHeight(), 31);
}

// "ショートカットバーの表示位置" moves the bar at OK; the top bar hidden through a run comes back in
// its own row, not in the menu bar's.
TEST(OptionEffects, TheShortcutBarMovesAtOkAndKeepsItsRowWhileHidden)
{
    TWindowEnv env([](TWindowEnv &e) { e.config->SHORTCUTBARPOS = 1; });
    env.Start();
    env.Window->resize(1000, 700);
    env.Window->show();
    ASSERT_TRUE(TWindowEnv::WaitUntil([&] {
        return Part<QToolBar>(env.Window, "MainActToolBar")->y() > Part<TMenuBar>(env.Window, "MenuBar1")->y();
    }));
    env.Destroy();   // a run with the bar at the bottom writes kpw.ini
    env.config = std::make_unique<TTavuConfig>();
    TavuConfig = env.config.get();
    env.config->APPSTATE = true;
    ASSERT_EQ(env.config->SHORTCUTBARPOS, 1);
    env.Window = new TVarneloWindow;
    env.Start();
    env.Window->resize(1000, 700);
    env.Window->show();
    auto *top = env.Window->findChild<QToolBar *>(QStringLiteral("ShortcutBand1"));
    auto *bottom = env.Window->findChild<QToolBar *>(QStringLiteral("ShortcutBand3"));
    ASSERT_TRUE(top && bottom);
    EXPECT_FALSE(top->isVisible());
    EXPECT_TRUE(bottom->isVisible());

    ChangeOptions(env, TOptionDialog::pgOther, [](TOptionDialog &, QWidget *page) {
        RadioItem(page, QStringLiteral("ショートカットバーの表示位置"), QStringLiteral("上"))->click();
    });
    EXPECT_EQ(env.config->SHORTCUTBARPOS, 0);
    EXPECT_FALSE(bottom->isVisible());
    ASSERT_TRUE(TWindowEnv::WaitUntil([&] { return top->isVisible() && top->y() > 0; }));
    EXPECT_NE(top->y(), Part<TMenuBar>(env.Window, "MenuBar1")->y());
}

// "閉じるボタンを表示": each tab button of the kind has a close mark that closes its tab; OK shows or
// hides it on the tabs open.
TEST(OptionEffects, TabsShowACloseMarkAsSet)
{
    TWindowEnv env;
    env.Start();
    env.Window->resize(1000, 700);
    env.Window->show();
    const auto newTab = [&env] {
        TTavuBrowser *tab = nullptr;
        env.Window->Tabs().NewBrowser(tab, nullptr, nullptr, true, QStringLiteral("ページ"));
        return tab;
    };
    TTavuBrowser *tab = newTab();
    auto *button = qobject_cast<TTavuToolButton *>(tab->TabButton);
    ASSERT_TRUE(button);
    EXPECT_TRUE(button->CloseMark()->isVisibleTo(button));

    ChangeOptions(env, TOptionDialog::pgTab, [](TOptionDialog &dialog, QWidget *page) {
        dialog.TabKindList->setCurrentIndex(1);   // ブラウザタブ
        Captioned<QCheckBox>(page, QStringLiteral("閉じるボタンを表示"))->setChecked(false);
    });
    EXPECT_FALSE(env.config->BROWSER_SHOWCLOSEBTN);
    EXPECT_TRUE(env.config->THREADLIST_SHOWCLOSEBTN);
    EXPECT_FALSE(button->CloseMark()->isVisibleTo(button));

    ChangeOptions(env, TOptionDialog::pgTab, [](TOptionDialog &dialog, QWidget *page) {
        dialog.TabKindList->setCurrentIndex(1);
        Captioned<QCheckBox>(page, QStringLiteral("閉じるボタンを表示"))->setChecked(true);
    });
    ASSERT_TRUE(button->CloseMark()->isVisibleTo(button));
    TTavuBrowser *other = newTab();   // the tab shown is the other one: the mark closes its own
    ASSERT_TRUE(env.Window->Tabs().Browsers().contains(other));
    button->CloseMark()->click();
    EXPECT_FALSE(env.Window->Tabs().Browsers().contains(tab));
    EXPECT_TRUE(env.Window->Tabs().Browsers().contains(other));
}

// A web page's tab is shortened by WEBSHORTTITLE and WEBTITLELEN, a thread's by its own settings.
TEST(OptionEffects, AWebPageTabIsShortenedByTheWebSettings)
{
    TWindowEnv env([](TWindowEnv &e) {
        e.config->SHORTTITLE = false;
        e.config->WEBSHORTTITLE = true;
        e.config->WEBTITLELEN = 6;
    });
    env.Start();
    TTavuBrowser *tab = nullptr;
    env.Window->Tabs().NewBrowser(tab, nullptr, nullptr, true, QString());
    tab->URL = QStringLiteral("http://page.example.jp/");
    emit tab->TitleChange(QStringLiteral("ずいぶん長いページの題名"));
    ASSERT_TRUE(tab->TabButton);
    EXPECT_LT(tab->TabButton->text().size(), QStringLiteral("ずいぶん長いページの題名").size());
    EXPECT_TRUE(tab->TabButton->text().startsWith(QStringLiteral("ずいぶ")));
}

// ">>n クリック時の動作": "該当レスまでスクロールして移動" scrolls the thread to the response instead of
// showing it in the double window.
TEST(OptionEffects, AnAnchorScrollsToItsResponseWhenSoSet)
{
    TPostWindowEnv env;
    env.ShowWindow();
    const QString key = QStringLiteral("1000000001");
    TVarneloWindow *window = env.Window();
    TTavuBrowser *tab = PostTest::OpenDownloadedThread(env, key, 80);
    ASSERT_TRUE(tab);
    ASSERT_TRUE(WaitFor([tab] { return !tab->Browser()->IsBusy(); }));

    ChangeOptions(env.env, TOptionDialog::pgPopup, [](TOptionDialog &, QWidget *page) {
        RadioItem(page, QStringLiteral(">>n クリック時の動作"), QStringLiteral("該当レスまでスクロールして移動"))->click();
    });
    ASSERT_EQ(env.env.config->RESANCHORBROWSE, 1);
    TThreadItem *item = tab->ThreadItem();
    bool cancel = false;
    emit tab->Browser()->BeforeNavigate(QUrl(item->BBS->GetReadUrlRange(item, 60, 60, false)), cancel);
    EXPECT_TRUE(cancel);
    EXPECT_FALSE(window->SearchViews().DoubleWindowShown());
    EXPECT_TRUE(WaitFor([tab] { return tab->GetTopResNumber() == 60; })) << tab->GetTopResNumber();
}

// Settings that change nothing in this program cannot be changed.
TEST(OptionEffects, SettingsWithoutEffectAreDisabled)
{
    TWindowEnv env;
    env.Start();
    TDialogAnswers answers(env, [](QDialog &dialog) {
        auto &options = dynamic_cast<TOptionDialog &>(dialog);
        auto page = [&options](int index) { return options.PageControl1->widget(index); };
        EXPECT_FALSE(Captioned<QCheckBox>(page(TOptionDialog::pgApp), QStringLiteral("ツールバーをシングルクリックで \"びろーん\" とさせない"))
                         ->isEnabled());
        EXPECT_FALSE(Captioned<QCheckBox>(page(TOptionDialog::pgBrowser), QStringLiteral("常に全レスを表示する"))->isEnabled());
        EXPECT_FALSE(Labelled<QSpinBox>(page(TOptionDialog::pgBrowser), QStringLiteral("表示する最大レス数"))->isEnabled());
        EXPECT_FALSE(Labelled<QLineEdit>(page(TOptionDialog::pgBBS), QStringLiteral("認証コード :"))->isEnabled());
        EXPECT_FALSE(Captioned<QRadioButton>(page(TOptionDialog::pgThreadList), QStringLiteral("下に表示"))->isEnabled());
        dialog.reject();
    });
    env.Window->Action(QStringLiteral("actOption"))->trigger();
    EXPECT_EQ(answers.Shown, QStringList{QStringLiteral("TOptionDialog")});
}

// "ダウンロード中の描画": the rows of a list being read are drawn after every thread, or, with
// "１スレッドダウンロードするたびに描画する" off, after every "件ダウンロードするたびに描画" threads.
TEST(OptionEffects, AListBeingReadIsDrawnAsOftenAsSet)
{
    TWindowEnv env([](TWindowEnv &e) { e.WriteProfile(QStringLiteral("bbs.txt"), "2ch\r\nfavorites\r\n"); });
    env.Start();
    TBoard *folder = BoardTree::EnsureDefaultFavoritesFolder();
    ASSERT_NE(folder, nullptr);
    QList<TThreadItem *> items;
    for (int i = 1; i <= 5; ++i) {
        auto *item = new TThreadItem;
        ASSERT_TRUE(item->SetLocation(QStringLiteral("2ch"), QStringLiteral("news"), QStringLiteral("100000000%1").arg(i),
                                      QStringLiteral("題%1").arg(i)));
        items << item;
    }
    FavoriteFolders::AddThreads(folder, items, true);
    for (TThreadItem *item : items)
        item->Release();
    QList<int> drawn;
    QObject::connect(Part<TThreadListController>(env.Window), &TThreadListController::RowCountChanged,
                     [&drawn](TTavuListDoc *, int count, bool) { drawn << count; });
    const auto readFolder = [&] {
        drawn.clear();
        env.Window->ListPane().StartThreadListDownload(folder, true, false);
        TTavuListDoc *doc = nullptr;
        EXPECT_TRUE(env.Window->Tabs().FindBoardTab(folder, doc));
        EXPECT_TRUE(WaitFor([doc] { return doc->IsSettled() && doc->Items()->Count() == 5; }));
        return drawn;
    };
    EXPECT_EQ(readFolder(), (QList<int>{0, 1, 2, 3, 4, 5, 5}));

    ChangeOptions(env, TOptionDialog::pgThreadList, [](TOptionDialog &, QWidget *page) {
        Captioned<QCheckBox>(page, QStringLiteral("１スレッドダウンロードするたびに描画する"))->setChecked(false);
        Labelled<QSpinBox>(page, QStringLiteral("件ダウンロードするたびに描画"))->setValue(2);
    });
    ASSERT_EQ(env.config->THREADLISTDOWNLOADMODE, 1);
    EXPECT_EQ(readFolder(), (QList<int>{0, 2, 4, 5}));
}

// The popup of an ID draws the ID as a link only while the option says so, and its heading keeps
// the number of a new response apart from the new mark.
TEST(OptionEffects, ThePopupOfAnIdLinksTheIdOnlyWhenSoSet)
{
    TPostWindowEnv env;
    const QString key = QStringLiteral("1000000001");
    TVarneloWindow *window = env.Window();
    TTavuBrowser *tab = PostTest::OpenDownloadedThread(env, key, 3);
    ASSERT_TRUE(tab);
    tab->ResList()->Get(0)->ID = QStringLiteral("abcd1234");
    const auto hoverId = [tab, window] {
        emit tab->StatusTextChange(TTavuResWriter::IdLink(QStringLiteral("abcd1234")));
        return window->Services().Views().HintWindow()->isVisible() ? window->Services().Views().HintWindow()->Html() : QString();
    };

    ASSERT_TRUE(env.env.config->ADDIDLINK);
    EXPECT_TRUE(hoverId().contains(QStringLiteral("class=\"id\"")));
    auto *text = window->Services().Views().HintWindow()->findChild<QTextBrowser *>();
    ASSERT_TRUE(text);
    EXPECT_TRUE(text->toPlainText().contains(QStringLiteral("1 新着 "))) << text->toPlainText().toStdString();

    ChangeOptions(env.env, TOptionDialog::pgBrowser, [](TOptionDialog &, QWidget *page) {
        Captioned<QCheckBox>(page, QStringLiteral("ID: にリンクを設定する"))->setChecked(false);
    });
    ASSERT_FALSE(env.env.config->ADDIDLINK);
    const QString shown = hoverId();
    EXPECT_TRUE(shown.contains(QStringLiteral("ID:abcd1234")));
    EXPECT_FALSE(shown.contains(QStringLiteral("class=\"id\"")));
}
