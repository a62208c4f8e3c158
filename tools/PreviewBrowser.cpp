#include "tools/PreviewBrowser.h"

#include "controls/ActionCatalogue.h"
#include "controls/Dialogs.h"
#include "controls/ExtListView.h"
#include "controls/WindowServices.h"
#include "core/BBS.h"
#include "core/MonaUtils.h"
#include "core/TavuConfig.h"
#include "core/Tavutils.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "render/TavuListDoc.h"
#include "services/Urls.h"
#include "tools/UrlDialog.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QMovie>
#include <QPointer>
#include <QProgressBar>
#include <QShowEvent>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

// The outside redirector that board links often go through.
const QString RedirectorHost = QStringLiteral("ime.nu");

// Alpha of the translucent inactive window (128 of 255).
constexpr double InactiveOpacity = 128.0 / 255.0;

const QIcon &LoadingIcon()
{
    static const QIcon icon = [] {
        const TImageList images = ActionCatalogue::LoadImages(ActionCatalogue::ImageStripFile());
        return images.size() > imgReload ? images[imgReload] : QIcon();
    }();
    return icon;
}

// A tab caption shows "&" as itself, not as an access key.
QString TabText(const QString &caption)
{
    return QString(caption).replace(QLatin1Char('&'), QLatin1String("&&"));
}

}  // namespace

namespace ChottoLinks {

QString NewWindowUrl(const QString &linkHtml, const QString &location)
{
    // The page's HTML writes "&" of an attribute as "&amp;".
    QString href = MonaUtils::ExtractHrefValue(linkHtml).replace(QLatin1String("&amp;"), QLatin1String("&"));
    if (href.isEmpty())
        return QString();
    if (QUrl(href).scheme().isEmpty())
        href = MonaUtils::ResolveRelativeUrl(MonaUtils::ExtractUrlPath(location), href);
    return StripRedirector(href);
}

QString StripRedirector(const QString &url)
{
    return QString(url).replace(QStringLiteral("://") + RedirectorHost + QLatin1Char('/'), QStringLiteral("://"),
                                Qt::CaseInsensitive);
}

}  // namespace ChottoLinks

// ---- creation ----

TChottoWindow2::TChottoWindow2(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("ChottoWindow2"));
    setWindowTitle(QStringLiteral("ちょっと見ビューア"));
    CreateActions();

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setDocumentMode(true);
    PageControl1->tabBar()->setContextMenuPolicy(Qt::CustomContextMenu);
    PageControl1->tabBar()->installEventFilter(this);
    connect(PageControl1, &QTabWidget::currentChanged, this, &TChottoWindow2::TabChanged);
    connect(PageControl1->tabBar(), &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu1->popup(PageControl1->tabBar()->mapToGlobal(pos)); });

    PopupMenu1 = new QMenu(this);
    PopupMenu1->addActions({actCloseTab, actCloseAllTab});
    PopupMenu1->addSeparator();
    PopupMenu1->addActions({actOpenTavu, actOpenBrowser});

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetNoConstraint);   // the inactive window may shrink to nothing
    layout->addWidget(CreateHeader());
    layout->addWidget(PageControl1, 1);
    CreateStatusBar();
    layout->addWidget(StatusBar1);
    savedHeight = TavuConfig->DESKTOP_CHOTTOWIN_HEIGHT;
}

void TChottoWindow2::CreateActions()
{
    static const TImageList images = ActionCatalogue::LoadImages(ActionCatalogue::ImageStripFile());
    auto make = [this](const char *name, const QString &caption, int image, std::function<void()> handler) {
        auto *action = new QAction(caption, this);
        action->setObjectName(QString::fromLatin1(name));
        if (image < images.size())
            action->setIcon(images[image]);
        connect(action, &QAction::triggered, this, std::move(handler));
        return action;
    };
    actOpen = make("actOpen", QStringLiteral("開く"), imgGlobe, [this] { OpenUrl(ComboBox1->currentText().trimmed()); });
    actOpenTavu = make("actOpenTavu", QStringLiteral("このページをヴァルネロで開く"), imgBrowser,
                       [this] { HandActiveTab(true); });
    actOpenBrowser = make("actOpenBrowser", QStringLiteral("このページをブラウザで開く"), imgGlobe,
                          [this] { HandActiveTab(false); });
    actCloseTab = make("actCloseTab", QStringLiteral("このタブを閉じる(&C)"), imgCloseTab, [this] { actCloseTabExecute(); });
    actCloseAllTab = make("actCloseAllTab", QStringLiteral("このタブ以外をすべて閉じる(&A)"), imgCloseTab,
                          [this] { actCloseAllTabExecute(); });
}

// The address box with actOpen, the page buttons, and the busy animation at the right.
QWidget *TChottoWindow2::CreateHeader()
{
    auto *header = new QWidget(this);
    header->setObjectName(QStringLiteral("HeaderPanel"));
    auto *row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 4, 0);
    auto *toolBar1 = new QToolBar(header);
    toolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ComboBox1 = new QComboBox(toolBar1);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(ComboBox1->lineEdit(), &QLineEdit::returnPressed, actOpen, &QAction::trigger);
    toolBar1->addWidget(ComboBox1);
    toolBar1->addAction(actOpen);
    auto *toolBar2 = new QToolBar(header);
    toolBar2->setObjectName(QStringLiteral("ToolBar2"));
    toolBar2->addActions({actOpenBrowser, actOpenTavu, actCloseTab});
    row->addWidget(toolBar1, 1);
    row->addWidget(toolBar2);

    Animate1 = new QLabel(header);
    Animate1->setObjectName(QStringLiteral("Animate1"));
    const QString clip = TTavuConfig::AppDir() + QStringLiteral("resource/anime.gif");
    if (QFile::exists(clip)) {
        busyMovie = new QMovie(clip, QByteArray(), this);
        busyMovie->setScaledSize(QSize(16, 16));
        Animate1->setMovie(busyMovie);
        busyMovie->jumpToFrame(0);
        row->addWidget(Animate1);
    } else {
        Animate1->hide();   // the tool bars take the whole width
    }
    return header;
}

// Two panels, 90 and 50 wide: the progress bar in the first, the status text in the second.
void TChottoWindow2::CreateStatusBar()
{
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusPanel0 = new QLabel(StatusBar1);
    StatusPanel0->setFixedWidth(90);
    ProgressBar = new QProgressBar(StatusPanel0);
    ProgressBar->setTextVisible(false);
    ProgressBar->setGeometry(0, 2, 90 - 2, StatusBar1->sizeHint().height() - 2);
    StatusPanel1 = new QLabel(StatusBar1);
    StatusPanel1->setMinimumWidth(50);
    StatusBar1->addWidget(StatusPanel0);
    StatusBar1->addWidget(StatusPanel1, 1);
}

// ---- tabs ----

void TChottoWindow2::OpenUrl(const QString &url)
{
    if (url.isEmpty())
        return;
    auto *sheet = new TChottoTabSheet(PageControl1);
    auto *browser = new TChottoBrowser(sheet);
    auto *fill = new QVBoxLayout(sheet);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(browser);
    browser->OpenedUrl = url;
    browser->TabSheet = sheet;
    sheet->Browser = browser;
    const int index = PageControl1->addTab(sheet, TabText(MonaUtils::ExtractUrlName(url)));
    PageControl1->setTabIcon(index, LoadingIcon());
    WireBrowser(browser);
    browser->Navigate(url);
    PageControl1->setCurrentIndex(index);
    ComboBox1->setCurrentText(url);
}

void TChottoWindow2::WireBrowser(TChottoBrowser *browser)
{
    connect(browser, &TEmbeddedWB::TitleChange, this,
            [this, browser](const QString &title) { BrowserTitleChange(browser, title); });
    connect(browser, &TEmbeddedWB::StatusTextChange, StatusPanel1, &QLabel::setText);
    connect(browser, &TEmbeddedWB::BeforeNavigate, this, [this, browser](const QUrl &, bool &) { BrowserBeforeNavigate(browser); });
    connect(browser, &TEmbeddedWB::DocumentComplete, this, [this, browser] { BrowserDocumentComplete(browser); });
    connect(browser, &TEmbeddedWB::NewWindow, this,
            [this, browser](const QUrl &url, TEmbeddedWB *&, bool &cancel) { BrowserNewWindow(browser, url, cancel); });
    connect(browser, &TEmbeddedWB::ProgressChange, this, [this](int progress, int maximum) {
        ProgressBar->setRange(0, maximum);
        ProgressBar->setValue(progress);
    });
}

int TChottoWindow2::TabCount() const
{
    return PageControl1->count();
}

TChottoTabSheet *TChottoWindow2::Tab(int index) const
{
    return qobject_cast<TChottoTabSheet *>(PageControl1->widget(index));
}

TChottoTabSheet *TChottoWindow2::ActiveTab() const
{
    return qobject_cast<TChottoTabSheet *>(PageControl1->currentWidget());
}

void TChottoWindow2::actCloseTabExecute()
{
    if (TChottoTabSheet *sheet = ActiveTab())
        FreeTab(sheet);
}

void TChottoWindow2::actCloseAllTabExecute()
{
    TChottoTabSheet *keep = ActiveTab();
    if (!keep)
        return;
    PageControl1->tabBar()->moveTab(PageControl1->currentIndex(), 0);
    while (TabCount() > 1)
        FreeTab(Tab(TabCount() - 1));
}

// A tab still loading leaves the busy count as it goes.
void TChottoWindow2::FreeTab(TChottoTabSheet *sheet)
{
    CountDown(sheet->Browser);
    PageControl1->removeTab(PageControl1->indexOf(sheet));
    delete sheet;   // and its browser with it
}

// The address box shows the URL the active tab was opened with.
void TChottoWindow2::TabChanged(int)
{
    if (TChottoTabSheet *sheet = ActiveTab())
        ComboBox1->setCurrentText(sheet->Browser->OpenedUrl);
}

void TChottoWindow2::SetTabLoading(TChottoTabSheet *sheet, bool loading)
{
    PageControl1->setTabIcon(PageControl1->indexOf(sheet), loading ? LoadingIcon() : QIcon());
}

// A press selects the tab under the pointer (so that the popup menu acts on it); a middle-button
// release closes the active tab.
bool TChottoWindow2::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != PageControl1->tabBar())
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const int index = PageControl1->tabBar()->tabAt(mouse->position().toPoint());
        if (index >= 0 && index < TabCount())
            PageControl1->setCurrentIndex(index);
    } else if (event->type() == QEvent::MouseButtonRelease
               && static_cast<QMouseEvent *>(event)->button() == Qt::MiddleButton) {
        actCloseTabExecute();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// ---- browser events ----

void TChottoWindow2::BrowserTitleChange(TChottoBrowser *browser, const QString &title)
{
    const QString caption = TavuConfig->CHOTTO_SHORTTITLE ? Tavutils::MakeShortCaption(title, TavuConfig->CHOTTO_TITLELEN)
                                                          : title;
    const int index = PageControl1->indexOf(browser->TabSheet);
    PageControl1->setTabText(index, TabText(caption));
    PageControl1->setTabToolTip(index, title);
    browser->TabSheet->Title = title;
}

void TChottoWindow2::BrowserBeforeNavigate(TChottoBrowser *browser)
{
    SetTabLoading(browser->TabSheet, true);
    if (browser->Loading)
        return;   // a redirect of the load already counted
    browser->Loading = true;
    ++busyCount;
    if (busyMovie && busyMovie->state() != QMovie::Running)
        busyMovie->start();
}

void TChottoWindow2::BrowserDocumentComplete(TChottoBrowser *browser)
{
    SetTabLoading(browser->TabSheet, false);
    CountDown(browser);
}

void TChottoWindow2::CountDown(TChottoBrowser *browser)
{
    if (!browser->Loading)
        return;
    browser->Loading = false;
    if (--busyCount < 1) {
        busyCount = 0;
        if (busyMovie) {
            busyMovie->stop();
            busyMovie->jumpToFrame(0);
        }
    }
}

bool TChottoWindow2::IsAnimating() const
{
    return busyMovie && busyMovie->state() == QMovie::Running;
}

// The page's own new window never opens; the link that asked for it is read from the page.
void TChottoWindow2::BrowserNewWindow(TChottoBrowser *browser, const QUrl &url, bool &cancel)
{
    cancel = true;
    browser->ActiveElementHtml([this, browser, requested = url.toString()](const QString &html) {
        QString target = ChottoLinks::NewWindowUrl(html, browser->LocationUrl());
        if (target.isEmpty())   // no link element had the focus: the address the page asked for
            target = ChottoLinks::StripRedirector(requested);
        OpenNewWindowLink(target);
    });
}

void TChottoWindow2::OpenNewWindowLink(const QString &url)
{
    const bool shift = QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier);
    if (TavuConfig->CHECKBBSLINK != shift)
        AskHowToOpen(url);
    else
        OpenUrl(url);
}

void TChottoWindow2::AskHowToOpen(const QString &url)
{
    TUrlDialog dialog(this);
    dialog.SetURL(url);
    dialog.SetNoCrasherCheck(true);
    dialog.CrasherCheck->setEnabled(true);
    dialog.ActivateTab->setEnabled(false);
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted)
        return;
    const QString typed = dialog.GetURL();
    const QString target = dialog.GetCrasherCheck() ? TavuConfig->URL_BCC + typed : typed;
    if (dialog.OpenInVarnelo) {
        if (OnOpenUrl)
            OnOpenUrl(this, target, true);
    } else if (dialog.OpenInBrowser) {
        Urls::OpenUrlExternal(typed);
    } else if (dialog.QuickLook) {
        OpenUrl(target);
    }
}

// The active tab's page goes to the main window: inside the program or to the outside browser.
void TChottoWindow2::HandActiveTab(bool inProgram)
{
    TChottoTabSheet *sheet = ActiveTab();
    if (!sheet || !OnOpenUrl)
        return;
    const QString location = sheet->Browser->LocationUrl();
    OnOpenUrl(sheet->Browser, location.isEmpty() ? sheet->Browser->OpenedUrl : location, inProgram);
}

// ---- the window ----

void TChottoWindow2::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        move(TavuConfig->DESKTOP_CHOTTOWIN_LEFT, TavuConfig->DESKTOP_CHOTTOWIN_TOP);
        resize(TavuConfig->DESKTOP_CHOTTOWIN_WIDTH, TavuConfig->DESKTOP_CHOTTOWIN_HEIGHT);
        shrunk = false;
    }
    QWidget::showEvent(event);
}

// A window hidden while shrunk keeps the height it comes back to, not its title bar.
void TChottoWindow2::hideEvent(QHideEvent *event)
{
    if (!event->spontaneous()) {
        TavuConfig->DESKTOP_CHOTTOWIN_LEFT = x();
        TavuConfig->DESKTOP_CHOTTOWIN_TOP = y();
        TavuConfig->DESKTOP_CHOTTOWIN_WIDTH = width();
        TavuConfig->DESKTOP_CHOTTOWIN_HEIGHT = shrunk ? savedHeight : height();
    }
    QWidget::hideEvent(event);
}

void TChottoWindow2::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isVisible()) {
        if (isActiveWindow())
            FormActivate();
        else
            FormDeactivate();
    }
    QWidget::changeEvent(event);
}

void TChottoWindow2::FormActivate()
{
    setWindowOpacity(1.0);
    if (shrunk) {
        shrunk = false;
        resize(width(), savedHeight);
    }
}

void TChottoWindow2::FormDeactivate()
{
    if (TavuConfig->DESKTOP_CHOTTOWIN_TRANS)
        setWindowOpacity(InactiveOpacity);
    if (shrunk)
        return;   // already down to its title bar: the height to come back to stays
    savedHeight = height();
    if (TavuConfig->DESKTOP_CHOTTOWIN_EXPND) {
        shrunk = true;
        resize(width(), 0);
    }
}

// ---- the main window's side ----

namespace PreviewBrowser {

TChottoWindow2 *Window(TWindowFrameServices &frame, TReadingServices &reading)
{
    static QPointer<TChottoWindow2> kept;
    if (!kept || kept->parent() != frame.Window()) {
        kept = new TChottoWindow2(frame.Window());
        kept->OnOpenUrl = [&reading](QObject *, const QString &url, bool inProgram) {
            if (inProgram)
                reading.OpenThreadUrl(url, true);
            else
                Urls::OpenUrlExternal(url);
        };
    }
    return kept;
}

void ShowUrl(TWindowFrameServices &frame, TReadingServices &reading, const QString &url)
{
    TChottoWindow2 *viewer = Window(frame, reading);
    viewer->OpenUrl(url);
    viewer->show();
    viewer->raise();
}

namespace {

// The browser URL of the one selected thread of the current thread list.
QString SelectedThreadBrowserUrl(const TThreadListServices &threadList)
{
    const QList<TThreadItem *> selected = threadList.SelectedThreads();
    if (selected.size() != 1)
        return QString();
    const TThreadItem *item = selected.first();
    return item && item->BBS ? item->BBS->GetBrowserUrl(item) : QString();
}

}  // namespace

void Bind(TWindowFrameServices &frame, TReadingServices &reading, TThreadListServices &threadList)
{
    frame.BindAction(QStringLiteral("actShowChotto"), frame.Window(), [&frame, &reading] {
        TChottoWindow2 *viewer = Window(frame, reading);
        viewer->show();
        viewer->raise();
    });
    frame.BindAction(QStringLiteral("actThreadListChottoLook"), frame.Window(), [&frame, &reading, &threadList] {
        const QString url = SelectedThreadBrowserUrl(threadList);
        if (!url.isEmpty())
            ShowUrl(frame, reading, url);
    });
}

}  // namespace PreviewBrowser
