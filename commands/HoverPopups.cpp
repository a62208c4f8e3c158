#include "commands/HoverPopups.h"

#include "controls/WindowEvents.h"
#include "controls/WindowServices.h"
#include "core/BBS.h"
#include "core/Board.h"
#include "core/JConvert.h"
#include "core/MonaUtils.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/ThreadItem.h"
#include "net/HttpCli.h"
#include "net/HttpSettings.h"
#include "render/TavuBrowser.h"
#include "render/TavuHintWindow.h"
#include "render/TavuResWriter.h"
#include "services/ResSearch.h"
#include "services/Urls.h"
#include "tools/WebCaptureForm.h"

#include <QCursor>
#include <QMenu>
#include <QScopeGuard>
#include <QTimer>
#include <QUrl>
#include <QWidget>

namespace {

// Hosts of the main board service whose past logs and scripts are never fetched for a digest.
const QStringList MainServiceDomains = {QStringLiteral("2ch.net"), QStringLiteral("5ch.net"),
                                        QStringLiteral("bbspink.com")};
const QStringList NotPages = {QStringLiteral(".bmp"), QStringLiteral(".jpg"), QStringLiteral(".gif"),
                              QStringLiteral(".png"), QStringLiteral(".mpg"), QStringLiteral(".mov"),
                              QStringLiteral(".avi"), QStringLiteral(".zip"), QStringLiteral(".lzh"),
                              QStringLiteral(".cab"), QStringLiteral(".mid"), QStringLiteral(".wav"),
                              QStringLiteral(".swf")};
constexpr int DigestLineBytes = 45;
constexpr int DigestMaxBytes = 255;

bool IsSingleByte(QChar c)
{
    return c.unicode() < 0x80 || (c.unicode() >= 0xFF61 && c.unicode() <= 0xFF9F);
}

bool StartsWithAny(const QString &text, std::initializer_list<const char *> prefixes)
{
    for (const char *prefix : prefixes) {
        if (text.startsWith(QLatin1String(prefix)))
            return true;
    }
    return false;
}

// The text of the page after "<body", without its tags and single-byte blanks, its entities as
// their characters.
QString BodyText(const QString &html)
{
    const qsizetype body = html.indexOf(QLatin1String("<body"), 0, Qt::CaseInsensitive);
    QString text;
    bool inTag = false;
    for (const QChar c : body >= 0 ? html.mid(body) : html) {
        if (c == u'<')
            inTag = true;
        if (inTag) {
            inTag = c != u'>';
            continue;
        }
        if (c == u' ' || c == u'\n' || c == u'\r' || c == u'\t' || c == QChar(0))
            continue;
        text += c;
        if (text.size() > DigestMaxBytes * 16)
            break;   // more than a digest takes, even of entities ten characters long
    }
    return MonaUtils::DecodeEntities(text);
}

// The text of the page's body broken into lines, ending with dots when it is cut.
QString Digest(const QString &html)
{
    QString digest;
    int bytes = 0;
    int lineBytes = 0;
    for (const QChar c : BodyText(html)) {
        digest += c;
        const int size = IsSingleByte(c) ? 1 : 2;
        bytes += size;
        lineBytes += size;
        if (lineBytes > DigestLineBytes) {
            digest += QLatin1Char('\n');
            lineBytes = 0;
        }
        if (bytes > DigestMaxBytes) {
            digest += QStringLiteral("...");
            break;
        }
    }
    return digest;
}

}  // namespace

THoverPopups::THoverPopups(TWindowFrameServices &frame, TTabServices &tabs, TThreadViewServices &views, QObject *parent)
    : QObject(parent), frame(frame), tabs(tabs), views(views)
{
    connect(&frame.Events(), &TWindowEvents::BrowserTabCreated, this, [this](TTavuBrowser *tab) {
        connect(tab, &TTavuBrowser::StatusTextChange, this, [this, tab](const QString &text) { OnStatusTextHover(tab, text); });
        connect(tab, &TTavuBrowser::ContextMenu, this, [this, tab](const QPoint &pos, bool &handled) {
            handled = handled || OnBrowserContextMenu(tab, pos);
        });
        connect(tab, &TTavuBrowser::PlainContextMenu, this, &THoverPopups::ShowBrowserPopup);
    });
    if (QTimer *timer = views.HtmlPopupTimer())
        connect(timer, &QTimer::timeout, this, &THoverPopups::HtmlPopupTimerTimer);
    WebCaptureForm = new TWebCaptureForm(frame.Window());
}

THoverPopups::~THoverPopups()
{
    delete http;
    delete thumbnailHttp;
}

TTavuHintWindow *THoverPopups::Hint() const
{
    return views.HintWindow();
}

// ---- hover ----

void THoverPopups::OnStatusTextHover(TTavuBrowser *tab, const QString &text)
{
    statusText = text;
    Hint()->hide();
    WebCaptureForm->hide();
    if (tab != tabs.CurrentBrowser() || tab->IsWebPage() || !tab->ThreadItem() || !tab->ResList())
        return;
    if (!tab->IsCovered())   // a covered tab's caption comes with its view
        views.UpdateStatusCaption(tab->ThreadItem());
    if (text.startsWith(QLatin1String("mailto:")))
        ShowMailPopup(tab, text);
    else if (StartsWithAny(text, {"http://", "https://", "file://", "about:blank"})) {
        if (!ShowThreadLink(tab, text))
            ShowOtherLink(text);
    } else if (text.startsWith(QLatin1String("tavu://res/?id")))
        ShowIdPopup(tab, text);
    else if (text.startsWith(QLatin1String("tavu://res/?no")))
        ShowReplyPopup(tab, text);
}

// A mail field that holds a number points at that response.
void THoverPopups::ShowMailPopup(TTavuBrowser *tab, const QString &url)
{
    const QString address = url.mid(7);
    const QString number = MonaUtils::ToHalfWidth(QUrl::fromPercentEncoding(address.toUtf8())).remove(QLatin1Char('>')).trimmed();
    TResList popup(tab->ThreadItem());
    if (MonaUtils::IsInteger(number)) {
        Urls::FillPopupResList(*tab->ResList(), popup, number.toInt(), number.toInt(), true);
        Hint()->PopupResList(&popup, tab->GetBoard(), address);
    } else {
        Hint()->ShowText(address);
    }
}

// A link into the tab's own thread shows the responses it names from the tab; false for any other.
bool THoverPopups::ShowThreadLink(TTavuBrowser *tab, const QString &url)
{
    TThreadItem *item = tab->ThreadItem();
    TBoard *board = tab->GetBoard();
    QString link = url;
    if (link.startsWith(QLatin1String("file://")) && item->BBS && link.contains(QLatin1Char('?')))
        link = item->BBS->GetReadUrl(item) + link.mid(link.indexOf(QLatin1Char('?')) + 1);
    Urls::TBoardUrlParts parts;
    if (!board || !Urls::ParseBoardUrl(link, board, parts) || parts.Key != item->GetKey())
        return false;
    const bool local = board->Kind == TBoard::KIND_LOCAL;
    if (!local && parts.BBS != board->BBSName && parts.BBS != board->ID)
        return false;
    TResList popup(item);
    Urls::FillPopupResList(*tab->ResList(), popup, parts.From, parts.To, parts.NoFirst);
    Hint()->PopupResList(&popup, board, QString());
    return true;
}

// Another thread shows from its stored log, a board by its name, anything else by its URL (and a
// page, with USEHTMLPOPUP, by its digest a second later).
void THoverPopups::ShowOtherLink(const QString &url)
{
    if (url.startsWith(QLatin1String("http"))) {
        TResList linked;
        auto *item = new TThreadItem;
        const auto release = qScopeGuard([item] { item->Release(); });
        int resNo = 0;
        TSite *site = nullptr;
        TBoard *board = nullptr;
        Urls::TBoardUrlParts parts;
        if (Urls::MatchBoardUrl(url, &linked, *item, resNo, site, board) && Urls::ParseBoardUrl(url, board, parts)
            && (parts.From > 0 || parts.To > 0)) {
            Hint()->PopupThreadUrl(board, item->GetKey(), {parts.From, parts.To, parts.NoFirst}, item->ShownTitle());
            return;
        }
        if (Urls::IsBoardUrl(url, board)) {
            const QString siteName = board->Site ? board->Site->NAME : QString();
            Hint()->ShowText(board->Name + QStringLiteral("＠") + siteName + QStringLiteral("  "));
            return;
        }
    }
    Hint()->ShowText(url);
    if (TavuConfig->USEHTMLPOPUP) {
        hoveredUrl = url;
        if (QTimer *timer = views.HtmlPopupTimer())
            timer->start();
    }
}

void THoverPopups::ShowIdPopup(TTavuBrowser *tab, const QString &url)
{
    const QString id = TTavuResWriter::LinkValue(url);
    TResList popup(tab->ThreadItem());
    ResSearch::MarkResById(*tab->ResList(), popup, id);
    Hint()->PopupResList(&popup, tab->GetBoard(), QStringLiteral("ID:") + id);
}

void THoverPopups::ShowReplyPopup(TTavuBrowser *tab, const QString &url)
{
    const int number = TTavuResWriter::LinkValue(url).toInt();
    TResList popup(tab->ThreadItem());
    if (ResSearch::CollectReplies(*tab->ResList(), number, popup) > 0)
        Hint()->PopupResList(&popup, tab->GetBoard(), QString());
}

// ---- the delayed page digest ----

bool THoverPopups::MayFetch(const QString &url)
{
    const QUrl parsed(url);
    const QString path = parsed.path().toLower();
    const QString host = parsed.host().toLower();
    for (const QString &extension : NotPages) {
        if (path.endsWith(extension))
            return false;
    }
    for (const QString &domain : MainServiceDomains) {
        if ((host == domain || host.endsWith(QLatin1Char('.') + domain))
            && (path.contains(QLatin1String("/kako/")) || path.contains(QLatin1String(".cgi"))))
            return false;
    }
    if (url.contains(QLatin1Char('?')) && !TavuConfig->USECGIPOPUP)
        return false;
    return !StartsWithAny(url, {"file://", "about:blank"}) && !url.contains(QStringLiteral("サーバーが見付かりません"));
}

void THoverPopups::HtmlPopupTimerTimer()
{
    if (QTimer *timer = views.HtmlPopupTimer())
        timer->stop();
    if (!frame.Window()->isActiveWindow()) {
        Hint()->hide();
        return;
    }
    frame.BeginBusy();
    const auto endBusy = qScopeGuard([this] { frame.EndBusy(); });   // whichever way this ends
    if (statusText != hoveredUrl || TavuEnviron->IsOffline() || !MayFetch(hoveredUrl))
        return;
    if (TavuConfig->USESIMPLEAPI)
        FetchThumbnail(hoveredUrl);
    else
        FetchPage(hoveredUrl);
}

// A client of the hover's outside fetches, one request at a time: its body gathers into body and
// its end goes to done.
THttpCli *THoverPopups::Client(THttpCli *&client, QByteArray &body, void (THoverPopups::*done)(bool))
{
    if (!client) {
        client = new THttpCli;
        connect(client, &THttpCli::OnDocData, this, [&body](THttpCli *, const QByteArray &data) { body += data; });
        connect(client, &THttpCli::OnRequestDone, this, [this, done](THttpCli *, bool failed) { (this->*done)(failed); });
    }
    if (client->IsBusy())
        client->Abort();
    UseConfiguredProxy(*client);
    UseLimits(*client, TRequestKind::Service);
    client->UserAgent = QString::fromLatin1(THttpCli::DefaultUserAgent);
    body.clear();
    return client;
}

void THoverPopups::FetchPage(const QString &url)
{
    views.AddLog(QStringLiteral("HTML取得開始 ") + url);
    Client(http, page, &THoverPopups::PageDone)->URL = url;
    http->GetASync();
}

// The service's picture is fetched here first: the window shows only a picture that came.
void THoverPopups::FetchThumbnail(const QString &url)
{
    Client(thumbnailHttp, thumbnail, &THoverPopups::ThumbnailDone)->URL = WebCaptureForm->ThumbnailUrl(url);
    thumbnailHttp->GetASync();
}

void THoverPopups::ThumbnailDone(bool failed)
{
    if (failed && thumbnailHttp->ErrorCode() == httpAborted)
        return;   // a newer fetch took its place
    if (statusText != hoveredUrl)
        return;   // the mouse has left the link
    WebCaptureForm->move(QCursor::pos() + QPoint(0, 15));
    if (!failed && thumbnailHttp->StatusCode() == 200
        && WebCaptureForm->ShowPicture(thumbnail, thumbnailHttp->HeaderValue("Content-Type"))) {
        Hint()->hide();
        return;
    }
    FetchPage(hoveredUrl);   // no picture from the service: the page's text digest instead
}

void THoverPopups::PageDone(bool failed)
{
    if (http->ErrorCode() == httpAborted && failed)
        return;   // a newer fetch took its place
    const QString url = http->URL;
    // The URL's hint is still up. Grown in place, it would for a moment lie under the mouse, the
    // view would report the mouse leaving the link, and the hover would hide the digest at once:
    // it goes first, and the digest comes up where it fits.
    Hint()->hide();
    if (failed) {   // what came is not the page (cut off, too large, too slow): no digest of it
        views.AddLog(QStringLiteral("HTML取得エラー ") + url + QStringLiteral(" →") + http->ErrorMessage());
        Hint()->ShowText(url + QStringLiteral("\n\n") + http->ErrorMessage());
        return;
    }
    views.AddLog(QStringLiteral("HTML取得完了 ") + url);
    if (http->StatusCode() != 200) {
        Hint()->ShowText(url + QStringLiteral("\n\n%1 %2").arg(http->StatusCode()).arg(http->ReasonPhrase()));
        return;
    }
    Hint()->ShowText(PageSummary(jconvert::Decode(page, jconvert::DetectCode(page)), url));
}

QString THoverPopups::PageSummary(const QString &html, const QString &url)
{
    const qsizetype open = html.indexOf(QLatin1String("<title>"), 0, Qt::CaseInsensitive);
    const qsizetype close = open >= 0 ? html.indexOf(QLatin1String("</title>"), open, Qt::CaseInsensitive) : -1;
    QString title = close > open ? MonaUtils::DecodeEntities(html.mid(open + 7, close - open - 7).trimmed()) : QString();
    if (title.isEmpty())
        title = QStringLiteral("(タイトル無し)");
    return title + QStringLiteral("\t\n\n") + Digest(html) + QStringLiteral("\n\n") + url;
}

// ---- selection ----

bool THoverPopups::OnBrowserContextMenu(TTavuBrowser *tab, const QPoint &globalPos)
{
    if (!tab || tab->IsWebPage() || !tab->ResList()) {
        if (QTimer *timer = views.HtmlPopupTimer())
            timer->stop();
        return false;
    }
    const QString selected = MonaUtils::ToHalfWidth(tab->GetSelectedText()).trimmed();
    bool isNumber = false;
    const int number = selected.toInt(&isNumber);
    if (isNumber && number >= 1 && number <= tab->ResList()->Count()) {   // the last response too
        ShowResNumber(tab, number);
        return true;
    }
    if (!selected.isEmpty() && TavuConfig->BROWSERPOPUP) {
        if (QMenu *menu = views.BrowserSelectionMenu()) {
            menu->popup(globalPos);
            return true;
        }
    }
    return false;
}

void THoverPopups::ShowBrowserPopup(const QPoint &globalPos)
{
    if (QMenu *menu = views.BrowserPopupMenu())
        menu->popup(globalPos);
}

void THoverPopups::ShowResNumber(TTavuBrowser *tab, int number)
{
    TResList popup(tab->ThreadItem());
    Urls::FillPopupResList(*tab->ResList(), popup, number, number, true);
    Hint()->PopupResList(&popup, tab->GetBoard(), QString());
}
