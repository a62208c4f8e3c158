#include "controls/ShortcutBar.h"

#include "controls/ShortcutData.h"
#include "core/TextList.h"

#include <QContextMenuEvent>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QMenu>
#include <QTimer>

namespace {

constexpr int PanelHeight = 23;
constexpr int PanelWidth = 465;         // a panel's first width
constexpr int ButtonHeight = 22;
constexpr int ScrollButtonWidth = 13;
constexpr int HeaderLeft = 3;          // right of the thin line
constexpr int AreaMargin = 4;          // the row's viewing area without scroll buttons
constexpr int AreaMarginScrolled = 14;

void SetBackground(QWidget *widget, TColor color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, QColor::fromRgba(ColorToQColor(color)));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

}  // namespace

// ---- TTavuShortcutToolButton ----

TTavuShortcutToolButton::TTavuShortcutToolButton(QWidget *parent) : QToolButton(parent)
{
    setAutoRaise(true);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    setFocusPolicy(Qt::NoFocus);
}

void TTavuShortcutToolButton::SetText(const QString &caption)
{
    // A caption shows "&" as it is.
    setText(QString(caption).replace(QLatin1Char('&'), QLatin1String("&&")));
    FitToCaption();
}

void TTavuShortcutToolButton::changeEvent(QEvent *event)
{
    QToolButton::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        FitToCaption();
}

void TTavuShortcutToolButton::FitToCaption()
{
    setFixedSize(sizeHint().width(), ButtonHeight);
}

// ---- TTavuToolBar ----

TTavuToolBar::TTavuToolBar(QWidget *parent) : QWidget(parent)
{
    resize(0, PanelHeight);
}

void TTavuToolBar::AddControl(QWidget *control)
{
    control->setParent(this);
    control->move(width(), 0);
    control->show();
    controls.append(control);
    resize(width() + control->width(), height());
}

void TTavuToolBar::Rearrange()
{
    int left = 0;
    for (QWidget *control : controls) {
        control->move(left, 0);
        left += control->width();
    }
    resize(left, height());
}

void TTavuToolBar::AddSeparator()
{
    auto *separator = new QFrame;
    separator->setFrameShape(QFrame::VLine);
    separator->setFrameShadow(QFrame::Sunken);
    separator->setFixedSize(3, ButtonHeight);
    AddControl(separator);
}

// ---- TTavuShortcutPanel ----

TTavuShortcutPanel::TTavuShortcutPanel(QWidget *parent, bool showLine) : QWidget(parent)
{
    setFixedHeight(PanelHeight);
    resize(PanelWidth, PanelHeight);

    line = new QFrame(this);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(0, 0, 2, PanelHeight);
    line->setVisible(showLine);

    headerButton = new QToolButton(this);
    headerButton->setObjectName(QStringLiteral("HeaderButton"));
    headerButton->setAutoRaise(true);
    headerButton->setFocusPolicy(Qt::NoFocus);
    headerButton->setIconSize(QSize(16, 16));
    headerButton->setGeometry(HeaderLeft, 0, CollapsedWidth - HeaderLeft - 1, PanelHeight);
    connect(headerButton, &QToolButton::clicked, this, [this] {
        if (OnHeaderClick)
            OnHeaderClick(this);
    });

    scrollArea = new QWidget(this);
    viewingArea = new QWidget(scrollArea);
    toolBar = new TTavuToolBar(viewingArea);
    backTimer = new QTimer(this);
    forwardTimer = new QTimer(this);
    backButton = MakeScrollButton(QStringLiteral("BackButton"), backTimer);
    backButton->setArrowType(Qt::LeftArrow);
    forwardButton = MakeScrollButton(QStringLiteral("ForwardButton"), forwardTimer);
    forwardButton->setArrowType(Qt::RightArrow);
    connect(backTimer, &QTimer::timeout, this, &TTavuShortcutPanel::ScrollBack);
    connect(forwardTimer, &QTimer::timeout, this, &TTavuShortcutPanel::ScrollForward);
    SetTabColor(clBtnFace);
}

// A scroll button runs its timer while it is held down.
QToolButton *TTavuShortcutPanel::MakeScrollButton(const QString &name, QTimer *timer)
{
    auto *button = new QToolButton(scrollArea);
    button->setObjectName(name);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(ScrollButtonWidth, PanelHeight);
    timer->setInterval(ScrollInterval);
    connect(button, &QToolButton::pressed, timer, qOverload<>(&QTimer::start));
    connect(button, &QToolButton::released, timer, &QTimer::stop);
    return button;
}

void TTavuShortcutPanel::SetTabName(const QString &name)
{
    tabName = name;
    headerButton->setToolTip(name);
}

void TTavuShortcutPanel::SetTabColor(TColor color)
{
    for (QWidget *widget : {static_cast<QWidget *>(this), scrollArea, static_cast<QWidget *>(toolBar)})
        SetBackground(widget, color);
}

void TTavuShortcutPanel::SetImage(const QPixmap &image)
{
    headerButton->setIcon(QIcon(image));
}

void TTavuShortcutPanel::SetCollapsed(bool value)
{
    collapsed = value;
    scrollArea->setVisible(!value);
    if (value) {
        setFixedWidth(CollapsedWidth);
    } else {
        setMinimumWidth(CollapsedWidth);
        setMaximumWidth(QWIDGETSIZE_MAX);
    }
}

void TTavuShortcutPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    scrollArea->setGeometry(CollapsedWidth, 0, qMax(0, width() - CollapsedWidth), PanelHeight);
    ArrangeScrollArea();
}

void TTavuShortcutPanel::ArrangeScrollArea()
{
    const int areaWidth = scrollArea->width();
    const int plainWidth = qMax(0, areaWidth - 2 * AreaMargin);
    const bool scrolls = toolBar->width() > plainWidth;
    backButton->setVisible(scrolls);
    forwardButton->setVisible(scrolls);
    if (scrolls)
        viewingArea->setGeometry(AreaMarginScrolled, 0, qMax(0, plainWidth - 10), PanelHeight);
    else
        viewingArea->setGeometry(AreaMargin, 0, plainWidth, PanelHeight);
    backButton->move(0, 0);
    forwardButton->move(areaWidth - ScrollButtonWidth, 0);
    backButton->raise();
    forwardButton->raise();
    if (!scrolls)
        toolBar->move(0, 0);
}

void TTavuShortcutPanel::ScrollForward()
{
    if (toolBar->x() + toolBar->width() > viewingArea->width())
        toolBar->move(toolBar->x() - ScrollStep, 0);
}

void TTavuShortcutPanel::ScrollBack()
{
    toolBar->move(qMin(0, toolBar->x() + ScrollStep), 0);
}

// ---- TTavuShortcutBar ----

TTavuShortcutBar::TTavuShortcutBar(QWidget *parent) : QWidget(parent)
{
    setFixedHeight(BarHeight);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 2);
    layout->setSpacing(0);
}

void TTavuShortcutBar::Clear()
{
    activeIndex = -1;
    qDeleteAll(panels);
    panels.clear();
}

void TTavuShortcutBar::LoadFromFile(const QString &fileName)
{
    Clear();
    TTextList file;
    file.LoadFromFile(fileName);
    for (const TShortcutLine &line : ParseShortcutLines(file.Lines)) {
        if (line.IsTab) {
            AddPanel(line.Fields);
            continue;
        }
        quint8 kind = skSeparator;
        if (!ParseShortcutKind(line.Fields[0], kind))
            continue;   // no kind number: nothing to show
        if (kind == skSeparator)
            panels.last()->ToolBar()->AddSeparator();
        else
            AddShortcut(panels.last(), kind, line.Fields);
    }
    for (TTavuShortcutPanel *panel : panels)
        panel->ArrangeScrollArea();
    if (!panels.isEmpty())
        SetActiveIndex(0);
    updateGeometry();
}

QSize TTavuShortcutBar::sizeHint() const
{
    const int collapsed = qMax(0, int(panels.size()) - 1) * TTavuShortcutPanel::CollapsedWidth;
    return QSize(PanelWidth + collapsed, BarHeight);
}

// A new panel, collapsed until it is made active.
TTavuShortcutPanel *TTavuShortcutBar::AddPanel(const QStringList &fields)
{
    auto *panel = new TTavuShortcutPanel(this, !panels.isEmpty());
    panel->SetTabName(fields[0]);
    bool ok = false;
    const TColor color = StringToColor(fields[1], &ok);
    panel->SetTabColor(ok ? color : clBtnFace);
    const QString image = TTabData::ResolveImagePath(fields[2]);
    if (!image.isEmpty() && QFileInfo(image).isFile())
        panel->SetImage(QPixmap(image));
    panel->SetCollapsed(true);
    panel->OnHeaderClick = [this](TTavuShortcutPanel *clicked) { SetActiveIndex(panels.indexOf(clicked)); };
    layout()->addWidget(panel);
    panel->show();
    panels.append(panel);
    return panel;
}

void TTavuShortcutBar::AddShortcut(TTavuShortcutPanel *panel, quint8 kind, const QStringList &fields)
{
    auto *button = new TTavuShortcutToolButton;
    button->Kind = kind;
    button->SetText(fields[1]);
    button->Param1 = fields[2];
    button->Param2 = fields[3];
    button->Param3 = fields[4];
    panel->ToolBar()->AddControl(button);
    connect(button, &QToolButton::clicked, this, [this, button] {
        if (OnShortcutClick)
            OnShortcutClick(button);
    });
    if (OnShortcutCreated)
        OnShortcutCreated(button);
}

void TTavuShortcutBar::SetActiveIndex(int index)
{
    if (index == activeIndex || index < 0 || index >= panels.size())
        return;
    activeIndex = index;
    auto *box = static_cast<QHBoxLayout *>(layout());
    for (int i = 0; i < panels.size(); ++i) {
        panels[i]->SetCollapsed(i != index);
        box->setStretchFactor(panels[i], i == index ? 1 : 0);
    }
}

void TTavuShortcutBar::SetButtonLook(const QFont &font, const QColor &textColor)
{
    setFont(font);   // the buttons take it on and fit their widths to it
    QPalette colours = palette();
    colours.setColor(QPalette::ButtonText, textColor);
    setPalette(colours);
    for (TTavuShortcutPanel *panel : panels) {
        panel->ToolBar()->Rearrange();
        panel->ArrangeScrollArea();
    }
}

void TTavuShortcutBar::contextMenuEvent(QContextMenuEvent *event)
{
    if (PopupMenu)
        PopupMenu->popup(event->globalPos());
}
