#include "flows/PostController.h"

#include "flows/ThreadListController.h"
#include "tools/ErrorDialog.h"
#include "tools/HandleDialog.h"
#include "tools/NewThreadDialog.h"
#include "tools/SendDialog.h"

#include "boards/DolibManager.h"
#include "controls/Dialogs.h"
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
#include "net/HttpCli.h"
#include "net/HttpSettings.h"
#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"

#include <memory>
#include <QComboBox>
#include <QDateTime>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QUrl>

namespace {

const QString OfflineMessage = QStringLiteral("オフライン状態では実行できません。");

QString BoardTarget(const TBoard *board)
{
    return TThreadListController::BoardTarget(board);
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

TSendDialog *ComposerOf(const TResUploader *job)
{
    return qobject_cast<TSendDialog *>(job->Composer.data());
}

TTavuListDoc *DocOf(const TResUploader *job)
{
    return qobject_cast<TTavuListDoc *>(static_cast<const TThreadUploader *>(job)->Doc.data());
}

}  // namespace

TPostController::TPostController(QWidget *window) : QObject(window), window(window) {}

// ---- replies ----

void TPostController::actThreadWriteExecute(TTavuBrowser *tab, bool quote)
{
    emit PopupHidden();
    if (TavuEnviron->IsOffline()) {
        Dialogs::ShowMessage(Dialogs::mkError, OfflineMessage);
        return;
    }
    if (!tab || !tab->ThreadItem())
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

// While a composer is open and sending, it holds the window's commands; closing it lets them go.
void TPostController::HoldCommandsWhileOpen(TSendDialog *composer)
{
    composer->OnClose = [this](TSendDialog *) { emit ActionsReleased(); };
    composer->SwitchWindowCommands = [this](bool enabled) {
        if (enabled)
            emit ActionsReleased();
        else
            emit ActionsHeld();
    };
}

TSendDialog *TPostController::ShowSendDialog(TTavuBrowser *tab)
{
    auto *composer = new TSendDialog(window);
    composer->OnSend = [this](TSendDialog *sender) { StartPost(sender); };
    HoldCommandsWhileOpen(composer);
    TThreadItem *item = tab->ThreadItem();
    composer->SetThread(item);
    TBoard *board = tab->GetBoard();
    if (board && board->BBS)
        composer->ReadUrl = board->BBS->GetReadUrl(item);
    return composer;
}

void TPostController::FillSendData(TSendData &data, TSendDialog *composer, TBoard *board, const QString &key) const
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

// A send raised while offline only brings the composer back.
bool TPostController::RefusedOffline(TSendDialog *composer)
{
    emit ActionsReleased();
    if (!TavuEnviron->IsOffline())
        return false;
    Dialogs::ShowMessage(Dialogs::mkError, OfflineMessage);
    composer->ShowAgain();
    return true;
}

void TPostController::BeginPostFlow(const QString &startLine, const QString &target)
{
    emit Started();
    emit LogLine(QString());
    emit LogLine(startLine + target);
    emit StatusText(QStringLiteral("書き込み中：") + target);
}

void TPostController::StartPost(TSendDialog *composer)
{
    if (RefusedOffline(composer))
        return;
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
    if (tab && TThreadItem::SameThread(tab->ThreadItem(), item)) {
        tab->DownloadState = TTavuBrowser::dsDownloading;
        tab->UpdateTabImage();
        emit BrowserCommandsChanged();
    }
    if (!item->BBS) {
        OnPostCancel(job, QString());
        return;
    }
    item->BBS->PostRes(job);
}

// The end of every post: the flow's status cleared, the job freed and the busy state ended.
void TPostController::EndPostFlow(TResUploader *job, TOutcome outcome)
{
    emit StatusText(QString());
    delete job;
    emit Ended(outcome);
}

// A failed reply: the tab idle again and the composer back with its text.
void TPostController::RestoreReplyTab(TSendDialog *composer)
{
    if (!composer)
        return;
    TTavuBrowser *tab = composer->Tab;
    if (tab && TThreadItem::SameThread(tab->ThreadItem(), composer->ThreadItem())) {
        tab->DownloadState = TTavuBrowser::dsIdle;
        tab->Activate();
        tab->UpdateTabImage();
        emit BrowserCommandsChanged();
    }
    composer->ShowAgain();
}

// Records a new thread in the composer's histories and post log. The post went through whatever
// happens here: a file that cannot be written is only logged.
void TPostController::RecordSentPost(TSendDialog *composer)
{
    try {
        composer->SaveHistory();
    } catch (const EVarnelo &e) {
        emit LogLine(e.Message);
    }
}

void TPostController::OnPostDone(TResUploader *job, bool failed)
{
    emit ActionsReleased();
    TSendDialog *composer = ComposerOf(job);
    TThreadItem *item = job->Item();
    const QString target = ThreadTarget(item, job->Board);
    if (failed) {
        emit LogLine(QStringLiteral("△書き込み失敗 →") + target);
        RestoreReplyTab(composer);
        EndPostFlow(job, poFailed);
        return;
    }
    emit LogLine(QStringLiteral("△書き込み完了 →") + target);
    item->LAST_SENT = QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"));
    item->SEND_COUNT += 1;
    item->SaveInfo();
    TTavuBrowser *tab = composer ? composer->Tab.data() : nullptr;
    if (tab && TThreadItem::SameThread(tab->ThreadItem(), item)) {
        tab->DownloadState = TTavuBrowser::dsIdle;
        tab->Activate();
        item->TOP = tab->GetTopResNumber();
    }
    item->DownloadRequest = true;
    emit ReplySent(item);
    TavuConfig->SetSendCount(TavuConfig->VOZADAZOZ_SEND_COUNT + 1);
    if (composer)
        composer->close();
    EndPostFlow(job, poSent);
}

// The error lines of a post: what failed, then the server's code and message.
void TPostController::LogError(const QString &line, int code, const QString &message)
{
    emit LogLine(line);
    emit LogLine(QStringLiteral("→") + QString::number(code) + QLatin1Char(':') + message);
}

void TPostController::OnPostError(TResUploader *job, int code, const QString &message, const QString &pageText)
{
    emit PopupHidden();
    ShowErrorPage(pageText);
    LogError(QStringLiteral("△書き込みエラー →") + ThreadTarget(job->Item(), job->Board), code, message);
    RestoreReplyTab(ComposerOf(job));
    EndPostFlow(job, poFailed);
}

// The reason of a cancelled post, when there is one, follows its log line.
void TPostController::LogCancel(const QString &line, const QString &message)
{
    emit LogLine(line);
    if (!message.isEmpty())
        emit LogLine(QStringLiteral("→") + message);
}

void TPostController::OnPostCancel(TResUploader *job, const QString &message)
{
    LogCancel(QStringLiteral("△書き込みエラー →") + ThreadTarget(job->Item(), job->Board), message);
    RestoreReplyTab(ComposerOf(job));
    EndPostFlow(job, poFailed);
}

void TPostController::ShowErrorPage(const QString &pageText)
{
    TErrorDialog dialog(window);
    if (dialog.ShowPage(pageText))
        Dialogs::ExecDialog(dialog);
}

// ---- new threads ----

void TPostController::actThreadListNewThreadExecute(TTavuListDoc *doc)
{
    emit PopupHidden();
    if (TavuEnviron->IsOffline()) {
        Dialogs::ShowMessage(Dialogs::mkError, OfflineMessage);
        return;
    }
    TBoard *board = doc ? doc->GetBoard() : nullptr;
    if (!board)
        return;
    const bool pastLogService = board->BBS && board->BBS->ID == QStringLiteral("dolibscript");
    if (pastLogService && !(DolibManager && DolibManager->IsLoggedIn())) {
        // Yes shows the site of the past-log account, where the ID is bought.
        if (Dialogs::AskYesNo(QStringLiteral("ID購入ユーザーのみ利用可能なコマンドです。\nIDに関する情報サイトをロードしますか？"))) {
            const QString login = DolibManager ? DolibManager->LoginUrl : TDolibManager::DefaultLoginUrl();
            emit PageWanted(QUrl(login).resolved(QUrl(QStringLiteral("/"))).toString(), QStringLiteral("ID情報"));
        }
        return;
    }

    auto *composer = new TNewThreadDialog(window);
    composer->SetBoard(board);
    composer->OnSend = [this](TSendDialog *sender) { StartNewThread(sender); };
    HoldCommandsWhileOpen(composer);
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
void TPostController::PrefetchBoardPage(TNewThreadDialog *composer, TBoard *board)
{
    emit Started();
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
        emit Ended(poQuiet);
        composer->show();
    });
    http->GetASync();
}

void TPostController::StartNewThread(TSendDialog *sender)
{
    auto *composer = static_cast<TNewThreadDialog *>(sender);
    if (RefusedOffline(composer))
        return;
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

    if (TTavuListDoc *doc = DocOf(job)) {
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
void TPostController::RestoreNewThreadDoc(TResUploader *job)
{
    if (TTavuListDoc *doc = DocOf(job)) {
        doc->DownloadState = TTavuListDoc::dsIdle;
        doc->Activate();
        doc->UpdateTabImage();
        emit ThreadListCommandsChanged();
    }
    if (TSendDialog *composer = ComposerOf(job))
        composer->ShowAgain();
}

void TPostController::OnNewThreadDone(TResUploader *job, bool failed)
{
    emit ActionsReleased();
    const QString target = BoardTarget(job->Board);
    if (failed) {
        emit LogLine(QStringLiteral("△スレたてエラー →") + target);
        RestoreNewThreadDoc(job);
        EndPostFlow(job, poFailed);
        return;
    }
    emit LogLine(QStringLiteral("△新スレ完了 →") + target);
    if (TTavuListDoc *doc = DocOf(job)) {
        doc->DownloadState = TTavuListDoc::dsIdle;
        doc->Activate();
        emit NewThreadSent(job->Board);
    }
    TavuConfig->SetNewThreadCount(TavuConfig->VOZADAZOZ_NEWTHREAD_COUNT + 1);
    if (TSendDialog *composer = ComposerOf(job)) {
        RecordSentPost(composer);
        composer->close();
    }
    EndPostFlow(job, poSent);
}

void TPostController::OnNewThreadError(TResUploader *job, int code, const QString &message, const QString &pageText)
{
    emit PopupHidden();
    ShowErrorPage(pageText);
    LogError(QStringLiteral("△スレたてエラー →") + BoardTarget(job->Board), code, message);
    RestoreNewThreadDoc(job);
    EndPostFlow(job, poFailed);
}

void TPostController::OnNewThreadCancel(TResUploader *job, const QString &message)
{
    LogCancel(QStringLiteral("△スレたてエラー →") + BoardTarget(job->Board), message);
    RestoreNewThreadDoc(job);
    EndPostFlow(job, poQuiet);
}

// ---- handles ----

void TPostController::actToolHandleExecute()
{
    THandleDialog dialog(window);
    Dialogs::ExecDialog(dialog);
}
