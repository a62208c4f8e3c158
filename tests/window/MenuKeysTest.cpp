// Access keys of the main window's menus (no key twice in one menu, the actions keeping their own
// captions), of the dialogs' labels and lists, and Qt's own texts in Japanese.

#include "WindowParts.h"
#include "WindowTestEnv.h"

#include "controls/Dialogs.h"
#include "controls/MenuAccessKeys.h"
#include "mainwindow/QtTranslations.h"
#include "settings/ExportDialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace {

// Opens the menu as the user does (its refreshes run), checks its keys and those of its submenus,
// and closes it again.
void ExpectUniqueKeys(QMenu *menu, const QString &path, int &menusSeen)
{
    ++menusSeen;
    emit menu->aboutToShow();
    QHash<QChar, QString> owners;
    QList<QMenu *> submenus;
    for (QAction *item : menu->actions()) {
        if (!item->isVisible() || item->isSeparator())
            continue;
        if (item->menu())
            submenus << item->menu();
        const QChar key = MenuAccessKeys::AccessKeyOf(item->text());
        if (key.isNull())
            continue;
        EXPECT_FALSE(owners.contains(key)) << path.toStdString() << ": (" << QString(key).toStdString() << ") "
                                           << owners.value(key).toStdString() << " / " << item->text().toStdString();
        owners.insert(key, item->text());
    }
    emit menu->aboutToHide();
    for (QMenu *submenu : submenus)
        ExpectUniqueKeys(submenu, path + QLatin1Char('/') + submenu->title(), menusSeen);
}

}  // namespace

TEST(MenuKeys, NoMenuOfTheWindowUsesAnAccessKeyTwice)
{
    TWindowEnv env;
    env.Start();
    TVarneloWindow *window = env.Window;
    QAction *update = window->Action(QStringLiteral("actBoardListUpdate"));
    const QString ownCaption = update->text();

    int menusSeen = 0;
    for (QAction *top : Part<QMenu>(window, "MainMenu1")->actions()) {
        if (top->menu())
            ExpectUniqueKeys(top->menu(), top->text(), menusSeen);
    }
    for (QMenu *popup :
         {Part<QMenu>(window, "BoardListPopup"), Part<QMenu>(window, "ThreadListPopup"),
          Part<QMenu>(window, "ThreadItemPopup"), Part<QMenu>(window, "BrowserPopup"), Part<QMenu>(window, "ResPopup"),
          Part<QMenu>(window, "ShortcutMenu"), Part<QMenu>(window, "BookmarkMenu")})
        ExpectUniqueKeys(popup, popup->objectName(), menusSeen);
    EXPECT_GE(menusSeen, 17);
    // The actions keep their captions once the menus are closed.
    EXPECT_EQ(update->text(), ownCaption);
    EXPECT_EQ(window->Action(QStringLiteral("actBoardCopyUrl"))->text(), QStringLiteral("URLをコピー(&U)"));
}

namespace {

// The captions the menu shows while open.
QStringList ShownCaptions(QMenu *menu)
{
    emit menu->aboutToShow();
    QStringList captions;
    for (QAction *item : menu->actions()) {
        if (item->isVisible() && !item->isSeparator())
            captions << item->text();
    }
    emit menu->aboutToHide();
    return captions;
}

}  // namespace

// The commands whose captions carry no key of their own show one, as their neighbours do: the feed
// wizard of the File menu, the option entry of the board-list menu and the image catalog's menu.
TEST(MenuKeys, CommandsWithoutAKeyOfTheirOwnShowOne)
{
    TWindowEnv env;
    env.Start();
    TVarneloWindow *window = env.Window;
    const QStringList file = ShownCaptions(Part<QMenu>(window, "File1"));
    EXPECT_EQ(file.filter(QStringLiteral("RSSの登録ウィザード(&")).size(), 1) << file.join(u'|').toStdString();
    const QStringList boards = ShownCaptions(Part<QMenu>(window, "BoardListPopup"));
    EXPECT_EQ(boards.filter(QStringLiteral("設定オプション(&")).size(), 1) << boards.join(u'|').toStdString();
    EXPECT_EQ(window->Action(QStringLiteral("actRSSWizard"))->text(), QStringLiteral("RSSの登録ウィザード..."));

    QMenu *images = window->findChild<QMenu *>(QStringLiteral("ImagePopup"));
    ASSERT_NE(images, nullptr);
    const QStringList catalog = ShownCaptions(images);
    ASSERT_EQ(catalog.size(), 7);
    for (const QString &caption : catalog)
        EXPECT_FALSE(MenuAccessKeys::AccessKeyOf(caption).isNull()) << caption.toStdString();
    EXPECT_EQ(ShownCaptions(images), catalog);
}

TEST(MenuKeys, ALaterItemTakesAFreeKeyInItsOwnStyle)
{
    const QStringList captions = {QStringLiteral("リロード(&R)"),      QStringLiteral("ログの再取得(&R)"),
                                  QStringLiteral("URLをコピー(&U)"),   QStringLiteral("ボード一覧の更新(&U)..."),
                                  QStringLiteral("ヴァルネロ &1.0 風味"), QStringLiteral("一行AAエディタ(&1)..."),
                                  QStringLiteral("A&&B &Save"),        QStringLiteral("&Quit"),
                                  QStringLiteral("キーなし")};
    EXPECT_EQ(MenuAccessKeys::UniqueAccessKeys(captions),
              QStringList({QStringLiteral("リロード(&R)"), QStringLiteral("ログの再取得(&A)"),
                           QStringLiteral("URLをコピー(&U)"), QStringLiteral("ボード一覧の更新(&B)..."),
                           QStringLiteral("ヴァルネロ &1.0 風味"), QStringLiteral("一行AAエディタ(&C)..."),
                           QStringLiteral("A&&B &Save"), QStringLiteral("&Quit"), QStringLiteral("キーなし")}));
    EXPECT_EQ(MenuAccessKeys::UniqueAccessKeys({QStringLiteral("&Save"), QStringLiteral("&Send")}),
              QStringList({QStringLiteral("&Save"), QStringLiteral("S&end")}));
}

// In a menu of commands a caption without a key takes a free one in the Japanese style, its own
// letters first; a menu listing names leaves them as they are.
TEST(MenuKeys, ACommandWithoutAKeyTakesAFreeOne)
{
    const QStringList captions = {QStringLiteral("設定オプション..."), QStringLiteral("RSSの登録ウィザード..."),
                                  QStringLiteral("リロード(&R)"), QStringLiteral("最大")};
    EXPECT_EQ(MenuAccessKeys::UniqueAccessKeys(captions, MenuAccessKeys::TKeyless::GiveKey),
              QStringList({QStringLiteral("設定オプション(&A)..."), QStringLiteral("RSSの登録ウィザード(&S)..."),
                           QStringLiteral("リロード(&R)"), QStringLiteral("最大(&B)")}));
    EXPECT_EQ(MenuAccessKeys::UniqueAccessKeys(captions, MenuAccessKeys::TKeyless::Keep), captions);
}

namespace {

// Every label with an access key leads to a control that takes the focus, and no list row shows an
// access-key mark: a caption shown as plain text has its "&" taken out.
void ExpectCaptionsShownAsText(const QWidget &dialog, int &labelsWithKeys, int &rowsSeen)
{
    const QString name = QString::fromLatin1(dialog.metaObject()->className());
    for (const QLabel *label : dialog.findChildren<QLabel *>()) {
        if (MenuAccessKeys::AccessKeyOf(label->text()).isNull())
            continue;
        ++labelsWithKeys;
        EXPECT_TRUE(label->buddy() && label->buddy()->focusPolicy() != Qt::NoFocus)
            << name.toStdString() << ": " << label->text().toStdString();
    }
    auto expectPlain = [&](const QString &text) {
        ++rowsSeen;
        EXPECT_TRUE(MenuAccessKeys::AccessKeyOf(text).isNull()) << name.toStdString() << ": " << text.toStdString();
    };
    for (const QTreeWidget *tree : dialog.findChildren<QTreeWidget *>()) {
        for (QTreeWidgetItemIterator row(const_cast<QTreeWidget *>(tree)); *row; ++row) {
            for (int column = 0; column < tree->columnCount(); ++column)
                expectPlain((*row)->text(column));
        }
    }
    for (const QListWidget *list : dialog.findChildren<QListWidget *>()) {
        for (int i = 0; i < list->count(); ++i)
            expectPlain(list->item(i)->text());
    }
}

}  // namespace

TEST(MenuKeys, LabelsAndListsShowCaptionsAsText)
{
    TWindowEnv env;
    env.Start();
    int labelsWithKeys = 0, rowsSeen = 0;
    QStringList shown;
    Dialogs::TScopedDialogHandlers answer(nullptr, [&](QDialog &dialog) {
        shown << QString::fromLatin1(dialog.metaObject()->className());
        ExpectCaptionsShownAsText(dialog, labelsWithKeys, rowsSeen);
        return int(QDialog::Rejected);
    });
    for (const char *command : {"actFindLog", "actToolKeyBind", "actToolToolConfig", "actToolCustomizeToolBar",
                                "actToolCustomizePopupMenu", "actToolBasicAuthor", "actBoardListUpdate", "actOption"})
        env.Window->Action(QString::fromLatin1(command))->trigger();
    TExportDialog exportDialog;
    ExpectCaptionsShownAsText(exportDialog, labelsWithKeys, rowsSeen);

    EXPECT_EQ(shown.size(), 8) << shown.join(u' ').toStdString();
    EXPECT_GE(labelsWithKeys, 7);
    EXPECT_GT(rowsSeen, 300);   // the action lists of the key bindings, tool bars and menus
}

TEST(QtTexts, QtsOwnTextsAreJapanese)
{
    ASSERT_TRUE(QtTranslations::InstallQtTranslations()) << "Qt's Japanese translations are not installed";
    QMessageBox box(QMessageBox::Warning, QString(), QStringLiteral("編集中です。閉じてもよかですか？"),
                    QMessageBox::Yes | QMessageBox::No);
    EXPECT_FALSE(box.button(QMessageBox::Yes)->text().contains(QLatin1String("Yes")));
    EXPECT_FALSE(box.button(QMessageBox::No)->text().contains(QLatin1String("No")));
    // The context menu of every text field.
    QLineEdit field;
    std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
    QStringList texts;
    for (QAction *item : menu->actions())
        texts << item->text();
    for (const char *english : {"Undo", "Cut", "Copy", "Paste", "Select All"})
        EXPECT_TRUE(texts.filter(QLatin1String(english)).isEmpty()) << texts.join(QLatin1Char('|')).toStdString();
}
