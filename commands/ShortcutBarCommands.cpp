#include "commands/ShortcutBarCommands.h"

#include "controls/ActionCatalogue.h"
#include "controls/MainMenus.h"
#include "controls/ShortcutBar.h"
#include "controls/ShortcutData.h"
#include "controls/WindowServices.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/IniFile.h"
#include "core/MonaUtils.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/ThreadItem.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"

#include <QAction>
#include <QDesktopServices>
#include <QEvent>
#include <QMainWindow>
#include <QMenu>
#include <QProcess>
#include <QToolBar>
#include <QUrl>

namespace {

TSite *SiteOf(const QString &siteId)
{
    return TavuEnviron->SiteList()->FindBySiteID(siteId);
}

TBoard *BoardOf(const QString &siteId, const QString &boardId)
{
    TSite *site = SiteOf(siteId);
    return site ? site->Boards->FindByID(boardId) : nullptr;
}

QString BoardHint(const TBoard &board)
{
    return board.Name + QStringLiteral("＠") + board.Site->NAME + QLatin1Char('\n') + board.URL;
}

// The title the thread's .inf keeps (section LOG, key TITLE).
QString StoredThreadTitle(TBoard *board, const QString &key)
{
    auto *item = new TThreadItem;
    QString title;
    if (item->SetLocation(board->Site->SITEID, board->ID, key, QString()))
        title = TIniFile(item->GetInfFile()).ReadString(QStringLiteral("LOG"), QStringLiteral("TITLE"));
    item->Release();
    return title;
}

QString ShortcutHint(const TTavuShortcutToolButton &button)
{
    switch (button.Kind) {
    case skBoard:
        if (TBoard *board = BoardOf(button.Param2, button.Param1))
            return BoardHint(*board);
        return QString();
    case skThread:
        if (TBoard *board = BoardOf(button.Param3, button.Param2))
            return MonaUtils::DecodeEntities(StoredThreadTitle(board, button.Param1)) + QStringLiteral("／")
                   + BoardHint(*board);
        return QString();
    case skCategory:
        if (TSite *site = SiteOf(button.Param2))
            return button.Param1 + QStringLiteral("＠") + site->NAME;
        return QString();
    case skApplication:
    case skWebPage:
        return button.Param1;
    default:
        return QString();
    }
}

}  // namespace

TShortcutBarCommands::TShortcutBarCommands(TWindowServices &services, QMainWindow *window, const TMainBars &bars,
                                           QMenu *popupMenu)
    : QObject(window), services(services)
{
    for (QAction *action : services.Frame().WindowActions()) {
        if (TActionList::CategoryOf(action) == QStringLiteral("ショートカットバー"))
            popupMenu->addAction(action);
    }
    const int height = qMax(bars.MainActToolBar->sizeHint().height(), TTavuShortcutBar::BarHeight);
    ShortcutBand1 = NewBand(window, "ShortcutBand1", height, popupMenu, ShortcutBar1);
    ShortcutBand3 = NewBand(window, "ShortcutBand3", height, popupMenu, ShortcutBar3);
    window->insertToolBar(bars.AppActToolBar, ShortcutBand1);
    window->addToolBar(Qt::BottomToolBarArea, ShortcutBand3);
    ApplyShortcutBarPosition();
}

QToolBar *TShortcutBarCommands::NewBand(QMainWindow *window, const char *name, int height, QMenu *popupMenu,
                                        TTavuShortcutBar *&bar)
{
    auto *band = new QToolBar(QStringLiteral("ショートカットバー"), window);
    band->setObjectName(QString::fromUtf8(name));
    bar = new TTavuShortcutBar(band);
    bar->PopupMenu = popupMenu;
    bar->OnShortcutClick = [this](TTavuShortcutToolButton *button) { ShortcutClick(button); };
    bar->OnShortcutCreated = [this](TTavuShortcutToolButton *button) { ShortcutCreated(button); };
    bar->setFixedHeight(height);
    bar->setMinimumWidth(200);
    band->addWidget(bar);
    return band;
}

void TShortcutBarCommands::ApplyShortcutBarPosition()
{
    const bool bottom = TavuConfig->SHORTCUTBARPOS == 1;
    ShortcutBand1->setVisible(!bottom);
    ShortcutBand3->setVisible(bottom);
}

void TShortcutBarCommands::LoadShortcutBars()
{
    const QString file = ShortcutData::ShortcutFileName();
    ShortcutBar1->LoadFromFile(file);
    ShortcutBar3->LoadFromFile(file);
}

void TShortcutBarCommands::ShortcutCreated(TTavuShortcutToolButton *button)
{
    button->installEventFilter(this);
}

// A button's hint is made as it is about to show, from what the shortcut names then.
bool TShortcutBarCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        if (auto *button = qobject_cast<TTavuShortcutToolButton *>(watched))
            button->setToolTip(ShortcutHint(*button));
    }
    return QObject::eventFilter(watched, event);
}

void TShortcutBarCommands::ShortcutClick(TTavuShortcutToolButton *button)
{
    switch (button->Kind) {
    case skBoard:
        if (TBoard *board = BoardOf(button->Param2, button->Param1)) {
            services.BoardTree().JumpToBoardInTree(board);
            services.Reading().OpenBoard(board, false);
        }
        break;
    case skThread: {
        auto *item = new TThreadItem;
        if (item->SetLocation(button->Param3, button->Param2, button->Param1, button->Text())) {
            item->DownloadRequest = true;
            services.Reading().OpenThread(item, false, false, true, 0);
        }
        item->Release();
        break;
    }
    case skApplication:
        RunApplication(*button);
        break;
    case skWebPage:
        services.Reading().OpenWebPage(button->Param1, button->Param2);
        break;
    case skCategory:
        OpenCategoryMenu(button);
        break;
    default:
        break;
    }
}

// "%url" as the parameter hands the program the page of the current browser tab.
void TShortcutBarCommands::RunApplication(const TTavuShortcutToolButton &button)
{
    QStringList arguments;
    const TTavuBrowser *tab = services.Tabs().CurrentBrowser();
    if (button.Param2 == QLatin1String("%url") && tab && !tab->URL.isEmpty())
        arguments.append(tab->URL);
    if (!QProcess::startDetached(button.Param1, arguments))
        QDesktopServices::openUrl(QUrl::fromLocalFile(button.Param1));
}

// The boards of the site's category, as a menu under the button.
void TShortcutBarCommands::OpenCategoryMenu(TTavuShortcutToolButton *button)
{
    TSite *site = SiteOf(button->Param2);
    if (!site)
        return;
    QMenu menu;
    for (int i = 0; i < site->Boards->Count(); ++i) {
        TBoard *board = site->Boards->Get(i);
        if (board->Category == button->Param1)
            menu.addAction(board->Name, this, [this, board] { OpenBoard(board); });
    }
    if (!menu.isEmpty())
        menu.exec(button->mapToGlobal(QPoint(0, button->height())));
}

// A board of the bar's menus: its tab comes forward when it is open, else it is selected in the
// board tree and its thread list opened.
void TShortcutBarCommands::OpenBoard(TBoard *board)
{
    if (TTavuListDoc *doc = services.Tabs().BoardTab(board)) {
        doc->Activate();
        return;
    }
    services.BoardTree().JumpToBoardInTree(board);
    services.Reading().OpenBoard(board, false);
}
