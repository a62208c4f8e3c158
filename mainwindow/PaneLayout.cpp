#include "mainwindow/PaneLayout.h"

#include "controls/BoardTree.h"
#include "controls/CoolBarLayout.h"
#include "controls/PageScroller.h"
#include "controls/TavuSplitter.h"
#include "controls/WindowEvents.h"
#include "core/TavuConfig.h"
#include "mainwindow/PaneWidgets.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBlock>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

using PaneWidgets::Panel;
using PaneWidgets::TightColumn;

namespace {

// The part of the top splitter the extended thread list takes.
constexpr int ExtThreadListShare = 3;

QToolBar *TabBar(const char *name, QWidget *parent)
{
    auto *bar = new QToolBar(parent);
    bar->setObjectName(QString::fromUtf8(name));
    bar->setIconSize(QSize(16, 16));
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bar->setMovable(false);
    return bar;
}

QToolBar *ActionBar(const char *name, QWidget *parent)
{
    QToolBar *bar = TabBar(name, parent);
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    return bar;
}

// The row above a tab pane: its tab buttons, stretched, and its command bar beside them.
void LayTabRow(QWidget *row, QWidget *tabs, QToolBar *commands)
{
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tabs, 1);
    layout->addWidget(commands);
}

// The tab row above or below its pane (position 0 above, 1 below), and the command bar beside the
// tabs (toolBarPos 1 above, 2 below, 3 left, 4 right of them).
void PlaceTabRow(QWidget *pane, QWidget *tabPanel, QWidget *tabs, QToolBar *tools, int position, int toolBarPos)
{
    auto *paneLayout = static_cast<QBoxLayout *>(pane->layout());
    paneLayout->removeWidget(tabPanel);
    paneLayout->insertWidget(position == 1 ? paneLayout->count() : 0, tabPanel);

    auto *tabLayout = static_cast<QBoxLayout *>(tabPanel->layout());
    tabLayout->removeWidget(tabs);
    tabLayout->removeWidget(tools);
    const bool beside = toolBarPos != 1 && toolBarPos != 2;
    tabLayout->setDirection(beside ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
    const bool toolsFirst = toolBarPos == 1 || toolBarPos == 3;
    // The tab bar is as wide as its buttons; the space left over stays beside it.
    if (toolsFirst)
        tabLayout->addWidget(tools, 0, Qt::AlignLeft);
    tabLayout->addWidget(tabs, 1, Qt::AlignLeft);
    if (!toolsFirst)
        tabLayout->addWidget(tools, 0, Qt::AlignRight);
}

// Hands Enter in the log pane to its handler.
class TLogPaneEnter : public QObject {
public:
    TLogPaneEnter(const std::function<bool(const QString &)> &handler, QObject *parent)
        : QObject(parent), handler(handler)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            return false;
        return handler(static_cast<QPlainTextEdit *>(watched)->textCursor().block().text());
    }

private:
    std::function<bool(const QString &)> handler;
};

int Along(const QSplitter *splitter, const QWidget *widget)
{
    return splitter->orientation() == Qt::Horizontal ? widget->width() : widget->height();
}

}  // namespace

// ---- creation ----

TPaneLayout::TPaneLayout(QMainWindow &window, QWidget *boardPane, QWidget *threadList)
    : window(window), boardPanel(boardPane)
{
    topSplitter = new QSplitter(Qt::Vertical, &window);
    topSplitter->setObjectName(QStringLiteral("TopSplitter"));
    mainSplitter = new TTavuSplitter(Qt::Horizontal, topSplitter);
    mainSplitter->setObjectName(QStringLiteral("BoardListSplitter"));
    mainSplitter->addWidget(boardPane);

    messageSplitter = new QSplitter(Qt::Vertical, mainSplitter);
    messageSplitter->setObjectName(QStringLiteral("MessageSplitter"));
    bodyPanel = Panel("BodyPanel", messageSplitter);
    threadListSplitter = new QSplitter(Qt::Vertical, bodyPanel);
    threadListSplitter->setObjectName(QStringLiteral("ThreadListSplitter"));
    threadListSplitter->addWidget(CreateThreadListPane(threadList));
    threadListSplitter->addWidget(CreateBrowserPane());
    threadListSplitter->setStretchFactor(1, 1);
    TightColumn(bodyPanel)->addWidget(threadListSplitter);
    messageSplitter->addWidget(bodyPanel);
    messageSplitter->addWidget(CreateMessagePane());
    messageSplitter->setStretchFactor(0, 1);
    mainSplitter->addWidget(messageSplitter);
    mainSplitter->setStretchFactor(1, 1);
    mainSplitter->setSizes({200, 800});
    messageSplitter->setSizes({600, 100});
    threadListSplitter->setSizes({220, 380});
    topSplitter->addWidget(mainSplitter);
    window.setCentralWidget(topSplitter);

    connect(mainSplitter, &TTavuSplitter::OnOpen, this, [this] { emit BoardPaneToggled(true); });
    connect(mainSplitter, &TTavuSplitter::OnClose, this, [this] { emit BoardPaneToggled(false); });
    connect(threadListSplitter, &QSplitter::splitterMoved, this, &TPaneLayout::BodySplitterMoved);
}

QWidget *TPaneLayout::CreateThreadListPane(QWidget *threadList)
{
    threadListPanel = Panel("ThreadListPanel", &window);
    threadListTabPanel = Panel("ThreadListTabPanel", threadListPanel);
    threadListBar = TabBar("ThreadListBar", threadListTabPanel);
    pageScroller2 = new TPageScroller(threadListTabPanel);
    pageScroller2->setObjectName(QStringLiteral("PageScroller2"));
    pageScroller2->SetChild(threadListBar);
    threadListTools = ActionBar("ThreadListActToolBar", threadListTabPanel);
    LayTabRow(threadListTabPanel, pageScroller2, threadListTools);

    QVBoxLayout *layout = TightColumn(threadListPanel);
    layout->addWidget(threadListTabPanel);
    layout->addWidget(threadList, 1);
    return threadListPanel;
}

QWidget *TPaneLayout::CreateBrowserPane()
{
    browserPanel = Panel("BrowserPanel", &window);
    browserTabPanel = Panel("BrowserTabPanel", browserPanel);
    browserBar = TabBar("BrowserToolBar", browserTabPanel);
    browserTools = ActionBar("BrowserActToolBar", browserTabPanel);
    LayTabRow(browserTabPanel, browserBar, browserTools);

    browserViewPanel = Panel("BrowserViewPanel", browserPanel);
    browserViewPanel->setAutoFillBackground(true);
    browserViewPanel->setBackgroundRole(QPalette::Base);
    // Beside the tabs the thread information panel, under both the image pane (filled by the
    // thread information unit, commands/ThreadInfoPane.h).
    threadInfoSplitter = new TTavuSplitter(Qt::Horizontal, browserPanel);
    threadInfoSplitter->setObjectName(QStringLiteral("ThreadInfoSplitter"));
    threadInfoSplitter->PaneIndex = 1;
    threadInfoSplitter->addWidget(browserViewPanel);
    threadInfoPanel = Panel("ThreadInfoPanel", threadInfoSplitter);
    threadInfoSplitter->addWidget(threadInfoPanel);
    threadInfoSplitter->setStretchFactor(0, 1);
    imagePaneSplitter = new TTavuSplitter(Qt::Vertical, browserPanel);
    imagePaneSplitter->setObjectName(QStringLiteral("TavuSplitter2"));
    imagePaneSplitter->PaneIndex = 1;
    imagePaneSplitter->addWidget(threadInfoSplitter);
    imagePaneSplitter->setStretchFactor(0, 1);
    QVBoxLayout *layout = TightColumn(browserPanel);
    layout->addWidget(browserTabPanel);
    layout->addWidget(imagePaneSplitter, 1);
    return browserPanel;
}

// The log pane (Memo1) and, beside it, the trace of requests and replies (Memo3).
QWidget *TPaneLayout::CreateMessagePane()
{
    messagePanel = new QTabWidget(&window);
    messagePanel->setObjectName(QStringLiteral("MessagePanel"));
    messagePanel->setTabPosition(QTabWidget::South);
    messagePanel->setDocumentMode(true);
    auto memo = [this](const char *name) {
        auto *edit = new QPlainTextEdit(messagePanel);
        edit->setObjectName(QString::fromUtf8(name));
        edit->setReadOnly(true);
        edit->setLineWrapMode(QPlainTextEdit::NoWrap);
        return edit;
    };
    memo1 = memo("Memo1");
    memo3 = memo("Memo3");
    memo3->setMaximumBlockCount(5000);
    messagePanel->addTab(memo1, QStringLiteral("ログ"));
    messagePanel->addTab(memo3, QStringLiteral("トレース"));
    return messagePanel;
}

QWidget *TPaneLayout::BrowserArea() const
{
    return imagePaneSplitter;
}

// ---- sizes ----

void TPaneLayout::LoadSizes(const QList<QToolBar *> &bands, const TIniFile &ini)
{
    CoolBarLayout::LoadCoolBarLayout({&window, mainSplitter, threadListSplitter, messageSplitter, bands}, ini);
}

void TPaneLayout::SaveSizes(const QList<QToolBar *> &bands, const TActionList &actions, TIniFile &ini)
{
    CoolBarLayout::SaveCoolBarLayout({&window, mainSplitter, threadListSplitter, messageSplitter, bands}, actions, ini);
}

// ---- arranging ----

QWidget *TPaneLayout::BodyPane(TBodyPane pane) const
{
    return pane == TLayoutServices::bpThreadList ? threadListPanel : browserPanel;
}

void TPaneLayout::ShowBoardPane(bool shown)
{
    if (shown)
        mainSplitter->Open();
    else
        mainSplitter->Close();
}

void TPaneLayout::PutBoardPaneRight(bool right)
{
    TTavuSplitter *splitter = mainSplitter;
    const QList<int> sizes = splitter->sizes();
    const int boardSize = sizes.value(splitter->PaneIndex);
    splitter->PaneIndex = right ? 1 : 0;
    splitter->insertWidget(splitter->PaneIndex, boardPanel);
    const int total = sizes.value(0) + sizes.value(1);
    splitter->setSizes(right ? QList<int>{total - boardSize, boardSize} : QList<int>{boardSize, total - boardSize});
}

int TPaneLayout::HideBodyPane(TBodyPane pane)
{
    QWidget *widget = BodyPane(pane);
    const QSplitter *splitter = threadListSplitter;
    const int index = splitter->indexOf(widget);
    const int size = index >= 0 ? splitter->sizes().value(index) : 0;
    const bool wasShown = !widget->isHidden();
    widget->hide();
    return wasShown ? size : 0;
}

void TPaneLayout::ShowBodyPane(TBodyPane pane, int size)
{
    QWidget *widget = BodyPane(pane);
    QSplitter *splitter = threadListSplitter;
    widget->show();
    splitter->refresh();   // the pane's handle comes back before the sizes are given out
    const int index = splitter->indexOf(widget);
    if (index < 0)
        return;
    if (splitter->count() < 2 || splitter->widget(1 - index)->isHidden())
        return;
    const int total = Along(splitter, splitter) - splitter->handleWidth();
    const int given = size > 0 && size < total ? size : total / 2;
    QList<int> sizes = splitter->sizes();
    sizes[index] = given;
    sizes[1 - index] = std::max(total - given, 0);
    splitter->setSizes(sizes);
}

bool TPaneLayout::BodyPaneShown(TBodyPane pane) const
{
    const QWidget *widget = BodyPane(pane);
    const QWidget *tabPanel = pane == TLayoutServices::bpThreadList ? threadListTabPanel : browserTabPanel;
    if (widget->isHidden())
        return false;
    const auto *splitter = qobject_cast<const QSplitter *>(widget->parentWidget());
    if (!splitter)
        return true;   // the extended thread list
    if (splitter->orientation() == Qt::Horizontal)
        return widget->width() >= 1;
    return widget->height() > tabPanel->height() + 2;
}

void TPaneLayout::LayOutBody(bool sideBySide)
{
    QSplitter *splitter = threadListSplitter;
    splitter->setOrientation(sideBySide ? Qt::Horizontal : Qt::Vertical);
    if (splitter->indexOf(threadListPanel) != 0)
        return;   // the extended thread list is elsewhere
    const int total = sideBySide ? bodyPanel->width() : bodyPanel->height();
    splitter->setSizes({total / 2, total - total / 2});
}

void TPaneLayout::SpanThreadList(bool span)
{
    if (!span) {
        threadListSplitter->insertWidget(0, threadListPanel);
        return;
    }
    // Before the window is first shown the splitter has no height yet: the window's counts.
    const int total = std::max(topSplitter->height(), window.height());
    topSplitter->insertWidget(0, threadListPanel);
    topSplitter->setSizes({total / ExtThreadListShare, total - total / ExtThreadListShare});
}

void TPaneLayout::ShowLogPane(bool shown)
{
    messagePanel->setVisible(shown);
}

void TPaneLayout::LayOutTabBar(TBodyPane pane)
{
    BoardTree::UpdateBarWidth(pane == TLayoutServices::bpThreadList ? threadListBar : browserBar);
}

void TPaneLayout::PlaceThreadInfo(QWidget *tabs, QWidget *imagePane, int imagePanePlace)
{
    QWidget *panel = threadInfoPanel;
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tabs);
    TTavuSplitter *infoSplitter = threadInfoSplitter;
    const int width = TavuConfig->DESKTOP_THREADINFOWIDTH;
    infoSplitter->setSizes({std::max(infoSplitter->width() - width, 1), width});
    infoSplitter->SetRememberedSize(width);
    connect(infoSplitter, &TTavuSplitter::OnClose, infoSplitter,
            [infoSplitter] { TavuConfig->DESKTOP_THREADINFOWIDTH = infoSplitter->RememberedSize(); });
    if (imagePanePlace == 1)
        return;
    TTavuSplitter *splitter = imagePaneSplitter;
    if (imagePanePlace == 2) {
        splitter = new TTavuSplitter(Qt::Vertical, panel);
        splitter->setObjectName(QStringLiteral("TavuSplitter3"));
        splitter->PaneIndex = 1;
        layout->replaceWidget(tabs, splitter);
        splitter->addWidget(tabs);
    }
    splitter->addWidget(imagePane);
    splitter->setStretchFactor(0, 1);
    const int height = TavuConfig->DESKTOP_IMAGEPANE_HEIGHT;
    splitter->setSizes({std::max(splitter->height() - height, 1), height});
    splitter->SetRememberedSize(height);
    connect(splitter, &TTavuSplitter::OnClose, splitter,
            [splitter] { TavuConfig->DESKTOP_IMAGEPANE_HEIGHT = splitter->RememberedSize(); });
}

void TPaneLayout::SendLogLinesTo(TWindowEvents &events)
{
    memo1->setReadOnly(false);
    memo1->installEventFilter(
        new TLogPaneEnter([&events](const QString &line) { return events.EnterLogLine(line); }, memo1));
}

int TPaneLayout::ThreadInfoWidth() const
{
    return threadInfoPanel->width();
}

void TPaneLayout::WatchBrowserTabBar(QObject *filter)
{
    browserBar->installEventFilter(filter);
    for (QAbstractButton *button : browserBar->findChildren<QAbstractButton *>())
        button->installEventFilter(filter);
}

// The thread-list tabs sit in their page scroller, whose buttons are SCROLLERSIZE wide.
void TPaneLayout::ApplyTabBarPositions()
{
    pageScroller2->SetButtonSize(TavuConfig->SCROLLERSIZE);
    PlaceTabRow(threadListPanel, threadListTabPanel, pageScroller2, threadListTools, TavuConfig->THREADTAB_POSITION,
                TavuConfig->THREADTAB_TOOLBARPOS);
    PlaceTabRow(browserPanel, browserTabPanel, browserBar, browserTools, TavuConfig->BROWSERTAB_POSITION,
                TavuConfig->BROWSERTAB_TOOLBARPOS);
}
