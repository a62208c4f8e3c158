// The shortcut bar and shortcut.txt: the file read as tabs and items and written back, the tab
// model's editing, the bar built from the file (panels, buttons, clicks, scrolling) and the main
// window's two bars.

#include "WindowParts.h"
#include "WindowTestEnv.h"
#include "support/TempDataRoot.h"

#include "controls/Dialogs.h"
#include "controls/ShortcutBar.h"
#include "controls/ShortcutData.h"
#include "core/IniFile.h"
#include "core/JConvert.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/ThreadItem.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QDialog>
#include <QImage>
#include <QKeySequence>
#include <QMenu>
#include <QScopeGuard>
#include <QTimer>
#include <QToolBar>
#include <QToolTip>
#include <gtest/gtest.h>

namespace {

QByteArray Sjis(const QString &text)
{
    return jconvert::UnicodeToSjis(text);
}

struct ShortcutEnv {
    TempDataRoot root;
    std::unique_ptr<TTavuConfig> config = std::make_unique<TTavuConfig>();
    TTavuConfig *oldConfig = std::exchange(TavuConfig, config.get());
    ~ShortcutEnv() { TavuConfig = oldConfig; }

    QString WriteShortcuts(const QString &text) const
    {
        root.Write(QStringLiteral("shortcut.txt"), Sjis(text));
        return root.File(QStringLiteral("shortcut.txt"));
    }
    void WriteImage(const QString &relative) const
    {
        QImage image(16, 16, QImage::Format_RGB32);
        image.fill(Qt::red);
        root.Write(relative, QByteArray());
        image.save(root.File(relative), "PNG");
    }
};

const QString SampleFile = QStringLiteral(
    "\t1\titem before any tab\tnews\t2ch\t\r\n"
    "板\tclBtnFace\timages/tab.png\r\n"
    "\t1\tニュース速報+\tnewsplus\t2ch\t\r\n"
    "\r\n"
    "\t-\t\t\t\t\r\n"
    "\t2\tスレ\t1234567890\tnews\t2ch\r\n"
    "\tx\tno kind\ta\tb\tc\r\n"
    "外部\t$00FF8000\timages/missing.bmp\r\n"
    "\t3\tメモ帳\t/usr/bin/editor\t%url\t\r\n"
    "\t4\tトップ\thttp://example.com/\t\t\r\n"
    "\t5\tニュース\tニュース\t2ch\t\r\n");

}  // namespace

// ---- shortcut.txt ----

TEST(ShortcutFile, ReadsTabsAndItemsAndWritesThemBack)
{
    ShortcutEnv env;
    env.WriteImage(QStringLiteral("images/tab.png"));
    const QString file = env.WriteShortcuts(SampleFile);

    const TShortcutBarModel model = ShortcutData::LoadShortcutBarModel(file);
    ASSERT_EQ(model.size(), 2u);
    const TTabData &first = *model[0];
    EXPECT_EQ(first.Name, QStringLiteral("板"));
    EXPECT_EQ(first.Color, clBtnFace);
    EXPECT_FALSE(first.Bitmap.isNull());
    ASSERT_EQ(first.GetCount(), 3);   // the line without a kind number is not an item
    EXPECT_TRUE(first.GetItem(1)->IsSeparator());
    const TShortcutData &thread = *first.GetItem(2);
    EXPECT_EQ(thread.Kind, skThread);
    EXPECT_EQ(thread.Text, QStringLiteral("スレ"));
    EXPECT_EQ(thread.Param1, QStringLiteral("1234567890"));
    EXPECT_EQ(thread.Param2, QStringLiteral("news"));
    EXPECT_EQ(thread.Param3, QStringLiteral("2ch"));
    EXPECT_EQ(model[1]->Color, TColor(0x00FF8000));
    EXPECT_TRUE(model[1]->Bitmap.isNull());   // its image file is missing
    EXPECT_EQ(model[1]->BitmapFile(), QStringLiteral("images/missing.bmp"));
    EXPECT_EQ(model[1]->GetItem(0)->Param2, QStringLiteral("%url"));

    // lines that are no items (before any tab, of no known kind) stay where they stood
    ShortcutData::SaveShortcutBarModel(model, file);
    EXPECT_EQ(env.root.Read(QStringLiteral("shortcut.txt")),
              Sjis(QStringLiteral("\t1\titem before any tab\tnews\t2ch\t\r\n"
                                  "板\tclBtnFace\timages/tab.png\r\n"
                                  "\t1\tニュース速報+\tnewsplus\t2ch\t\r\n"
                                  "\t0\t\t\t\t\r\n"
                                  "\t2\tスレ\t1234567890\tnews\t2ch\r\n"
                                  "\tx\tno kind\ta\tb\tc\r\n"
                                  "外部\t$00FF8000\timages/missing.bmp\r\n"
                                  "\t3\tメモ帳\t/usr/bin/editor\t%url\t\r\n"
                                  "\t4\tトップ\thttp://example.com/\t\t\r\n"
                                  "\t5\tニュース\tニュース\t2ch\t\r\n")));
}

TEST(ShortcutFile, LinesOfAnUnknownKindFollowTheirTabAndForeignBytesStay)
{
    ShortcutEnv env;
    const QByteArray file = "A\tclBtnFace\t\r\n\t1\tboard\tnews\t2ch\t\r\n\t9x\tfuture \xff kind\t\t\t\r\n"
                            "B\tclBtnFace\t\r\n\tnope\n";
    env.root.Write(QStringLiteral("shortcut.txt"), file);
    const QString path = env.root.File(QStringLiteral("shortcut.txt"));
    TShortcutBarModel model = ShortcutData::LoadShortcutBarModel(path);
    ASSERT_EQ(model.size(), 2u);
    std::swap(model[0], model[1]);   // the tabs change places; the unknown lines go with their tab
    model[1]->Delete(0);
    ShortcutData::SaveShortcutBarModel(model, path);
    EXPECT_EQ(env.root.Read(QStringLiteral("shortcut.txt")),
              QByteArray("B\tclBtnFace\t\r\n\tnope\nA\tclBtnFace\t\r\n\t9x\tfuture \xff kind\t\t\t\r\n"));
    model.pop_back();   // a tab deleted: its unknown lines are kept at the end
    ShortcutData::SaveShortcutBarModel(model, path);
    EXPECT_EQ(env.root.Read(QStringLiteral("shortcut.txt")),
              QByteArray("B\tclBtnFace\t\r\n\tnope\n\t9x\tfuture \xff kind\t\t\t\r\n"));
}

TEST(ShortcutFile, WrittenFieldsStayOnTheirLine)
{
    ShortcutEnv env;
    TShortcutBarModel model;
    model.push_back(std::make_unique<TTabData>());
    model[0]->Name = QStringLiteral("two\tparts");
    model[0]->LoadBitmapFile(TTavuConfig::AppDir() + QStringLiteral("images/folder.bmp"));
    TShortcutData *item = model[0]->Add();
    item->Kind = skWebPage;
    item->Text = QStringLiteral("line\r\nbreak 한");
    item->Param1 = QStringLiteral("http://example.com/");
    const QString file = env.root.File(QStringLiteral("shortcut.txt"));
    ShortcutData::SaveShortcutBarModel(model, file);
    EXPECT_EQ(env.root.Read(QStringLiteral("shortcut.txt")),
              QByteArray("two parts\tclBtnFace\timages/folder.bmp\r\n"
                         "\t4\tline  break &#54620;\thttp://example.com/\t\t\r\n"));
}

TEST(ShortcutFile, MissingFileOrNoTabGivesNothing)
{
    ShortcutEnv env;
    EXPECT_TRUE(ShortcutData::LoadShortcutBarModel(env.root.File(QStringLiteral("none.txt"))).empty());
    const QString file = env.WriteShortcuts(QStringLiteral("\t1\tboard\tnews\t2ch\t\r\n\t0\t\t\t\t\r\n"));
    EXPECT_TRUE(ShortcutData::LoadShortcutBarModel(file).empty());
    TTavuShortcutBar bar;
    bar.LoadFromFile(file);
    EXPECT_EQ(bar.PanelCount(), 0);
    bar.LoadFromFile(env.root.File(QStringLiteral("none.txt")));
    EXPECT_EQ(bar.PanelCount(), 0);
    EXPECT_EQ(bar.ActiveIndex(), -1);
}

// ---- the tab model ----

TEST(TabData, EditsItemsAndCopiesTheTab)
{
    ShortcutEnv env;
    TTabData tab;
    tab.Add()->Text = QStringLiteral("b");
    tab.Insert(0)->Text = QStringLiteral("a");
    tab.Insert(99)->Text = QStringLiteral("d");
    tab.Insert(2)->Text = QStringLiteral("c");
    auto texts = [](const TTabData &t) {
        QStringList list;
        for (int i = 0; i < t.GetCount(); ++i)
            list.append(t.GetItem(i)->Text);
        return list;
    };
    EXPECT_EQ(texts(tab), QStringList({"a", "b", "c", "d"}));
    tab.Delete(1);
    std::unique_ptr<TShortcutData> moved = tab.Take(0);
    tab.Insert(tab.GetCount(), std::move(moved));
    EXPECT_EQ(texts(tab), QStringList({"c", "d", "a"}));

    env.WriteImage(QStringLiteral("images/tab.png"));
    tab.Name = QStringLiteral("tab");
    tab.Color = clRed;
    EXPECT_TRUE(tab.SetBitmapFile(QStringLiteral("images/tab.png")));
    TTabData copy;
    copy.Assign(tab);
    EXPECT_EQ(copy.Name, QStringLiteral("tab"));
    EXPECT_EQ(copy.Color, clRed);
    EXPECT_EQ(copy.BitmapFile(), QStringLiteral("images/tab.png"));
    EXPECT_EQ(copy.Bitmap.cacheKey(), tab.Bitmap.cacheKey());
    EXPECT_EQ(copy.GetCount(), 0);

    TShortcutData data;
    data.Assign(*tab.GetItem(0));
    EXPECT_EQ(data.Text, QStringLiteral("c"));
}

TEST(TabData, AnImageThatCannotBeReadIsReported)
{
    ShortcutEnv env;
    QStringList messages;
    Dialogs::TScopedDialogHandlers handlers([&](Dialogs::TMsgKind, const QString &text, Dialogs::TMsgButtons) {
        messages.append(text);
        return Dialogs::mrOK;
    });
    env.root.Write(QStringLiteral("images/broken.bmp"), "not an image");
    TTabData tab;
    EXPECT_TRUE(tab.SetBitmapFile(QStringLiteral("images/none.bmp")));   // missing: no image, no message
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_FALSE(tab.SetBitmapFile(QStringLiteral("images\\broken.bmp")));
    EXPECT_EQ(messages, QStringList(QStringLiteral("指定された画像は利用できません。")));
    EXPECT_TRUE(tab.Bitmap.isNull());
    EXPECT_EQ(ShortcutKindName(skCategory), QStringLiteral("板カテゴリー"));
}

// ---- the bar ----

TEST(ShortcutBar, BuildsPanelsAndButtonsFromTheFile)
{
    ShortcutEnv env;
    env.WriteImage(QStringLiteral("images/tab.png"));
    const QString file = env.WriteShortcuts(SampleFile);
    TTavuShortcutBar bar;
    QList<TTavuShortcutToolButton *> created;
    QList<TTavuShortcutToolButton *> clicked;
    bar.OnShortcutCreated = [&](TTavuShortcutToolButton *b) { created.append(b); };
    bar.OnShortcutClick = [&](TTavuShortcutToolButton *b) { clicked.append(b); };
    bar.resize(600, TTavuShortcutBar::BarHeight);
    bar.LoadFromFile(file);
    bar.show();
    QApplication::processEvents();

    ASSERT_EQ(bar.PanelCount(), 2);
    EXPECT_EQ(bar.ActiveIndex(), 0);
    TTavuShortcutPanel *first = bar.Panel(0);
    EXPECT_EQ(first->HeaderButton()->toolTip(), QStringLiteral("板"));
    EXPECT_FALSE(first->HeaderButton()->icon().isNull());
    EXPECT_TRUE(bar.Panel(1)->HeaderButton()->icon().isNull());
    ASSERT_EQ(first->ToolBar()->Controls().size(), 3);
    EXPECT_EQ(first->ToolBar()->Controls()[1]->width(), 3);   // the "-" separator
    ASSERT_EQ(created.size(), 5);                              // buttons only, both panels
    TTavuShortcutToolButton *thread = created[1];
    EXPECT_EQ(thread->Kind, skThread);
    EXPECT_EQ(thread->Text(), QStringLiteral("スレ"));
    EXPECT_EQ(thread->Param3, QStringLiteral("2ch"));
    EXPECT_EQ(thread->x(), first->ToolBar()->Controls()[1]->geometry().right() + 1);
    thread->SetText(QStringLiteral("猫 & 犬"));   // the title a click opens is the one shown
    EXPECT_EQ(thread->Text(), QStringLiteral("猫 & 犬"));
    EXPECT_TRUE(QKeySequence::mnemonic(thread->text()).isEmpty());
    thread->SetText(QStringLiteral("スレ"));

    thread->click();
    ASSERT_EQ(clicked.size(), 1);
    EXPECT_EQ(clicked[0], thread);

    // The active panel fills the bar; the other one is its header button at the right.
    EXPECT_FALSE(first->IsCollapsed());
    EXPECT_TRUE(bar.Panel(1)->IsCollapsed());
    EXPECT_EQ(bar.Panel(1)->width(), TTavuShortcutPanel::CollapsedWidth);
    EXPECT_GT(bar.Panel(1)->x(), first->x());
    bar.Panel(1)->HeaderButton()->click();
    QApplication::processEvents();
    EXPECT_EQ(bar.ActiveIndex(), 1);
    EXPECT_TRUE(first->IsCollapsed());
    EXPECT_EQ(first->x(), 0);
    EXPECT_GT(bar.Panel(1)->width(), 400);

    bar.LoadFromFile(file);   // loading again starts afresh
    EXPECT_EQ(bar.PanelCount(), 2);
    EXPECT_EQ(bar.ActiveIndex(), 0);
}

TEST(ShortcutBar, LongRowScrollsWithinItsEnds)
{
    ShortcutEnv env;
    QString text = QStringLiteral("tab\tclBtnFace\t\r\n");
    for (int i = 0; i < 30; ++i)
        text += QStringLiteral("\t4\tpage number %1\thttp://example.com/%1\t\t\r\n").arg(i);
    text += QStringLiteral("short\tclBtnFace\t\r\n\t4\tone\thttp://example.com/\t\t\r\n");
    TTavuShortcutBar bar;
    bar.resize(500, TTavuShortcutBar::BarHeight);
    bar.LoadFromFile(env.WriteShortcuts(text));
    bar.show();
    QApplication::processEvents();

    TTavuShortcutPanel *panel = bar.Panel(0);
    TTavuToolBar *row = panel->ToolBar();
    ASSERT_GT(row->width(), panel->width());
    EXPECT_TRUE(panel->ForwardButton()->isVisible());
    EXPECT_EQ(panel->ViewingArea()->x(), 14);
    panel->ScrollBack();
    EXPECT_EQ(row->x(), 0);
    panel->ScrollForward();
    EXPECT_EQ(row->x(), -TTavuShortcutPanel::ScrollStep);
    for (int i = 0; i < 1000; ++i)
        panel->ScrollForward();
    EXPECT_LE(row->x() + row->width(), panel->ViewingArea()->width());
    EXPECT_GT(row->x() + row->width(), panel->ViewingArea()->width() - TTavuShortcutPanel::ScrollStep);
    for (int i = 0; i < 1000; ++i)
        panel->ScrollBack();
    EXPECT_EQ(row->x(), 0);

    // Held down, the forward button scrolls on its own, a step at a time, until it is let go.
    auto runningTimers = [panel] {
        QList<QTimer *> running = panel->findChildren<QTimer *>();
        running.removeIf([](const QTimer *timer) { return !timer->isActive(); });
        return running;
    };
    EXPECT_TRUE(runningTimers().isEmpty());
    emit panel->ForwardButton()->pressed();
    const QList<QTimer *> held = runningTimers();
    ASSERT_EQ(held.size(), 1);
    EXPECT_EQ(held[0]->interval(), TTavuShortcutPanel::ScrollInterval);
    QMetaObject::invokeMethod(held[0], "timeout");
    EXPECT_EQ(row->x(), -TTavuShortcutPanel::ScrollStep);
    QMetaObject::invokeMethod(held[0], "timeout");
    EXPECT_EQ(row->x(), -2 * TTavuShortcutPanel::ScrollStep);
    emit panel->ForwardButton()->released();
    EXPECT_TRUE(runningTimers().isEmpty());

    bar.SetActiveIndex(1);
    QApplication::processEvents();
    EXPECT_FALSE(bar.Panel(1)->ForwardButton()->isVisible());
    EXPECT_EQ(bar.Panel(1)->ViewingArea()->x(), 4);
}

// ---- the main window ----

// The hint a button shows once the pointer rests on it.
QString AskedHint(QWidget *button)
{
    QHelpEvent ask(QEvent::ToolTip, QPoint(1, 1), button->mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(button, &ask);
    QToolTip::hideText();
    return button->toolTip();
}

TEST(ShortcutBarWindow, BothBarsLoadTheProfileFileAtStartUp)
{
    TWindowEnv env([](TWindowEnv &e) {
        e.WriteProfile(QStringLiteral("shortcut.txt"),
                       Sjis(QStringLiteral("外部\tclBtnFace\t\r\n\t4\tトップ\thttp://example.com/\t\t\r\n"
                                           "\t1\t消えた板\tgone\tnosite\t\r\n")));
        e.config->SHORTCUTBARPOS = 1;
    });
    TVarneloWindow *window = env.Window;
    EXPECT_EQ(Part<TTavuShortcutBar>(window, "ShortcutBar1")->PanelCount(), 0);
    env.Start();
    for (TTavuShortcutBar *bar :
         {Part<TTavuShortcutBar>(window, "ShortcutBar1"), Part<TTavuShortcutBar>(window, "ShortcutBar3")}) {
        ASSERT_EQ(bar->PanelCount(), 1);
        EXPECT_EQ(bar->PopupMenu, Part<QMenu>(window, "ShortcutMenu"));
        const auto &controls = bar->Panel(0)->ToolBar()->Controls();
        ASSERT_EQ(controls.size(), 2);
        EXPECT_EQ(AskedHint(controls[0]), QStringLiteral("http://example.com/"));
        EXPECT_TRUE(AskedHint(controls[1]).isEmpty());   // its site is unknown
    }
    // SHORTCUTBARPOS 1: the bar at the bottom shows.
    EXPECT_FALSE(Part<TTavuShortcutBar>(window, "ShortcutBar1")->parentWidget()->isVisibleTo(window));
    EXPECT_TRUE(Part<TTavuShortcutBar>(window, "ShortcutBar3")->parentWidget()->isVisibleTo(window));
}

// A thread shortcut's hint is the title its .inf holds when the hint is asked for; a title changed
// after start-up shows at the next hint.
TEST(ShortcutBarWindow, AThreadShortcutHintsTheTitleItsLogHoldsNow)
{
    TWindowEnv env([](TWindowEnv &e) {
        e.WriteProfile(QStringLiteral("bbs.txt"), "2ch\r\n");
        e.WriteProfile(QStringLiteral("shortcut.txt"),
                       Sjis(QStringLiteral("スレ\tclBtnFace\t\r\n\t2\tスレ\t1234567890\tnews\t2ch\r\n")));
    });
    env.Start();
    const auto &controls = Part<TTavuShortcutBar>(env.Window, "ShortcutBar1")->Panel(0)->ToolBar()->Controls();
    ASSERT_EQ(controls.size(), 1);
    EXPECT_TRUE(controls[0]->toolTip().isEmpty());   // nothing is read before the hint is asked for

    auto *item = new TThreadItem;
    const auto release = qScopeGuard([item] { item->Release(); });
    ASSERT_TRUE(item->SetLocation(QStringLiteral("2ch"), QStringLiteral("news"), QStringLiteral("1234567890"),
                                  QString()));
    auto storeTitle = [item](const QString &title) {
        TIniFile inf(item->GetInfFile());
        inf.WriteString(QStringLiteral("LOG"), QStringLiteral("TITLE"), title);
        inf.UpdateFile();
    };
    storeTitle(QStringLiteral("最初の題 &amp; 続き"));
    const QString hint = AskedHint(controls[0]);
    EXPECT_TRUE(hint.startsWith(QStringLiteral("最初の題 & 続き／"))) << qPrintable(hint);
    EXPECT_TRUE(hint.contains(QStringLiteral("＠"))) << qPrintable(hint);   // the board and its site follow
    storeTitle(QStringLiteral("次の題"));
    EXPECT_TRUE(AskedHint(controls[0]).startsWith(QStringLiteral("次の題／")));
}

// A right click on either bar opens its menu, which holds the bar's editor.
TEST(ShortcutBarWindow, TheBarsMenuOpensTheShortcutBarEditor)
{
    TWindowEnv env;
    env.Start();
    env.Window->show();
    QStringList shown;
    Dialogs::TScopedDialogHandlers answer(nullptr, [&](QDialog &dialog) {
        shown << QString::fromLatin1(dialog.metaObject()->className());
        return int(QDialog::Rejected);
    });
    TTavuShortcutBar *bar = Part<TTavuShortcutBar>(env.Window, "ShortcutBar1");
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), bar->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(bar, &click);
    QMenu *menu = Part<QMenu>(env.Window, "ShortcutMenu");
    ASSERT_TRUE(TWindowEnv::WaitUntil([menu] { return menu->isVisible(); }));
    const QList<QAction *> items = menu->actions();
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items[0], env.Window->Action(QStringLiteral("actShortcutEdit")));
    EXPECT_TRUE(items[0]->isEnabled());
    menu->hide();
    items[0]->trigger();
    EXPECT_EQ(shown, QStringList{QStringLiteral("TShortcutEditor")});
}
