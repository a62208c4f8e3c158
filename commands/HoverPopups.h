#pragma once
// THoverPopups: what the thread views show without opening a link. A link the mouse rests on pops
// up in the hint window: the responses an anchor names (of this thread from the tab, of another
// thread from its stored log), the responses of one ID, the replies to a response, a board's name,
// and, with USEHTMLPOPUP, a digest of an outside page fetched a second later (HtmlPopupTimer), or
// with USESIMPLEAPI the page's thumbnail in the page-thumbnail window instead (the digest when the
// thumbnail service gives no picture). A number selected in
// the view pops up that response on the context menu; other selected text opens the selection menu,
// and anything else the browser menu.

#include <QObject>
#include <QString>

class QMenu;
class QPoint;
class QTimer;
class THttpCli;
class TTavuBrowser;
class TTavuHintWindow;
class TWebCaptureForm;
class TTabServices;
class TThreadViewServices;
class TWindowFrameServices;

class THoverPopups : public QObject {
    Q_OBJECT
public:
    THoverPopups(TWindowFrameServices &frame, TTabServices &tabs, TThreadViewServices &views, QObject *parent);
    ~THoverPopups() override;

    // The link under the mouse changed (the tab's status text).
    void OnStatusTextHover(TTavuBrowser *tab, const QString &text);
    // One second after a hover on an outside page: its digest is fetched.
    void HtmlPopupTimerTimer();
    // The context menu of a thread view: true when a popup or the selection menu took it.
    bool OnBrowserContextMenu(TTavuBrowser *tab, const QPoint &globalPos);
    // The page-thumbnail window, made with the window and hidden by every hover.
    TWebCaptureForm *WebCaptureForm = nullptr;

    // The popup text of a fetched page: the title, a TAB, two line breaks, the digest (the text
    // after "<body" without tags and blanks, a line break after every 46 Shift_JIS bytes or so,
    // cut with "..." after 255 bytes), two line breaks, the URL.
    static QString PageSummary(const QString &html, const QString &url);
    // True when a hover on the URL may fetch the page (not a picture, archive or sound, not a
    // script of the main board service, no query unless USECGIPOPUP, no local or error page).
    static bool MayFetch(const QString &url);

private:
    TWindowFrameServices &frame;
    TTabServices &tabs;
    TThreadViewServices &views;
    QString hoveredUrl;       // the page the delayed popup is for
    QString statusText;       // the link under the mouse now
    THttpCli *http = nullptr; // the page fetch (one at a time)
    QByteArray page;
    THttpCli *thumbnailHttp = nullptr;   // the fetch of the service's picture of the page
    QByteArray thumbnail;

    TTavuHintWindow *Hint() const;
    bool ShowThreadLink(TTavuBrowser *tab, const QString &url);
    void ShowOtherLink(const QString &url);
    void ShowIdPopup(TTavuBrowser *tab, const QString &url);
    void ShowReplyPopup(TTavuBrowser *tab, const QString &url);
    void ShowMailPopup(TTavuBrowser *tab, const QString &url);
    void ShowResNumber(TTavuBrowser *tab, int number);
    // Any other context menu of a browser tab is the window's browser menu.
    void ShowBrowserPopup(const QPoint &globalPos);
    THttpCli *Client(THttpCli *&client, QByteArray &body, void (THoverPopups::*done)(bool));
    void FetchPage(const QString &url);
    void PageDone(bool failed);
    void FetchThumbnail(const QString &url);
    void ThumbnailDone(bool failed);
};
