// The main window's two shortcut bars: where they stand, loading shortcut.txt, the hints of their
// buttons and what a click on a button does.

#include "mainwindow/VarneloWindow.h"
#include "mainwindow/WindowTabs.h"

#include "controls/KpwBoardTree.h"
#include "controls/ShortcutBar.h"
#include "controls/ShortcutData.h"
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
#include "services/KpwUrl.h"

#include <QCursor>
#include <QDesktopServices>
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

// A board of the bar's menus: its tab comes forward when it is open, else it is selected in the
// board tree and its thread list opened.
void OpenShortcutBoard(TVarneloWindow &window, TBoard *board)
{
    TTavuListDoc *doc = nullptr;
    if (Kpwfunc::FindBoardTab(window, board, doc)) {
        doc->Activate();
        return;
    }
    Kpwfunc::JumpToBoardInTree(window, board);
    window.StartThreadListDownload(board, false, false);
}

}  // namespace

// The bars' menu holds the shortcut-bar commands.
void TVarneloWindow::CreateShortcutBars()
{
    for (QAction *action : ActionList1->Actions()) {
        if (TActionList::CategoryOf(action) == QStringLiteral("ショートカットバー"))
            ShortcutMenu->addAction(action);
    }
    auto band = [this](const char *name, TTavuShortcutBar *&bar) {
        auto *toolBar = new QToolBar(QStringLiteral("ショートカットバー"), this);
        toolBar->setObjectName(QString::fromUtf8(name));
        bar = new TTavuShortcutBar(toolBar);
        bar->PopupMenu = ShortcutMenu;
        bar->OnShortcutClick = [this](TTavuShortcutToolButton *button) { ShortcutClick(button); };
        bar->OnShortcutCreated = [this](TTavuShortcutToolButton *button) { ShortcutCreated(button); };
        bar->setFixedHeight(qMax(MainActToolBar->sizeHint().height(), TTavuShortcutBar::BarHeight));
        bar->setMinimumWidth(200);
        toolBar->addWidget(bar);
        return toolBar;
    };
    ShortcutBand1 = band("ShortcutBand1", ShortcutBar1);
    ShortcutBand3 = band("ShortcutBand3", ShortcutBar3);
    insertToolBar(AppActToolBar, ShortcutBand1);
    addToolBar(Qt::BottomToolBarArea, ShortcutBand3);
    ApplyShortcutBarPosition();
}

void TVarneloWindow::ApplyShortcutBarPosition()
{
    const bool bottom = TavuConfig->SHORTCUTBARPOS == 1;
    ShortcutBand1->setVisible(!bottom);
    ShortcutBand3->setVisible(bottom);
}

void TVarneloWindow::LoadShortcutBars()
{
    const QString file = Kpwfunc::ShortcutFileName();
    ShortcutBar1->LoadFromFile(file);
    ShortcutBar3->LoadFromFile(file);
}

void TVarneloWindow::ShortcutCreated(TTavuShortcutToolButton *button)
{
    button->setToolTip(ShortcutHint(*button));
}

void TVarneloWindow::ShortcutClick(TTavuShortcutToolButton *button)
{
    switch (button->Kind) {
    case skBoard:
        if (TBoard *board = BoardOf(button->Param2, button->Param1)) {
            Kpwfunc::JumpToBoardInTree(*this, board);
            StartThreadListDownload(board, false, false);
        }
        break;
    case skThread: {
        auto *item = new TThreadItem;
        if (item->SetLocation(button->Param3, button->Param2, button->Param1, button->Text())) {
            item->DownloadRequest = true;
            OpenThread(item, false, false, true, 0, false, QString());
        }
        item->Release();
        break;
    }
    case skApplication: {
        QStringList arguments;
        TTavuBrowser *tab = nullptr;
        if (button->Param2 == QLatin1String("%url") && GetActiveBrowser(tab) && !tab->URL.isEmpty())
            arguments.append(tab->URL);
        if (!QProcess::startDetached(button->Param1, arguments))
            QDesktopServices::openUrl(QUrl::fromLocalFile(button->Param1));
        break;
    }
    case skWebPage:
        Kpwfunc::OpenUrl(*this, button->Param1, button->Param2);
        break;
    case skCategory:
        if (TSite *site = SiteOf(button->Param2)) {
            QMenu menu;
            for (int i = 0; i < site->Boards->Count(); ++i) {
                TBoard *board = site->Boards->Get(i);
                if (board->Category == button->Param1)
                    menu.addAction(board->Name, this, [this, board] { OpenShortcutBoard(*this, board); });
            }
            if (!menu.isEmpty())
                menu.exec(button->mapToGlobal(QPoint(0, button->height())));
        }
        break;
    default:
        break;
    }
}
