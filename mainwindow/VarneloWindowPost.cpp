// The posting flows run in Posts (flows/PostController.h); the window binds their commands and
// shows what they report.

#include "mainwindow/VarneloWindow.h"

#include "controls/BarsAndMenus.h"
#include "controls/Dialogs.h"
#include "controls/UserFiles.h"
#include "core/Board.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/ThreadItem.h"
#include "flows/PostController.h"
#include "mainwindow/ListPane.h"
#include "mainwindow/VarneloWindowStatusBar.h"
#include "render/TavuBrowser.h"
#include "render/TavuHintWindow.h"
#include "services/Urls.h"
#include "tools/SendDialog.h"

void TVarneloWindow::BindPosting()
{
    Posts = new TPostController(this);
    connect(Posts, &TPostController::Started, this, &TVarneloWindow::BeginBusy);
    connect(Posts, &TPostController::Ended, this, [this](TPostController::TOutcome outcome) {
        EndBusy();
        if (outcome != TPostController::poQuiet)
            EventLog::PlayEventSound(outcome == TPostController::poSent ? EventLog::esSend : EventLog::esError);
    });
    connect(Posts, &TPostController::StatusText, this, &TVarneloWindow::ShowFlowStatus);
    connect(Posts, &TPostController::LogLine, this, [](const QString &text) { EventLog::AddLog(text); });
    connect(Posts, &TPostController::ActionsReleased, this, [this] { SetCommandsEnabled(true); });
    connect(Posts, &TPostController::ActionsHeld, this, [this] { SetCommandsEnabled(false); });
    connect(Posts, &TPostController::PopupHidden, this, [this] {
        if (hintWindow)
            hintWindow->hide();
    });
    connect(Posts, &TPostController::BrowserCommandsChanged, this, &TVarneloWindow::UpdateBrowserMenu);
    connect(Posts, &TPostController::ThreadListCommandsChanged, this, &TVarneloWindow::UpdateThreadListCommands);
    connect(Posts, &TPostController::ReplySent, this, [this](TThreadItem *item) {
        OpenThread(item, true, false, true, 0, true, QString());
        UserFiles::AddHistoryLine(item, TavuConfig->GetProfileDir() + QStringLiteral("sendhist.txt"), false,
                                TavuConfig->SAVEHIST_SEND);
    });
    connect(Posts, &TPostController::NewThreadSent, this,
            [this](TBoard *board) { listPane->StartThreadListDownload(board, true, false); });
    connect(Posts, &TPostController::PageWanted, this,
            [this](const QString &url, const QString &caption) { OpenWebPage(url, caption); });

    const auto writeReply = [this](bool quote) {
        TTavuBrowser *tab = nullptr;
        Posts->actThreadWriteExecute(tabs->GetActiveBrowser(tab) ? tab : nullptr, quote);
    };
    ActionList1->Bind(QStringLiteral("actThreadWrite"), this, [writeReply] { writeReply(false); });
    ActionList1->Bind(QStringLiteral("actThreadWriteRes"), this, [writeReply] { writeReply(true); });
    ActionList1->Bind(QStringLiteral("actThreadListNewThread"), this, [this] {
        TTavuListDoc *doc = nullptr;
        Posts->actThreadListNewThreadExecute(tabs->GetActiveListDoc(doc) ? doc : nullptr);
    });
    ActionList1->Bind(QStringLiteral("actToolHandle"), Posts, &TPostController::actToolHandleExecute);
}

void TVarneloWindow::WriteReply(TTavuBrowser *tab, const QString &text)
{
    if (TavuEnviron->IsOffline()) {
        Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("オフライン状態では実行できません。"));
        return;
    }
    TSendDialog *composer = Posts->ShowSendDialog(tab);
    composer->Tab = tab;
    composer->show();
    composer->SenderBody->appendPlainText(text);
}
