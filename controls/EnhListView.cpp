#include "controls/EnhListView.h"

#include "controls/ListViewHeader.h"
#include "core/Exceptions.h"
#include "core/IniFile.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QtDebug>

namespace {

constexpr int CellTextInset = 4;         // between a cell's edges and its text
constexpr int TypeAheadPauseMs = 1000;   // a longer pause starts the search text afresh

const QString SectionColumns = QStringLiteral("Columns");
const QString SectionSort = QStringLiteral("Sort");
const QString SectionViewStyle = QStringLiteral("ViewStyle");

}

// Rows of standard drawing get their look from the list (InitCellOption); rows of owner drawing
// get the list's row height.
class TCustomEnhListView::TDelegate : public QStyledItemDelegate {
public:
    explicit TDelegate(TCustomEnhListView *view) : QStyledItemDelegate(view), view(view) {}

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        if (view->Style() == lvOwnerDrawFixed)
            size.setHeight(view->ItemHeight());
        return size;
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        view->InitCellOption(*option, index);
    }

private:
    TCustomEnhListView *view;
};

TCustomEnhListView::TCustomEnhListView(QWidget *parent) : QTreeView(parent), model_(new TListViewModel(this))
{
    setHeader(new TListViewHeader(this));
    setModel(model_);
    setItemDelegate(new TDelegate(this));
    header()->setSectionsClickable(true);   // the tree view turns clicks off when it takes the header
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setMouseTracking(true);
    SetReadOnly(false);
    connect(header(), &QHeaderView::sectionClicked, this, &TCustomEnhListView::ColumnClicked);
    connect(model_, &QAbstractItemModel::rowsInserted, this, &TCustomEnhListView::ItemsChanged);
    connect(model_, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &, const QModelIndex &, const QList<int> &roles) {
                if (roles.isEmpty() || roles.contains(Qt::DisplayRole))
                    ItemsChanged();
            });
}

TCustomEnhListView::~TCustomEnhListView()
{
    StoreSettingsOnDestroy();
}

QString TCustomEnhListView::Version() const
{
    return QStringLiteral("TqorEnhListView v3.72");
}

// ---- columns ----

int TCustomEnhListView::AddColumn(const QString &caption, int width, Qt::Alignment alignment)
{
    const int column = model_->AddColumn(caption, alignment);
    setColumnWidth(column, width);
    return column;
}

int TCustomEnhListView::ColumnCount() const
{
    return model_->ColumnCount();
}

void TCustomEnhListView::ClearColumns()
{
    model_->ClearColumns();
}

void TCustomEnhListView::ResizeColumns(bool withHeader)
{
    BeginUpdate();
    for (int column = 0; column < ColumnCount(); ++column) {
        if (withHeader) {
            resizeColumnToContents(column);
            continue;
        }
        const int width = sizeHintForColumn(column);
        if (width >= 0)
            setColumnWidth(column, width);
    }
    EndUpdate();
}

// ---- rows ----

int TCustomEnhListView::Selected() const
{
    const QList<int> rows = SelectedRows();
    return rows.isEmpty() ? -1 : rows.first();
}

QList<int> TCustomEnhListView::SelectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TCustomEnhListView::SelectItem(int row)
{
    if (row < 0 || row >= model_->ItemCount())
        return;
    const QModelIndex index = model_->index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

void TCustomEnhListView::MoveItem(int from, int to)
{
    model_->MoveItem(from, to);   // the selection and the focus mark follow the row
}

void TCustomEnhListView::BeginUpdate()
{
    if (updateCount++ == 0)
        setUpdatesEnabled(false);
}

void TCustomEnhListView::EndUpdate()
{
    if (updateCount == 0)
        return;
    if (--updateCount > 0)
        return;
    setUpdatesEnabled(true);
    if (resortPending)
        Resort();
}

void TCustomEnhListView::ItemsChanged()
{
    if (autoResort && !model_->OwnerData())
        Resort();
}

// ---- look ----

void TCustomEnhListView::SetStyle(TListViewStyle style)
{
    style_ = style;
    RelayoutRows();
}

const QList<QPixmap> &TCustomEnhListView::SmallImages() const
{
    return model_->SmallImages();
}

void TCustomEnhListView::SetSmallImages(const QList<QPixmap> &images)
{
    model_->SetSmallImages(images);
    RelayoutRows();
}

void TCustomEnhListView::SetRowSelect(bool on)
{
    rowSelect = on;
    viewport()->update();
}

void TCustomEnhListView::SetMultiSelect(bool on)
{
    setSelectionMode(on ? ExtendedSelection : SingleSelection);
}

void TCustomEnhListView::SetReadOnly(bool on)
{
    model_->SetEditable(!on);
    setEditTriggers(on ? NoEditTriggers : EditTriggers(EditKeyPressed | SelectedClicked));
}

// The text height plus one, or the height of the small images when they are taller.
int TCustomEnhListView::ItemHeight() const
{
    int height = fontMetrics().height() + 1;
    if (!SmallImages().isEmpty())
        height = std::max(height, SmallImages().first().height());
    if (OnMeasureItem)
        OnMeasureItem(const_cast<TCustomEnhListView *>(this), height);
    return height;
}

void TCustomEnhListView::RelayoutRows()
{
    doItemsLayout();
    viewport()->update();
}

void TCustomEnhListView::changeEvent(QEvent *event)
{
    QTreeView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        RelayoutRows();
}

// ---- sorting ----

void TCustomEnhListView::SetCurrentSortColumn(int column)
{
    if (column == sortColumn)
        return;
    sortColumn = column;
    RepaintHeader();
}

void TCustomEnhListView::SetCurrentSortAscending(bool ascending)
{
    sortAscending = ascending;
    RepaintHeader();
}

void TCustomEnhListView::SetShowSortArrows(bool on)
{
    showSortArrows = on;
    RepaintHeader();
}

void TCustomEnhListView::SetReverseSortArrows(bool on)
{
    reverseSortArrows = on;
    RepaintHeader();
}

void TCustomEnhListView::RepaintHeader()
{
    header()->viewport()->update();
}

void TCustomEnhListView::SortItems(int column, bool ascending)
{
    resortPending = false;
    SetCurrentSortColumn(column);
    SetCurrentSortAscending(ascending);
    if (OnSortBegin)
        OnSortBegin(this, column, ascending);
    if (OnSortItems || (column >= 0 && column < ColumnCount())) {
        const int direction = ascending ? 1 : -1;
        model_->SortItems([&](const TListItem &a, const TListItem &b) {
            return CompareItems(a, b, column) * direction < 0;
        });
    }
    if (OnSortFinished)
        OnSortFinished(this, column, ascending);
}

bool TCustomEnhListView::SortApplies(int column) const
{
    return (autoColumnSort != acsNoSort && column >= 0 && column < ColumnCount()) || bool(OnSortItems);
}

void TCustomEnhListView::Resort()
{
    resortPending = true;
    if (updateCount == 0 && SortApplies(sortColumn))
        SortItems(sortColumn, sortAscending);
}

int TCustomEnhListView::CompareItems(const TListItem &a, const TListItem &b, int column)
{
    if (OnSortItems) {
        TSortAs sortAs = saNone;
        int result = 0;
        OnSortItems(this, a, b, column, sortAs, result);
        return sortAs == saNone ? result : ListViewCompare::CompareAs(sortAs, a.Text(column), b.Text(column));
    }
    if (autoSortStyle == assSmart)
        return ListViewCompare::CompareSmart(a.Text(column), b.Text(column));
    return ListViewCompare::CompareText(a.Text(column), b.Text(column));
}

// The clicked column becomes the sort column in every case, so its arrow shows even when the
// owner sorts the rows itself.
void TCustomEnhListView::ColumnClicked(int column)
{
    if (autoColumnSort == acsSortToggle)
        SetCurrentSortAscending(column == sortColumn ? !sortAscending : autoSortAscending);
    if (OnColumnClick)
        OnColumnClick(this, column);
    if (autoColumnSort != acsNoSort && column < ColumnCount())
        SortItems(column, sortAscending);
    SetCurrentSortColumn(column);
}

// ---- settings ----

void TCustomEnhListView::WriteSettings(TIniFile &ini)
{
    const TqorEnhLVSaveSettings &settings = SaveSettings();
    if (settings.SaveColumnSizes && ColumnCount() > 0) {
        QStringList widths;
        for (int column = 0; column < ColumnCount(); ++column)
            widths.append(QString::number(columnWidth(column)));
        ini.WriteString(SectionColumns, QStringLiteral("Sizes"), widths.join(QLatin1Char(',')));
    }
    if (settings.SaveCurrentSort) {
        ini.WriteInteger(SectionSort, QStringLiteral("SortCol"), sortColumn);
        ini.WriteBool(SectionSort, QStringLiteral("Ascending"), sortAscending);
    }
    if (settings.SaveViewStyle)
        ini.WriteInteger(SectionViewStyle, QStringLiteral("ViewStyle"), ViewStyle());
}

bool TCustomEnhListView::ReadSettings(const TIniFile &ini)
{
    const TqorEnhLVSaveSettings &settings = SaveSettings();
    if (settings.SaveColumnSizes) {
        const QStringList widths = ini.ReadString(SectionColumns, QStringLiteral("Sizes")).split(QLatin1Char(','));
        for (int column = 0; column < std::min(int(widths.size()), ColumnCount()); ++column) {
            bool ok = false;
            const int width = widths[column].trimmed().toInt(&ok);
            if (ok && width >= 0)
                setColumnWidth(column, width);
        }
    }
    if (!settings.SaveCurrentSort || !ini.ValueExists(SectionSort, QStringLiteral("SortCol")))
        return false;
    SetCurrentSortColumn(ini.ReadInteger(SectionSort, QStringLiteral("SortCol"), -1));
    SetCurrentSortAscending(ini.ReadBool(SectionSort, QStringLiteral("Ascending"), autoSortAscending));
    Resort();
    return true;
}

void TCustomEnhListView::StoreSettings()
{
    const TqorEnhLVSaveSettings &settings = SaveSettings();
    if (!settings.AutoSave || settings.RegistryKey.isEmpty())
        return;
    TIniFile ini(settings.RegistryKey);
    WriteSettings(ini);
    ini.UpdateFile();
}

bool TCustomEnhListView::LoadSettings()
{
    const TqorEnhLVSaveSettings &settings = SaveSettings();
    if (!settings.AutoSave || settings.RegistryKey.isEmpty())
        return false;
    const TIniFile ini(settings.RegistryKey);
    return ReadSettings(ini);
}

void TCustomEnhListView::StoreSettingsOnDestroy()
{
    if (settingsStored)
        return;
    settingsStored = true;
    try {
        StoreSettings();
    } catch (const EVarnelo &error) {
        qWarning("%s", qUtf8Printable(error.Message));
    }
}

// A sort column the owner chose before (the list is first shown after the owner's set-up) stays.
void TCustomEnhListView::Loaded()
{
    if (loaded)
        return;
    loaded = true;
    if (SaveSettings().AutoSave && LoadSettings())
        return;
    if (sortColumn < 0 && ColumnCount() > 0) {
        SetCurrentSortColumn(0);
        Resort();
    }
}

void TCustomEnhListView::showEvent(QShowEvent *event)
{
    QTreeView::showEvent(event);
    Loaded();
}

// ---- drawing ----

TOwnerDrawState TCustomEnhListView::RowState(int row) const
{
    TOwnerDrawState state;
    const QModelIndex index = model_->index(row, 0);
    if (selectionModel()->isSelected(index))
        state |= odSelected;
    if (hasFocus() && currentIndex().row() == row)
        state |= odFocused;
    if (!isEnabled())
        state |= odDisabled;
    if (indexAt(viewport()->mapFromGlobal(QCursor::pos())).row() == row && viewport()->underMouse())
        state |= odHotLight;
    return state;
}

void TCustomEnhListView::drawRow(QPainter *painter, const QStyleOptionViewItem &option,
                                 const QModelIndex &index) const
{
    if (style_ == lvOwnerDrawFixed)
        DrawOwnerRow(painter, option.rect, index.row(), RowState(index.row()));
    else
        QTreeView::drawRow(painter, option, index);
}

void TCustomEnhListView::DrawOwnerRow(QPainter *painter, const QRect &rowRect, int row, TOwnerDrawState state) const
{
    auto *self = const_cast<TCustomEnhListView *>(this);
    painter->save();
    painter->setFont(font());
    painter->setBrush(palette().base());
    painter->setPen(palette().color(QPalette::Text));
    bool defaultDrawing = !OnDrawItem;
    bool fullRowSelect = rowSelect;
    if (OnDrawItem)
        OnDrawItem(self, painter, row, rowRect, state, defaultDrawing, fullRowSelect);
    if (defaultDrawing) {
        const QBrush rowBrush = painter->brush();
        const QPen rowPen = painter->pen();
        const QFont rowFont = painter->font();
        for (int position = 0; position < header()->count(); ++position) {
            const int column = header()->logicalIndex(position);
            if (header()->isSectionHidden(column))
                continue;
            painter->setBrush(rowBrush);
            painter->setPen(rowPen);
            painter->setFont(rowFont);
            if (state.testFlag(odSelected) && (fullRowSelect || column == 0)) {
                painter->setBrush(palette().brush(hasFocus() ? QPalette::Highlight : QPalette::Button));
                painter->setPen(palette().color(hasFocus() ? QPalette::HighlightedText : QPalette::ButtonText));
            }
            const QRect cell(columnViewportPosition(column), rowRect.top(), columnWidth(column), rowRect.height());
            bool cellDefault = !OnDrawSubItem;
            if (OnDrawSubItem)
                OnDrawSubItem(self, painter, row, column, cell, state, cellDefault);
            if (cellDefault)
                DrawCell(painter, cell, row, column);
        }
        if (OnAfterDefaultDrawItem)
            OnAfterDefaultDrawItem(self, painter, row, rowRect, state);
    }
    painter->restore();
}

// An owner-data list holds no texts: its owner draws them (OnDrawSubItem).
void TCustomEnhListView::DrawCell(QPainter *painter, const QRect &rect, int row, int column) const
{
    painter->fillRect(rect, painter->brush());
    if (model_->OwnerData())
        return;
    const QRect textRect = rect.adjusted(CellTextInset, 0, -CellTextInset, 0);
    const QString text = painter->fontMetrics().elidedText(model_->CellText(row, column), Qt::ElideRight,
                                                           textRect.width());
    painter->drawText(textRect, model_->ColumnAlignment(column) | Qt::AlignVCenter | Qt::TextSingleLine, text);
}

void TCustomEnhListView::InitCellOption(QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (!rowSelect && index.column() != 0)
        option.state &= ~QStyle::State_Selected;
}

QPixmap TCustomEnhListView::HeaderImage(int, bool &) const
{
    return {};
}

// ---- editing ----

void TCustomEnhListView::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    const int row = currentIndex().row();
    QTreeView::closeEditor(editor, hint);
    if (hint == QAbstractItemDelegate::RevertModelCache)
        EditCanceled(row);
}

void TCustomEnhListView::EditCanceled(int row)
{
    if (OnEditCanceled)
        OnEditCanceled(this, row);
}

// ---- type-ahead ----

void TCustomEnhListView::keyPressEvent(QKeyEvent *event)
{
    const QString text = event->text();
    const bool printable = text.size() == 1 && text[0].unicode() >= 32 && text[0].unicode() <= 127;
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (columnSearch && printable && plain) {
        TypeAhead(text);
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

// Looks in the sort column, from the row after the selected one round to the selected one, for a
// row whose text begins with what was typed. A key that lengthens the search text starts at the
// selected row itself, so a row that still matches stays selected; with nothing selected the
// search starts at the first row. No match: a beep, and the key is forgotten.
void TCustomEnhListView::TypeAhead(const QString &key)
{
    const qint64 now = TypeAheadClock();
    const bool continuing = !searchText.isEmpty() && now - lastSearchKeyAt <= TypeAheadPauseMs;
    lastSearchKeyAt = now;
    const QString before = continuing ? searchText : QString();
    searchText = before + key;
    const int selected = Selected();
    const int from = selected < 0 ? 0 : before.isEmpty() ? selected + 1 : selected;
    const int column = sortColumn >= 0 && sortColumn < ColumnCount() ? sortColumn : 0;
    const int found = FindRow(searchText, from, column);
    if (found < 0) {
        QApplication::beep();
        searchText = before;
        return;
    }
    SelectItem(found);
}

int TCustomEnhListView::FindRow(const QString &prefix, int from, int column) const
{
    const int count = model_->ItemCount();
    for (int i = 0; i < count; ++i) {
        const int row = (from + i) % count;
        if (model_->CellText(row, column).startsWith(prefix, Qt::CaseInsensitive))
            return row;
    }
    return -1;
}
