#pragma once
// TChottoWindow2 ("ちょっと見ビューア"): a small, always-on-top, tabbed web browser in which the user
// takes a quick look at outside pages without leaving the main window. Each tab (TChottoTabSheet)
// holds its own browser (TChottoBrowser). The main window creates the window once, on first use,
// keeps it while it lives and hands it URLs through OpenUrl; the window hands pages back through
// OnOpenUrl (open inside the program, or in the outside browser).
//
// While inactive the window can turn translucent (DESKTOP CHOTTOWIN_TRANS) and shrink to its title
// bar (DESKTOP CHOTTOWIN_EXPND); its bounds are kept under DESKTOP CHOTTOWIN_*.

#include "render/EmbeddedWB.h"

#include <QString>
#include <QWidget>
#include <functional>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QMovie;
class QProgressBar;
class QStatusBar;
class QTabWidget;
class TChottoTabSheet;
class TThreadListServices;
class TReadingServices;
class TWindowFrameServices;

// The address a new-window link of a page opens: the href of the link's HTML, resolved against the
// page's address when it is relative, with the outside redirector taken out.
namespace ChottoLinks {

QString NewWindowUrl(const QString &linkHtml, const QString &location);
// Every "://" + redirector host + "/" becomes "://", so that a link through it opens its target.
QString StripRedirector(const QString &url);

}  // namespace ChottoLinks

// The browser of one tab: its tab sheet and the URL the tab was opened with.
class TChottoBrowser : public TEmbeddedWB {
    Q_OBJECT
public:
    using TEmbeddedWB::TEmbeddedWB;
    TChottoTabSheet *TabSheet = nullptr;
    QString OpenedUrl;
    bool Loading = false;   // between a navigation and its document complete
};

// One tab: its browser and the page's full title.
class TChottoTabSheet : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    TChottoBrowser *Browser = nullptr;
    QString Title;
};

class TChottoWindow2 : public QWidget {
    Q_OBJECT
public:
    explicit TChottoWindow2(QWidget *parent = nullptr);

    // Opens the URL in a new tab and makes it the active tab. The caller shows the window.
    void OpenUrl(const QString &url);

    // (sender, URL, in the program): the main window opens the page inside the program or outside.
    std::function<void(QObject *sender, const QString &url, bool inProgram)> OnOpenUrl;

    int TabCount() const;
    TChottoTabSheet *ActiveTab() const;
    TChottoTabSheet *Tab(int index) const;
    int BusyCount() const { return busyCount; }
    bool IsAnimating() const;

    // A link asked for a new window: CHECKBBSLINK, turned round by Shift, decides whether the URL
    // dialog asks how to open it or it opens at once in a new tab.
    void OpenNewWindowLink(const QString &url);

    // The window was activated or deactivated (the translucent and shrunk states).
    void FormActivate();
    void FormDeactivate();

    QTabWidget *PageControl1 = nullptr;
    QComboBox *ComboBox1 = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    QLabel *StatusPanel0 = nullptr;   // first panel: holds the progress bar
    QLabel *StatusPanel1 = nullptr;   // second panel: the status text
    QProgressBar *ProgressBar = nullptr;
    QLabel *Animate1 = nullptr;
    QMenu *PopupMenu1 = nullptr;
    QAction *actOpen = nullptr;
    QAction *actOpenTavu = nullptr;
    QAction *actOpenBrowser = nullptr;
    QAction *actCloseTab = nullptr;
    QAction *actCloseAllTab = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateActions();
    QWidget *CreateHeader();
    void CreateStatusBar();
    void WireBrowser(TChottoBrowser *browser);
    void BrowserTitleChange(TChottoBrowser *browser, const QString &title);
    void BrowserBeforeNavigate(TChottoBrowser *browser);
    void BrowserDocumentComplete(TChottoBrowser *browser);
    void BrowserNewWindow(TChottoBrowser *browser, const QUrl &url, bool &cancel);
    void AskHowToOpen(const QString &url);
    void HandActiveTab(bool inProgram);
    void actCloseTabExecute();
    void actCloseAllTabExecute();
    void FreeTab(TChottoTabSheet *sheet);
    void CountDown(TChottoBrowser *browser);
    void TabChanged(int index);
    void SetTabLoading(TChottoTabSheet *sheet, bool loading);

    QMovie *busyMovie = nullptr;
    int busyCount = 0;        // tabs that are loading
    int savedHeight = 0;      // the height to come back to when the window is activated
    bool shrunk = false;      // the height is 0 while the window is inactive
};

// The main window's side: the one preview browser it keeps, and its commands.
namespace PreviewBrowser {

// The main window's preview browser, created on first use.
TChottoWindow2 *Window(TWindowFrameServices &frame, TReadingServices &reading);
// Opens the URL in the preview browser and shows it.
void ShowUrl(TWindowFrameServices &frame, TReadingServices &reading, const QString &url);
// Binds actShowChotto and actThreadListChottoLook.
void Bind(TWindowFrameServices &frame, TReadingServices &reading, TThreadListServices &threadList);

}  // namespace PreviewBrowser
