#include "controls/ExtListView.h"

#include "core/IniFile.h"

#include <QCursor>
#include <QHeaderView>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTextDocument>
#include <QToolTip>

namespace {

constexpr int SystemHoverTimeMs = 400;

const QString SectionColumns = QStringLiteral("Columns");
const QString KeyOrder = QStringLiteral("Order");

// True when the list holds each of 0..count-1 once.
bool IsColumnPermutation(const QList<int> &order, int count)
{
    if (order.size() != count)
        return false;
    QList<bool> seen(count, false);
    for (int column : order) {
        if (column < 0 || column >= count || seen[column])
            return false;
        seen[column] = true;
    }
    return true;
}

}

TCustomExtListView::TCustomExtListView(QWidget *parent) : TCustomEnhListView(parent)
{
    SetExtendedStyles(lvxInfoTip);
    hoverTimer.setSingleShot(true);
    connect(&hoverTimer, &QTimer::timeout, this, &TCustomExtListView::HoverElapsed);
    connect(this, &QAbstractItemView::entered, this, &TCustomExtListView::Hovered);
    connect(this, &QAbstractItemView::activated, this, &TCustomExtListView::ItemActivate);
    connect(this, &QAbstractItemView::clicked, this, &TCustomExtListView::Clicked);
    connect(header(), &QHeaderView::sectionCountChanged, this, &TCustomExtListView::ColumnsChanged);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &TCustomExtListView::SelectionChanged);
    connect(Items(), &TListViewModel::ItemChecked, this, [this](int row, bool checked) {
        if (OnItemChecked)
            OnItemChecked(this, row, checked);
    });
    connect(Items(), &TListViewModel::CaptionEdited, this, [this](int row, const QString &text) {
        if (OnVMCaptionEdited)
            OnVMCaptionEdited(this, row, false, text);
    });
    Items()->OnGetItemInfo = [this](TVMItemInfo &info) {
        if (OnVMGetItemInfo)
            OnVMGetItemInfo(this, info);
    };
    Items()->OnFindItem = [this](const TVMFindInfo &find) {
        int found = -1;
        if (OnVMFindItem)
            OnVMFindItem(this, find, found);
        return found;
    };
}

TCustomExtListView::~TCustomExtListView()
{
    StoreSettingsOnDestroy();
}

QString TCustomExtListView::Version() const
{
    return QStringLiteral("TqorExtListView v3.72");
}

void TCustomExtListView::SetExtendedStyles(TLVExtendedStyles styles)
{
    if (styles.testFlag(lvxUnderlineHot) && !(styles & (lvxOneClickActivate | lvxTwoClickActivate)))
        styles |= lvxOneClickActivate;
    if (styles.testFlag(lvxUnderlineCold))
        styles |= lvxOneClickActivate;
    extendedStyles = styles;
    Items()->SetCheckBoxes(styles.testFlag(lvxCheckboxes));
    Items()->SetSubItemImages(styles.testFlag(lvxSubItemImages));
    header()->setSectionsMovable(styles.testFlag(lvxHeaderDragDrop));
    SetRowSelect(styles.testFlag(lvxFullRowSelect));
}

// ---- virtual mode ----

bool TCustomExtListView::VirtualMode() const
{
    return Items()->OwnerData();
}

void TCustomExtListView::SetVirtualMode(bool on)
{
    Items()->SetOwnerData(on);
}

void TCustomExtListView::SetItemCountEx(int count)
{
    Items()->SetOwnerDataCount(count);
}

void TCustomExtListView::SelectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    if (!VirtualMode() || !OnVMStateChanged)
        return;
    for (const QItemSelectionRange &range : deselected) {
        TVMStateChange change{range.top(), range.bottom(), true, false};
        OnVMStateChanged(this, change);
    }
    for (const QItemSelectionRange &range : selected) {
        TVMStateChange change{range.top(), range.bottom(), false, true};
        OnVMStateChanged(this, change);
    }
}

void TCustomExtListView::paintEvent(QPaintEvent *event)
{
    HintCache();
    TCustomEnhListView::paintEvent(event);
}

// Tells the owner of a virtual list which rows the coming paint shows, when they changed.
void TCustomExtListView::HintCache()
{
    const int count = Items()->ItemCount();
    if (!VirtualMode() || !OnVMCacheHint || count == 0)
        return;
    TVMCacheHint hint;
    hint.From = std::max(indexAt(QPoint(0, 0)).row(), 0);
    hint.To = indexAt(QPoint(0, viewport()->height() - 1)).row();
    if (hint.To < 0)
        hint.To = count - 1;
    if (hint.From == lastHint.From && hint.To == lastHint.To)
        return;
    lastHint = hint;
    OnVMCacheHint(this, hint);
}

void TCustomExtListView::EditCanceled(int row)
{
    if (VirtualMode()) {
        if (OnVMCaptionEdited)
            OnVMCaptionEdited(this, row, true, QString());
        return;
    }
    TCustomEnhListView::EditCanceled(row);
}

// ---- columns ----

TqorExtListColumn TCustomExtListView::ColumnFormat(int column) const
{
    return columnsFormat.value(column);
}

void TCustomExtListView::SetColumnFormat(int column, const TqorExtListColumn &format)
{
    if (column < 0)
        return;
    while (columnsFormat.size() <= column)
        columnsFormat.append(TqorExtListColumn());
    columnsFormat[column] = format;
    ApplyResizeModes();
    header()->viewport()->update();
}

void TCustomExtListView::SetNoColumnResize(bool on)
{
    noColumnResize = on;
    ApplyResizeModes();
}

void TCustomExtListView::ApplyResizeModes()
{
    for (int column = 0; column < header()->count(); ++column) {
        const bool fixed = noColumnResize || !ColumnFormat(column).AllowResize;
        header()->setSectionResizeMode(column, fixed ? QHeaderView::Fixed : QHeaderView::Interactive);
    }
}

void TCustomExtListView::ColumnsChanged()
{
    ApplyResizeModes();
    if (pendingOrder.size() == header()->count()) {
        ApplyColumnOrder(pendingOrder);
        pendingOrder.clear();
    }
}

QList<int> TCustomExtListView::ColumnOrder() const
{
    if (!pendingOrder.isEmpty())
        return pendingOrder;
    QList<int> order;
    for (int position = 0; position < header()->count(); ++position)
        order.append(header()->logicalIndex(position));
    return order;
}

void TCustomExtListView::SetColumnOrder(const QList<int> &order)
{
    if (!IsColumnPermutation(order, int(order.size())))
        return;
    if (order.size() == header()->count()) {
        pendingOrder.clear();
        ApplyColumnOrder(order);
    } else if (order.size() > header()->count()) {
        pendingOrder = order;
    }
}

void TCustomExtListView::ApplyColumnOrder(const QList<int> &order)
{
    for (int position = 0; position < order.size(); ++position)
        header()->moveSection(header()->visualIndex(order[position]), position);
    viewport()->update();
}

int TCustomExtListView::ColumnPosition(int column) const
{
    return header()->visualIndex(column);
}

int TCustomExtListView::ColumnAtPosition(int position) const
{
    return header()->logicalIndex(position);
}

QPixmap TCustomExtListView::HeaderImage(int column, bool &rightOfText) const
{
    const TqorExtListColumn format = ColumnFormat(column);
    rightOfText = format.ImageAlignment == ciaRightOfText;
    return SmallImages().value(format.ImageIndex);
}

// ---- settings ----

void TCustomExtListView::WriteSettings(TIniFile &ini)
{
    TCustomEnhListView::WriteSettings(ini);
    if (!extSaveSettings.SaveColumnOrder || ColumnCount() == 0)
        return;
    QStringList order;
    for (int column : ColumnOrder())
        order.append(QString::number(column));
    ini.WriteString(SectionColumns, KeyOrder, order.join(QLatin1Char(',')));
}

bool TCustomExtListView::ReadSettings(const TIniFile &ini)
{
    const bool sortRead = TCustomEnhListView::ReadSettings(ini);
    if (!extSaveSettings.SaveColumnOrder || !ini.ValueExists(SectionColumns, KeyOrder))
        return sortRead;
    QList<int> order;
    for (const QString &text : ini.ReadString(SectionColumns, KeyOrder).split(QLatin1Char(','))) {
        bool ok = false;
        order.append(text.trimmed().toInt(&ok));
        if (!ok)
            return sortRead;
    }
    SetColumnOrder(order);
    return sortRead;
}

// ---- mouse: activation, marquee, hot tracking ----

void TCustomExtListView::mousePressEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    pressedSelected = index.isValid() && selectionModel()->isSelected(index);
    if (!index.isValid() && event->button() == Qt::LeftButton && selectionMode() != SingleSelection
        && OnMarqueeBegin) {
        bool canBegin = true;
        OnMarqueeBegin(this, canBegin);
        if (!canBegin) {
            event->accept();
            return;
        }
    }
    TCustomEnhListView::mousePressEvent(event);
}

void TCustomExtListView::Clicked()
{
    if (extendedStyles.testFlag(lvxOneClickActivate)
        || (extendedStyles.testFlag(lvxTwoClickActivate) && pressedSelected))
        ItemActivate();
}

void TCustomExtListView::ItemActivate()
{
    if (OnItemActivate)
        OnItemActivate(this);
}

void TCustomExtListView::Hovered(const QModelIndex &index)
{
    if (!extendedStyles.testFlag(lvxTrackSelect))
        return;
    hotIndex = index;
    hoverTimer.start(hoverTime < 0 ? SystemHoverTimeMs : hoverTime);
}

void TCustomExtListView::HoverElapsed()
{
    if (!hotIndex.isValid() || !viewport()->underMouse())
        return;
    int item = hotIndex.row();
    bool allowSelect = true;
    if (OnHotTrack)
        OnHotTrack(this, item, hotIndex.column(), viewport()->mapFromGlobal(QCursor::pos()), allowSelect);
    if (allowSelect)
        SelectItem(item);
}

// ---- tips ----

bool TCustomExtListView::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return TCustomEnhListView::viewportEvent(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const QModelIndex index = indexAt(help->pos());
    const QString tip = index.isValid() ? ItemTip(index.row(), index.column()) : QString();
    // Row texts come from servers: the tip shows them as plain text, never as markup.
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), Qt::convertFromPlainText(tip, Qt::WhiteSpaceNormal), viewport(),
                           visualRect(index));
    return true;
}

QString TCustomExtListView::ItemTip(int row, int column) const
{
    if (extendedStyles.testFlag(lvxInfoTip)) {
        const QString tip = InfoTip(row, column);
        if (!tip.isEmpty())
            return tip;
    }
    if (extendedStyles.testFlag(lvxLabelTip) && TextCut(row, column))
        return Items()->CellText(row, column);
    return {};
}

// The caption when it shows whole, with the owner's text on a line after it; the owner's text alone
// when the caption is cut. Without an owner's handler a list that holds its rows gives the caption.
QString TCustomExtListView::InfoTip(int row, int column) const
{
    const QString caption = Items()->CellText(row, 0);
    if (!OnInfoTip)
        return VirtualMode() ? QString() : caption;
    const QString current = TextCut(row, 0) ? QString() : caption;
    QString additional;
    OnInfoTip(const_cast<TCustomExtListView *>(this), row, column, current, additional);
    if (additional.isEmpty())
        return current;
    return current.isEmpty() ? additional : current + QLatin1Char('\n') + additional;
}

bool TCustomExtListView::TextCut(int row, int column) const
{
    const QModelIndex index = Items()->index(row, column);
    return index.isValid() && sizeHintForIndex(index).width() > columnWidth(column);
}

// ---- look ----

void TCustomExtListView::InitCellOption(QStyleOptionViewItem &option, const QModelIndex &index) const
{
    TCustomEnhListView::InitCellOption(option, index);
    const bool hot = option.state.testFlag(QStyle::State_MouseOver);
    if ((hot && extendedStyles.testFlag(lvxUnderlineHot)) || (!hot && extendedStyles.testFlag(lvxUnderlineCold)))
        option.font.setUnderline(true);
}

void TCustomExtListView::drawRow(QPainter *painter, const QStyleOptionViewItem &option,
                                 const QModelIndex &index) const
{
    TCustomEnhListView::drawRow(painter, option, index);
    if (extendedStyles.testFlag(lvxGridLines))
        DrawGridLines(painter, option.rect);
}

void TCustomExtListView::DrawGridLines(QPainter *painter, const QRect &rowRect) const
{
    painter->save();
    painter->setPen(palette().color(QPalette::Midlight));
    int right = rowRect.left();
    for (int position = 0; position < header()->count(); ++position) {
        const int column = header()->logicalIndex(position);
        if (header()->isSectionHidden(column))
            continue;
        right = columnViewportPosition(column) + columnWidth(column) - 1;
        painter->drawLine(right, rowRect.top(), right, rowRect.bottom());
    }
    painter->drawLine(rowRect.left(), rowRect.bottom(), right, rowRect.bottom());
    painter->restore();
}
