// The posting flows: the reply composer and the new-thread composer raise their send event, the
// window builds the post (TSendData) and its job record and hands it to the board type, and the job's
// callbacks log the outcome, keep the histories and counters, and reopen the thread or reload the
// thread list.
//
// A post that did not go through (offline, refused, an error page, cancelled) brings its composer
// back with the user's text; the histories and the post log record a post only once it was sent.

#include "mainwindow/VarneloWindow.h"

#include "tools/ErrorDialog.h"
#include "tools/HandleDialog.h"
#include "tools/NewThreadDialog.h"
#include "tools/SendDialog.h"

#include "boards/DolibManager.h"
#include "controls/Dialogs.h"
#include "controls/KpwServices.h"
#include "controls/KpwUserFiles.h"
#include "core/BBS.h"
#include "core/Board.h"
#include "core/Exceptions.h"
#include "core/MonaUtils.h"
#include "core/Res.h"
#include "core/ResUploader.h"
#include "core/SendData.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/Tavutils.h"
#include "core/ThreadItem.h"
#include "core/ThreadUploader.h"
#include "mainwindow/VarneloWindowStatusBar.h"
#include "mainwindow/WindowTabs.h"
#include "net/HttpCli.h"
#include "net/HttpSettings.h"
#include "render/TavuBrowser.h"
#include "render/TavuHintWindow.h"
#include "render/TavuListDoc.h"
#include "services/KpwUrl.h"

#include <memory>
#include <QComboBox>
#include <QDateTime>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QUrl>

namespace {

constexpr int FlowStatusPanel = 0;   // StatusBar2
const QString OfflineMessage = QStringLiteral("オフライン状態では実行できません。");

QString BoardTarget(const TBoard *board)
{
    if (!board)
        return QString();
    return board->Name + QStringLiteral("＠") + (board->Site ? board->Site->NAME : QString());
}

// title／board＠site
QString ThreadTarget(const TThreadItem *item, const TBoard *board)
{
    return (item ? item->ShownTitle() : QString()) + QStringLiteral("／") + BoardTarget(board);
}

// The lines of a response's message as the user reads them: tags dropped, entities decoded.
QStringList PlainLines(const QString &body)
{
    static const QRegularExpression br(QStringLiteral("<br\\s*/?>"), QRegularExpression::CaseInsensitiveOption);
    QString text = body;
    text.replace(br, QStringLiteral("\n"));
    text = MonaUtils::HtmlToText(MonaUtils::StripHtmlTags(text));
    return text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
}

bool SameThread(const TThreadItem *a, const TThreadItem *b)
{
    return a && b && a->BoardID == b->BoardID && a->GetKey() == b->GetKey();
}

TSendDialog *ComposerOf(const TResUploader *job)
{
    return qobject_cast<TSendDialog *>(job->Composer.data());
}

// Records a sent post in the composer's histories and post log. The post went through whatever
// happens here: a file that cannot be written is only logged.
void RecordSentPost(TSendDialog *composer)
{
    try {
        composer->SaveHistory();
    } catch (const EVarnelo &e) {
        Kpwfunc::AddLog(e.Message);
    }
}

// The reason of a cancelled post, after its log line.
void LogCancelReason(const QString &message)
{
    if (!message.isEmpty())
        Kpwfunc::AddLog(QStringLiteral("→") + message);
}

}  // namespace

void TVarneloWindow::BindPosting()
{
    ActionList1->Bind(QStringLiteral("actThreadWrite"), this, [this] { actThreadWriteExecute(false); });
    ActionList1->Bind(QStringLiteral("actThreadWriteRes"), this, [this] { actThreadWriteExecute(true); });
    ActionList1->Bind(QStringLiteral("actThreadListNewThread"), this, &TVarneloWindow::actThreadListNewThreadExecute);
    ActionList1->Bind(QStringLiteral("actToolHandle"), this, &TVarneloWindow::actToolHandleExecute);
}

// ---- replies ----

void TVarneloWindow::actThreadWriteExecute(bool quote)
{
    if (HintWindow)
        HintWindow->hide();
    if (TavuEnviron->IsOffline()) {
        Kpwfunc::ShowMessage(Kpwfunc::mkError, OfflineMessage);
        return;
    }
    TTavuBrowser *tab = nullptr;
    if (!GetActiveBrowser(tab) || !tab->ThreadItem())
        return;
    TSendDialog *composer = ShowSendDialog(tab);
    composer->Tab = tab;
    composer->show();
    const QString mark = TavuConfig->RESCHAR;
    for (const TRes *res : tab->GetCheckedResList()) {
        QStringList block;
        block << mark + QString::number(res->Number);
        if (quote) {
            for (const QString &line : PlainLines(res->Body))
                block << mark + line;
        }
        block << QStringLiteral(" ");
        composer->SenderBody->appendPlainText(block.join(QLatin1Char('\n')));
    }
}

TSendDialog *TVarneloWindow::ShowSendDialog(TTavuBrowser *tab)
{
    auto *composer = new TSendDialog(this);
    composer->OnSend = [this](TSendDialog *sender) { StartPost(sender); };
    composer->OnClose = [this](TSendDialog *) { SetCommandsEnabled(true); };
    composer->SwitchWindowCommands = [this](bool enabled) { SetCommandsEnabled(enabled); };
    TThreadItem *item = tab->ThreadItem();
    composer->SetThread(item);
    TBoard *board = tab->GetBoard();
    if (board && board->BBS)
        composer->ReadUrl = board->BBS->GetReadUrl(item);
    return composer;
}

void TVarneloWindow::FillSendData(TSendData &data, TSendDialog *composer, TBoard *board, const QString &key) const
{
    data.ReadUrl = composer->ReadUrl;
    data.Name = composer->SenderName->currentText();
    data.Mail = composer->SenderMail->currentText();
    data.Body = composer->SenderBody->toPlainText().split(QLatin1Char('\n')).join(QStringLiteral("\r\n"));
    data.Sage = composer->GetSage();
    data.Pre = composer->GetPre();
    data.Touhaba = composer->GetTouhaba();
    data.BBS = board ? board->BBSName : QString();
    data.Key = key;
    data.Board = board;
}

void TVarneloWindow::BeginPostFlow(const QString &startLine, const QString &target)
{
    BeginBusy();
    Kpwfunc::AddLog(QString());
    Kpwfunc::AddLog(startLine + target);
    StatusBar2->SetText(FlowStatusPanel, QStringLiteral("書き込み中：") + target);
}

void TVarneloWindow::StartPost(TSendDialog *composer)
{
    SetCommandsEnabled(true);
    if (TavuEnviron->IsOffline()) {
        Kpwfunc::ShowMessage(Kpwfunc::mkError, OfflineMessage);
        composer->ShowAgain();
        return;
    }
    TThreadItem *item = composer->ThreadItem();
    TBoard *board = composer->Board();
    BeginPostFlow(QStringLiteral("▽書き込み開始 →"), ThreadTarget(item, board));

    auto *job = new TResUploader(item);
    job->BBS = item->BBS;
    job->Site = item->Site;
    job->Board = board;
    job->Composer = composer;
    job->CodePage = board ? board->CodePage : 0;
    FillSendData(*job->Data, composer, board, item->GetKey());
    job->OnDone = [this](TResUploader *j, bool failed) { OnPostDone(j, failed); };
    job->OnError = [this](TResUploader *j, int code, const QString &message, const QString &page) {
        OnPostError(j, code, message, page);
    };
    job->OnCancel = [this](TResUploader *j, const QString &message) { OnPostCancel(j, message); };

    TTavuBrowser *tab = composer->Tab;
    if (tab && SameThread(tab->ThreadItem(), item)) {
        tab->DownloadState = TTavuBrowser::dsDownloading;
        tab->UpdateTabImage();
        UpdateBrowserMenu();
    }
    if (!item->BBS) {
        OnPostCancel(job, QString());
        return;
    }
    item->BBS->PostRes(job);
}

// The end of every post: the job freed, the busy state ended, the flow's status cleared and the
// event sound played (none for a negative sound).
void TVarneloWindow::EndPostFlow(TResUploader *job, int sound)
{
    StatusBar2->SetText(FlowStatusPanel, QString());
    delete job;
    EndBusy();
    if (sound >= 0)
        Kpwfunc::PlayEventSound(sound);
}


// A failed reply: the tab idle again and the composer back with its text.
void TVarneloWindow::RestoreReplyTab(TSendDialog *composer)
{
    if (!composer)
        return;
    TTavuBrowser *tab = composer->Tab;
    if (tab && SameThread(tab->ThreadItem(), composer->ThreadItem())) {
        tab->DownloadState = TTavuBrowser::dsIdle;
        tab->Activate();
        tab->UpdateTabImage();
        UpdateBrowserMenu();
    }
    composer->ShowAgain();
}

void TVarneloWindow::OnPostDone(TResUploader *job, bool failed)
{
    SetCommandsEnabled(true);
    TSendDialog *composer = ComposerOf(job);
    TThreadItem *item = job->Item();
    const QString target = ThreadTarget(item, job->Board);
    if (failed) {
        Kpwfunc::AddLog(QStringLiteral("△書き込み失敗 →") + target);
        RestoreReplyTab(composer);
        EndPostFlow(job, Kpwfunc::esError);
        return;
    }
    Kpwfunc::AddLog(QStringLiteral("△書き込み完了 →") + target);
    item->LAST_SENT = QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"));
    item->SEND_COUNT += 1;
    item->SaveInfo();
    TTavuBrowser *tab = composer ? composer->Tab.data() : nullptr;
    if (tab && SameThread(tab->ThreadItem(), item)) {
        tab->DownloadState = TTavuBrowser::dsIdle;
        tab->Activate();
        item->TOP = tab->GetTopResNumber();
    }
    if (composer)
        RecordSentPost(composer);
    item->DownloadRequest = true;
    OpenThread(item, true, false, true, 0, true, QString());
    TavuConfig->SetSendCount(TavuConfig->VOZADAZOZ_SEND_COUNT + 1);
    Kpwfunc::AddHistoryLine(item, TavuConfig->GetProfileDir() + QStringLiteral("sendhist.txt"), false,
                            TavuConfig->SAVEHIST_SEND);
    if (composer)
        composer->close();
    EndPostFlow(job, Kpwfunc::esSend);
}

void TVarneloWindow::OnPostError(TResUploader *job, int code, const QString &message, const QString &pageText)
{
    if (HintWindow)
        HintWindow->hide();
    ShowErrorPage(pageText);
    Kpwfunc::AddLog(QStringLiteral("△書き込みエラー →") + ThreadTarget(job->Item(), job->Board));
    Kpwfunc::AddLog(QStringLiteral("→") + QString::number(code) + QLatin1Char(':') + message);
    RestoreReplyTab(ComposerOf(job));
    EndPostFlow(job, Kpwfunc::esError);
}

void TVarneloWindow::OnPostCancel(TResUploader *job, const QString &message)
{
    Kpwfunc::AddLog(QStringLiteral("△書き込みエラー →") + ThreadTarget(job->Item(), job->Board));
    LogCancelReason(message);
    RestoreReplyTab(ComposerOf(job));
    EndPostFlow(job, Kpwfunc::esError);
}

void TVarneloWindow::ShowErrorPage(const QString &pageText)
{
    TErrorDialog dialog(this);
    if (dialog.ShowPage(pageText))
        Kpwfunc::ExecDialog(dialog);
}

// ---- new threads ----

void TVarneloWindow::actThreadListNewThreadExecute()
{
    if (HintWindow)
        HintWindow->hide();
    if (TavuEnviron->IsOffline()) {
        Kpwfunc::ShowMessage(Kpwfunc::mkError, OfflineMessage);
        return;
    }
    TTavuListDoc *doc = nullptr;
    if (!GetActiveListDoc(doc) || !doc->GetBoard())
        return;
    TBoard *board = doc->GetBoard();
    const bool pastLogService = board->BBS && board->BBS->ID == QStringLiteral("dolibscript");
    if (pastLogService && !(DolibManager && DolibManager->IsLoggedIn())) {
        // Yes shows the site of the past-log account, where the ID is bought.
        if (Kpwfunc::AskYesNo(QStringLiteral("ID購入ユーザーのみ利用可能なコマンドです。\nIDに関する情報サイトをロードしますか？"))) {
            const QString login = DolibManager ? DolibManager->LoginUrl : TDolibManager::DefaultLoginUrl();
            Kpwfunc::OpenUrl(*this, QUrl(login).resolved(QUrl(QStringLiteral("/"))).toString(), QStringLiteral("ID情報"));
        }
        return;
    }

    auto *composer = new TNewThreadDialog(this);
    composer->SetBoard(board);
    composer->OnSend = [this](TSendDialog *sender) { StartNewThread(sender); };
    composer->OnClose = [this](TSendDialog *) { SetCommandsEnabled(true); };
    composer->SwitchWindowCommands = [this](bool enabled) { SetCommandsEnabled(enabled); };
    composer->BoardUrl = board->URL;
    composer->Doc = doc;
    composer->setWindowTitle(board->Name + QStringLiteral("-") + composer->windowTitle());

    if (board->Site && board->Site->SITEID == QStringLiteral("2ch"))
        PrefetchBoardPage(composer, board);
    else
        composer->show();
}

// The board's page helps the 2ch board type write a new thread. It is fetched while the window
// goes on; the composer shows once the fetch has ended, without the page when it failed (the new
// thread is then written without it).
void TVarneloWindow::PrefetchBoardPage(TNewThreadDialog *composer, TBoard *board)
{
    BeginBusy();
    auto *http = new THttpCli(composer);
    UseConfiguredProxy(*http);
    UseLimits(*http, TRequestKind::Page);
    http->URL = board->URL;
    auto page = std::make_shared<QByteArray>();
    connect(http, &THttpCli::OnDocData, composer, [page](THttpCli *, const QByteArray &data) { *page += data; });
    const int codePage = board->CodePage;
    connect(http, &THttpCli::OnRequestDone, composer, [this, http, composer, page, codePage](THttpCli *, bool failed) {
        if (!failed && http->StatusCode() < 400)
            composer->PrefetchedText = Tavutils::ConvertToSjis(codePage, *page);
        http->deleteLater();
        EndBusy();
        composer->show();
    });
    http->GetASync();
}

void TVarneloWindow::StartNewThread(TSendDialog *sender)
{
    SetCommandsEnabled(true);
    auto *composer = static_cast<TNewThreadDialog *>(sender);
    if (TavuEnviron->IsOffline()) {
        Kpwfunc::ShowMessage(Kpwfunc::mkError, OfflineMessage);
        composer->ShowAgain();
        return;
    }
    TBoard *board = composer->Board();
    BeginPostFlow(QStringLiteral("▽スレたて開始 →"), BoardTarget(board));

    auto *job = new TThreadUploader;
    job->BBS = board->BBS;
    job->Site = board->Site;
    job->Board = board;
    job->Composer = composer;
    job->CodePage = board->CodePage;
    FillSendData(*job->Data, composer, board, QString());
    job->Data->ReadUrl = composer->BoardUrl;
    job->Data->Subject = composer->Title->text();
    job->Data->Password = composer->Password->isEnabled() ? composer->Password->currentText() : QString();
    job->PrefetchedText = composer->PrefetchedText;
    job->Doc = composer->Doc;
    job->OnDone = [this](TResUploader *j, bool failed) { OnNewThreadDone(j, failed); };
    job->OnError = [this](TResUploader *j, int code, const QString &message, const QString &page) {
        OnNewThreadError(j, code, message, page);
    };
    job->OnCancel = [this](TResUploader *j, const QString &message) { OnNewThreadCancel(j, message); };

    if (auto *doc = qobject_cast<TTavuListDoc *>(composer->Doc.data())) {
        doc->DownloadState = TTavuListDoc::dsDownloading;
        doc->UpdateTabImage();
    }
    if (!board->BBS) {
        OnNewThreadCancel(job, QString());
        return;
    }
    board->BBS->PostNewThread(job);
}

// A new thread that did not go through: the document idle again and the composer back.
void TVarneloWindow::RestoreNewThreadDoc(TResUploader *job)
{
    if (auto *doc = qobject_cast<TTavuListDoc *>(static_cast<TThreadUploader *>(job)->Doc.data())) {
        doc->DownloadState = TTavuListDoc::dsIdle;
        doc->Activate();
        doc->UpdateTabImage();
        UpdateThreadListMenu();
    }
    if (TSendDialog *composer = ComposerOf(job))
        composer->ShowAgain();
}

void TVarneloWindow::OnNewThreadDone(TResUploader *job, bool failed)
{
    SetCommandsEnabled(true);
    const QString target = BoardTarget(job->Board);
    if (failed) {
        Kpwfunc::AddLog(QStringLiteral("△スレたてエラー →") + target);
        RestoreNewThreadDoc(job);
        EndPostFlow(job, Kpwfunc::esError);
        return;
    }
    Kpwfunc::AddLog(QStringLiteral("△新スレ完了 →") + target);
    if (auto *doc = qobject_cast<TTavuListDoc *>(static_cast<TThreadUploader *>(job)->Doc.data())) {
        doc->DownloadState = TTavuListDoc::dsIdle;
        doc->Activate();
        StartThreadListDownload(job->Board, true, false);
    }
    TavuConfig->SetNewThreadCount(TavuConfig->VOZADAZOZ_NEWTHREAD_COUNT + 1);
    if (TSendDialog *composer = ComposerOf(job)) {
        RecordSentPost(composer);
        composer->close();
    }
    EndPostFlow(job, Kpwfunc::esSend);
}

void TVarneloWindow::OnNewThreadError(TResUploader *job, int code, const QString &message, const QString &pageText)
{
    if (HintWindow)
        HintWindow->hide();
    ShowErrorPage(pageText);
    Kpwfunc::AddLog(QStringLiteral("△スレたてエラー →") + BoardTarget(job->Board));
    Kpwfunc::AddLog(QStringLiteral("→") + QString::number(code) + QLatin1Char(':') + message);
    RestoreNewThreadDoc(job);
    EndPostFlow(job, Kpwfunc::esError);
}

void TVarneloWindow::OnNewThreadCancel(TResUploader *job, const QString &message)
{
    Kpwfunc::AddLog(QStringLiteral("△スレたてエラー →") + BoardTarget(job->Board));
    LogCancelReason(message);
    RestoreNewThreadDoc(job);
    EndPostFlow(job, -1);
}

// ---- handles ----

void TVarneloWindow::actToolHandleExecute()
{
    THandleDialog dialog(this);
    Kpwfunc::ExecDialog(dialog);
}
