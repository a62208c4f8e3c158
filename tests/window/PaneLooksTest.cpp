// Settings of the option dialog that change how parts of the main window look or act: the log
// pane's colours and font, the shortcut bars' caption colour and font (both at start-up and after
// the dialog's OK) and whether a board opened from a shortcut is shown in the board tree.

#include "WindowParts.h"
#include "DialogAnswers.h"
#include "PostTestEnv.h"

#include "controls/BarsAndMenus.h"
#include "controls/BoardTree.h"
#include "controls/ShortcutBar.h"
#include "controls/TavuSplitter.h"
#include "controls/WindowEvents.h"
#include "controls/WindowServices.h"
#include "core/Colors.h"
#include "core/JConvert.h"
#include "core/Tavutils.h"
#include "mainwindow/VarneloWindowStatusBar.h"
#include "render/EmbeddedWB.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"
#include "settings/OptionControls.h"
#include "settings/OptionDialog.h"
#include "settings/ShowOptionDialog.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QImage>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QTreeWidget>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

constexpr TColor BgrRed = 0x000000FF;    // stored colours keep blue in the high byte
constexpr TColor BgrBlue = 0x00FF0000;
constexpr TColor BgrGreen = 0x0000C000;

// The option dialog's group with that title (swatches and spin edits in the order shown); with a
// caption, the one of several groups so titled that shows it.
QGroupBox *GroupOf(QDialog &dialog, const QString &title, const QString &caption = QString())
{
    for (QGroupBox *box : dialog.findChildren<QGroupBox *>()) {
        const auto shows = [&caption](const QLabel *label) { return label->text() == caption; };
        const QList<QLabel *> labels = box->findChildren<QLabel *>();
        if (box->title() == title && (caption.isEmpty() || std::any_of(labels.begin(), labels.end(), shows)))
            return box;
    }
    return nullptr;
}

// Runs the real option dialog; change sets its controls before OK.
void ConfirmOptions(TWindowEnv &env, const std::function<void(QDialog &)> &change)
{
    TDialogAnswers answers(env, [&change](QDialog &dialog) {
        change(dialog);
        dynamic_cast<TOptionDialog &>(dialog).BitBtn1Click();
    });
    ASSERT_TRUE(env.Window->ShowOptions(0));
    ASSERT_EQ(answers.Shown, QStringList({QStringLiteral("TOptionDialog")}));
}

// Sets the colours and the size of one colour group of the option dialog.
void SetGroup(QDialog &dialog, const QString &title, const QList<TColor> &colours, int size)
{
    QGroupBox *group = GroupOf(dialog, title);
    ASSERT_NE(group, nullptr) << title.toStdString();
    const QList<TColorSwatch *> swatches = group->findChildren<TColorSwatch *>();
    ASSERT_EQ(swatches.size(), colours.size());
    for (int i = 0; i < colours.size(); ++i)
        swatches[i]->SetColor(colours[i]);
    group->findChild<QSpinBox *>()->setValue(size);
}

// True when some pixel of the picture has that colour, give or take the smoothing of small text.
bool Shows(const QImage &picture, const QColor &colour)
{
    const auto near = [](int a, int b) { return std::abs(a - b) <= 40; };
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QColor pixel = picture.pixelColor(x, y);
            if (near(pixel.red(), colour.red()) && near(pixel.green(), colour.green())
                && near(pixel.blue(), colour.blue()))
                return true;
        }
    }
    return false;
}

void ExpectLogPane(const QPlainTextEdit *memo, const QColor &back, const QColor &text, int size)
{
    EXPECT_EQ(memo->palette().color(QPalette::Base), back);
    EXPECT_EQ(memo->palette().color(QPalette::Text), text);
    EXPECT_EQ(memo->font().pointSize(), size);
    const QImage drawn = memo->viewport()->grab().toImage();
    EXPECT_EQ(drawn.pixelColor(drawn.width() - 2, drawn.height() - 2).rgb(), back.rgb());
    EXPECT_TRUE(Shows(drawn, text));
}

// Every button of the bar's first panel draws its caption in the colour, in a font of that size,
// and the buttons stand side by side at their new widths.
void ExpectShortcutCaptions(const TTavuShortcutBar *bar, const QColor &text, int size)
{
    ASSERT_EQ(bar->PanelCount(), 1);
    const QList<QWidget *> &controls = bar->Panel(0)->ToolBar()->Controls();
    ASSERT_EQ(controls.size(), 2);
    int left = 0;
    for (QWidget *control : controls) {
        auto *button = qobject_cast<TTavuShortcutToolButton *>(control);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->font().pointSize(), size);
        EXPECT_EQ(button->width(), button->sizeHint().width());
        EXPECT_EQ(button->x(), left);
        left += button->width();
        EXPECT_TRUE(Shows(button->grab().toImage(), text)) << button->Text().toStdString();
    }
    EXPECT_EQ(bar->Panel(0)->ToolBar()->width(), left);
}

const QString TwoShortcuts = QStringLiteral("外部\tclBtnFace\t\r\n"
                                            "\t4\tトップ\thttp://example.com/\t\t\r\n"
                                            "\t4\tもうひとつのページ\thttp://example.com/2\t\t\r\n");

// The status bar's progress bar of the shown window, and a picture of it empty.
TStatusProgress *ShownProgressBar(TWindowEnv &env, QImage &empty)
{
    env.Window->resize(1000, 700);
    env.Window->show();
    QCoreApplication::sendPostedEvents();
    empty = Part<TStatusProgress>(env.Window, "ProgressBar")->grab().toImage();
    return Part<TStatusProgress>(env.Window, "ProgressBar");
}

// Whether the column of the bar at the fraction `at` of its width differs from the empty bar's.
bool FilledAt(const QImage &drawn, const QImage &empty, double at)
{
    const int x = int(drawn.width() * at);
    for (int y = 0; y < drawn.height(); ++y)
        if (drawn.pixel(x, y) != empty.pixel(x, y))
            return true;
    return false;
}

}  // namespace

// A system colour code (clInfoBk) and a plain one: both come out as everywhere else in the
// program; the dialog's new choices show as soon as it closes with OK.
TEST(PaneLooks, LogPaneTakesItsColoursAndFontAtStartUpAndAfterOptionOk)
{
    TWindowEnv env([](TWindowEnv &e) {
        e.config->DESKTOP_LOGBACKCOLOR = clInfoBk;
        e.config->DESKTOP_LOGFONTCOLOR = BgrRed;
        e.config->DESKTOP_LOGFONTSIZE = 15;
    });
    env.Start();
    QPlainTextEdit *memo = Part<QPlainTextEdit>(env.Window, "Memo1");
    EventLog::AddLog(QStringLiteral("■■■■ ログの行"));
    ExpectLogPane(memo, QColor(0xFF, 0xFF, 0xE1), Qt::red, 15);

    ConfirmOptions(env, [](QDialog &dialog) {
        SetGroup(dialog, QStringLiteral("ログ出力ペインの色設定"), {BgrBlue, clWindowText}, 21);
    });
    EXPECT_EQ(TavuConfig->DESKTOP_LOGBACKCOLOR, BgrBlue);
    ExpectLogPane(memo, Qt::blue, Qt::black, 21);
}

// A new title length reaches the open tabs at once: a web-page tab and a thread-list tab that
// stands for no board (as the favourites' does) alike.
TEST(PaneLooks, OpenTabsFollowTheTitleLengthAtOptionOk)
{
    TWindowEnv env([](TWindowEnv &e) {
        e.config->SHORTTITLE = e.config->BOARDSHORTTITLE = false;
    });
    env.Start();
    const QString pageTitle = QStringLiteral("とても長いウェブページのタイトルです");
    const QString listTitle = QStringLiteral("お気に入りのとても長いフォルダ名です");
    TTavuBrowser *browser = nullptr;
    env.Window->Tabs().NewBrowser(browser, nullptr, nullptr, true, pageTitle);
    TTavuListDoc *doc = nullptr;
    env.Window->Tabs().NewListDoc(doc, nullptr, TTavuListDoc::lmBoard, true, listTitle, nullptr);
    ASSERT_EQ(browser->TabButton->text(), pageTitle);
    ASSERT_EQ(doc->TabButton->text(), listTitle);

    ConfirmOptions(env, [](QDialog &dialog) {
        auto &options = dynamic_cast<TOptionDialog &>(dialog);
        for (int kind : {0, 1}) {
            options.TabKindList->setCurrentIndex(kind);
            options.TabShortTitle->setChecked(true);
            options.TabTitleLen->setValue(kind == 0 ? 6 : 8);
        }
        options.TabKindList->setCurrentIndex(0);   // the last kind shown is stored too
    });
    EXPECT_EQ(browser->TabButton->text(), Tavutils::MakeShortCaption(pageTitle, 8));
    EXPECT_EQ(doc->TabButton->text(), Tavutils::MakeShortCaption(listTitle, 6));
    EXPECT_NE(doc->TabButton->text(), listTitle);
}

// A status text is drawn in its panel, cut where the panel ends; a new text lays out neither the
// bar nor the window again (the flows show one at every step).
TEST(PaneLooks, AStatusTextIsDrawnInItsPanelWithoutLayingTheWindowOutAgain)
{
    TWindowEnv env;
    env.Start();
    env.Window->resize(1000, 700);
    env.Window->show();
    TStatusBar *bar = Part<TStatusBar>(env.Window, "StatusBar2");
    const QList<QFrame *> panels = bar->findChildren<QFrame *>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_EQ(panels.size(), 2);
    const auto inside = [](QFrame *panel) { return panel->grab(panel->contentsRect()).toImage(); };
    ASSERT_FALSE(Shows(inside(panels[0]), Qt::black));

    // The layouts asked of the window, the bar and its panels, until a round of posted events asks
    // for none.
    struct TLayoutCount : QObject {
        QList<QObject *> watched;
        int count = 0;
        bool eventFilter(QObject *target, QEvent *event) override
        {
            if (event->type() == QEvent::LayoutRequest && watched.contains(target))
                ++count;
            return false;
        }
        int UntilQuiet()
        {
            int total = 0;
            do {
                count = 0;
                QCoreApplication::sendPostedEvents();
                total += count;
            } while (count > 0);
            return total;
        }
    } layouts;
    layouts.watched = {env.Window, bar, bar->parentWidget(), panels[0], panels[1]};
    qApp->installEventFilter(&layouts);
    layouts.UntilQuiet();   // what showing the window asked for
    const QString text = QStringLiteral("スレッド取得開始：") + QString(300, QChar(u'■'));
    bar->SetText(0, text);
    bar->SetText(1, text);
    const int asked = layouts.UntilQuiet();
    qApp->removeEventFilter(&layouts);

    EXPECT_EQ(asked, 0);
    EXPECT_EQ(bar->Text(0), text);
    EXPECT_EQ(bar->Width(0), 260);
    EXPECT_TRUE(Shows(inside(panels[0]), Qt::black));
}

TEST(PaneLooks, ShortcutCaptionsTakeTheirColourAndFontAtStartUpAndAfterOptionOk)
{
    TWindowEnv env([](TWindowEnv &e) {
        e.WriteProfile(QStringLiteral("shortcut.txt"), jconvert::UnicodeToSjis(TwoShortcuts));
        e.config->SHORTCUTBARFONTCOLOR = BgrRed;
        e.config->SHORTCUTBARFONTSIZE = 8;
    });
    env.Start();
    for (TTavuShortcutBar *bar :
         {Part<TTavuShortcutBar>(env.Window, "ShortcutBar1"), Part<TTavuShortcutBar>(env.Window, "ShortcutBar3")})
        ExpectShortcutCaptions(bar, Qt::red, 8);
    const int narrow = Part<TTavuShortcutBar>(env.Window, "ShortcutBar1")->Panel(0)->ToolBar()->width();

    ConfirmOptions(env, [](QDialog &dialog) {
        SetGroup(dialog, QStringLiteral("ショートカットバーのフォント"), {BgrGreen}, 16);
    });
    EXPECT_EQ(TavuConfig->SHORTCUTBARFONTCOLOR, BgrGreen);
    for (TTavuShortcutBar *bar :
         {Part<TTavuShortcutBar>(env.Window, "ShortcutBar1"), Part<TTavuShortcutBar>(env.Window, "ShortcutBar3")})
        ExpectShortcutCaptions(bar, QColor(0, 0xC0, 0), 16);
    EXPECT_GT(Part<TTavuShortcutBar>(env.Window, "ShortcutBar1")->Panel(0)->ToolBar()->width(), narrow);

    // Loaded again (after the editor), the bar keeps the look.
    env.Window->Services().Boards().ShortcutsChanged();
    ExpectShortcutCaptions(Part<TTavuShortcutBar>(env.Window, "ShortcutBar1"), QColor(0, 0xC0, 0), 16);
}

// "板選択時にボード一覧の該当板を選択状態にする": a board shortcut opens the board either way and
// moves the board tree to it only while the option is on.
TEST(PaneLooks, BoardShortcutSelectsTheBoardInTheTreeOnlyWhenAsked)
{
    TPostWindowEnv env([](TWindowEnv &e) {
        e.WriteProfile(QStringLiteral("shortcut.txt"),
                       jconvert::UnicodeToSjis(QStringLiteral("板\tclBtnFace\t\r\n\t1\tニュース\tnews\ttest\t\r\n")));
        e.WriteProfile(QStringLiteral("bbs.txt"), "test\r\n");
        e.config->JUMPSHORTCUT = false;
    });
    TVarneloWindow *window = env.Window();
    QTreeWidget *tree = Part<QTreeWidget>(window, "BoardListView");
    tree->setCurrentItem(nullptr);
    auto *button = qobject_cast<TTavuShortcutToolButton *>(
        Part<TTavuShortcutBar>(window, "ShortcutBar1")->Panel(0)->ToolBar()->Controls().value(0));
    ASSERT_NE(button, nullptr);

    button->click();
    ASSERT_TRUE(PostTest::WaitFor([&] { return PostTest::Settled(env); }));
    TTavuListDoc *doc = nullptr;
    EXPECT_TRUE(env.Window()->Tabs().FindBoardTab(env.Board(PostTest::News), doc));
    EXPECT_EQ(tree->currentItem(), nullptr);

    TavuConfig->JUMPSHORTCUT = true;
    button->click();
    ASSERT_TRUE(PostTest::WaitFor([&] { return PostTest::Settled(env); }));
    ASSERT_NE(tree->currentItem(), nullptr);
    EXPECT_EQ(BoardTree::NodeBoard(tree->currentItem()), env.Board(PostTest::News));
}

// "表示位置" of the title panel puts it above or below the browser or hides it, its colours follow,
// and the board tree's font and the vote button change with the dialog too.
TEST(PaneLooks, TitlePanelBoardTreeFontAndVoteButtonFollowTheOptions)
{
    TWindowEnv env([](TWindowEnv &e) {
        e.config->THREADTITLEPANEL = 1;
        e.config->THREADTITLEPANELCOLOR = BgrBlue;
        e.config->BOARDLISTFONTSIZE = 13;
        e.config->CHBOX_USEHE = false;
    });
    env.Start();
    TVarneloWindow *window = env.Window;
    QWidget *panel = Part<QWidget>(window, "ThreadTitlePanel");
    const auto *column = Part<QWidget>(window, "BrowserPanel")->layout();
    const auto titleOffset = [&] {
        return column->indexOf(panel) - column->indexOf(Part<TTavuSplitter>(window, "TavuSplitter2"));
    };
    QAction *vote = window->Action(QStringLiteral("act2chHeee"));

    EXPECT_EQ(titleOffset(), 1);   // below the browser
    EXPECT_TRUE(panel->isVisibleTo(Part<QWidget>(window, "BrowserPanel")));
    EXPECT_EQ(panel->palette().color(QPalette::Window), QColor(Qt::blue));
    EXPECT_EQ(Part<QTreeWidget>(window, "BoardListView")->font().pointSize(), 13);
    EXPECT_FALSE(vote->isVisible());

    ConfirmOptions(env, [](QDialog &dialog) {
        auto &options = dynamic_cast<TOptionDialog &>(dialog);
        for (QCheckBox *box : options.findChildren<QCheckBox *>()) {
            if (box->text() == QStringLiteral("へぇボタンを表示する"))
                box->setChecked(true);
        }
        for (QRadioButton *button : GroupOf(dialog, QStringLiteral("スレッド情報パネル"))->findChildren<QRadioButton *>()) {
            if (button->text() == QStringLiteral("非表示"))
                button->setChecked(true);
        }
        SetGroup(dialog, QStringLiteral("スレッド情報パネル"), {BgrGreen, clWindowText}, 20);
        GroupOf(dialog, QStringLiteral("配色"), QStringLiteral("カテゴリの背景色"))->findChild<QSpinBox *>()->setValue(17);
    });
    EXPECT_EQ(TavuConfig->THREADTITLEPANEL, 2);
    EXPECT_FALSE(panel->isVisibleTo(Part<QWidget>(window, "BrowserPanel")));
    EXPECT_EQ(panel->palette().color(QPalette::Window), QColor(0, 0xC0, 0));
    EXPECT_EQ(Part<QTreeWidget>(window, "BoardListView")->font().pointSize(), 17);
    EXPECT_TRUE(vote->isVisible());

    TavuConfig->THREADTITLEPANEL = 0;
    emit window->Services().Frame().Events().OptionsApplied();
    EXPECT_EQ(titleOffset(), -1);   // above it again, and shown
    EXPECT_TRUE(panel->isVisibleTo(Part<QWidget>(window, "BrowserPanel")));
}

// The progress of a flow is drawn with the window's next paint, not while the flow reads on; it
// fills the bar as far as it got, a reply of unknown length shows that something runs, and a reset
// empties the bar.
TEST(PaneLooks, FlowProgressIsDrawnWithTheNextPaint)
{
    TWindowEnv env;
    env.Start();
    QImage empty;
    TStatusProgress *bar = ShownProgressBar(env, empty);
    const auto filled = [&empty](const QImage &drawn, double at) { return FilledAt(drawn, empty, at); };

    struct TPaintCount : QObject {
        int count = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            count += event->type() == QEvent::Paint;
            return false;
        }
    } paints;
    bar->installEventFilter(&paints);
    bar->SetProgress(10, 5);
    EXPECT_EQ(paints.count, 0);
    QCoreApplication::processEvents();
    EXPECT_GT(paints.count, 0);
    bar->removeEventFilter(&paints);
    const QImage half = bar->grab().toImage();
    EXPECT_TRUE(filled(half, 0.25));
    EXPECT_FALSE(filled(half, 0.75));

    bar->SetProgress(10, 10);
    EXPECT_TRUE(filled(bar->grab().toImage(), 0.75));
    bar->Reset();
    EXPECT_EQ(bar->grab().toImage(), empty);
    bar->SetProgress(0, 3);
    EXPECT_NE(bar->grab().toImage(), empty);
    bar->Reset();
    EXPECT_EQ(bar->grab().toImage(), empty);
}

// The private browser's progress is the status bar's: the bar fills as far as the page got.
TEST(PaneLooks, ThePrivateBrowsersProgressFillsTheBar)
{
    TWindowEnv env;
    env.Start();
    QImage empty;
    TStatusProgress *bar = ShownProgressBar(env, empty);
    emit Part<TTavuBrowser>(env.Window, "PrivateBrowser")->Browser()->ProgressChange(5, 10);
    const QImage half = bar->grab().toImage();
    EXPECT_TRUE(FilledAt(half, empty, 0.25));
    EXPECT_FALSE(FilledAt(half, empty, 0.75));
}

// A long status of a download is read whole; the hint of a menu item or toolbar button shows in the
// upper bar's last field and leaves both bars in place.
TEST(PaneLooks, TheFlowStatusIsReadWholeAndHintsLeaveTheBarsInPlace)
{
    TPostWindowEnv env;
    TVarneloWindow *window = env.Window();
    window->resize(1200, 700);
    window->show();
    const QString key = QStringLiteral("1000000001");
    env.server.AddThread(PostTest::News, key, QStringLiteral("とても長いスレッドのタイトルで状態欄に収まるかを確かめる"));
    env.server.AppendRes(PostTest::News, key, QStringLiteral("名無し"), QString(), QStringLiteral("本文"));
    PostTest::ItemRef item(PostTest::NewsItem(env, key));
    PostTest::OpenThread(env, item.get());
    ASSERT_TRUE(PostTest::WaitFor([&env] { return PostTest::Settled(env); }));
    TStatusBar *flows = Part<TStatusBar>(window, "StatusBar2");
    const QString status = flows->Text(0);
    ASSERT_TRUE(status.startsWith(QStringLiteral("スレッド取得完了："))) << status.toStdString();
    EXPECT_GE(flows->Width(0), flows->fontMetrics().horizontalAdvance(status));

    QAction *action = window->Action(QStringLiteral("actOption"));
    ASSERT_TRUE(action && !action->statusTip().isEmpty());
    auto *toolbar = window->findChild<QToolBar *>();
    ASSERT_TRUE(toolbar);
    action->showStatusText(toolbar);
    TStatusBar *upper = Part<TStatusBar>(window, "StatusBar1");
    EXPECT_EQ(upper->Text(upper->PanelCount() - 1), action->statusTip());
    EXPECT_TRUE(window->statusBar()->currentMessage().isEmpty());
    EXPECT_TRUE(upper->isVisibleTo(window));
    EXPECT_TRUE(flows->isVisibleTo(window));
    QStatusTipEvent leave{QString()};
    QCoreApplication::sendEvent(toolbar, &leave);
    EXPECT_TRUE(upper->Text(upper->PanelCount() - 1).isEmpty());
}
