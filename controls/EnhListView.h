#pragma once
// TCustomEnhListView: the report list of the program's windows (the base of TqorExtListView).
//
// Beyond a plain list of rows and columns it sorts by a column (on a header click when asked, by
// text or "smart" comparison, or by the owner's comparison), shows the sort column with an arrow in
// the header, batches changes (BeginUpdate/EndUpdate re-sort once at the end), lets the owner draw
// rows and cells itself (Style lvOwnerDrawFixed), finds rows by typing the start of their text in
// the sort column (ColumnSearch), and keeps column widths and the sort in an ini file when asked.
//
// Owner drawing: for every row OnDrawItem comes first; unless it draws the row itself, each cell is
// offered to OnDrawSubItem and otherwise drawn with the painter's brush and pen (the selection
// colours on a selected row), then OnAfterDefaultDrawItem may draw over the result. A handler that is
// set starts with DefaultDrawing false: it draws, or sets DefaultDrawing to have the list draw.

#include "controls/ListViewCompare.h"
#include "controls/ListViewModel.h"
#include "core/SteadyClock.h"

#include <QFlags>
#include <QTreeView>
#include <functional>

class QPainter;
class TIniFile;

enum TListViewStyle { lvStandard, lvOwnerDrawFixed };
enum TAutoColumnSort { acsNoSort, acsSort, acsSortToggle };
enum TAutoSortStyle { assSmart, assDefault };

enum TOwnerDrawStateFlag {
    odSelected = 0x1,
    odFocused = 0x2,     // the row has the focus mark
    odDisabled = 0x4,
    odHotLight = 0x8,    // under the mouse
};
using TOwnerDrawState = QFlags<TOwnerDrawStateFlag>;
Q_DECLARE_OPERATORS_FOR_FLAGS(TOwnerDrawState)

// What the list keeps in its ini file (RegistryKey names the file) when AutoSave is on.
struct TqorEnhLVSaveSettings {
    bool AutoSave = false;
    QString RegistryKey;
    bool SaveColumnSizes = true;
    bool SaveCurrentSort = true;
    bool SaveViewStyle = true;
};

// The view styles of a list view, by their stored codes. This list shows its rows as a report.
enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };

class TCustomEnhListView : public QTreeView {
    Q_OBJECT
public:
    explicit TCustomEnhListView(QWidget *parent = nullptr);
    ~TCustomEnhListView() override;

    virtual QString Version() const;
    TListViewModel *Items() const { return model_; }

    // Columns (0 the caption of a row, n its sub-item n-1).
    int AddColumn(const QString &caption, int width = 50, Qt::Alignment alignment = Qt::AlignLeft);
    int ColumnCount() const;
    void ClearColumns();
    // Every column as wide as its cells, or as its cells and its header caption.
    void ResizeColumns(bool withHeader);

    // Rows.
    int Selected() const;                // the first selected row, -1 none
    QList<int> SelectedRows() const;     // ascending
    void SelectItem(int row);            // selects, focuses and shows the row alone
    void MoveItem(int from, int to);     // the row keeps its selected and focused marks
    void BeginUpdate();
    void EndUpdate();

    // Look.
    TListViewStyle Style() const { return style_; }
    void SetStyle(TListViewStyle style);
    const QList<QPixmap> &SmallImages() const;
    void SetSmallImages(const QList<QPixmap> &images);
    bool RowSelect() const { return rowSelect; }    // the selection covers the whole row
    void SetRowSelect(bool on);
    void SetMultiSelect(bool on);
    void SetReadOnly(bool on);                      // off: F2 or a click on the selected row edits its caption
    int ItemHeight() const;                         // the row height of owner drawing

    // Sorting.
    TAutoColumnSort AutoColumnSort() const { return autoColumnSort; }
    void SetAutoColumnSort(TAutoColumnSort value) { autoColumnSort = value; }
    TAutoSortStyle AutoSortStyle() const { return autoSortStyle; }
    void SetAutoSortStyle(TAutoSortStyle value) { autoSortStyle = value; }
    bool AutoResort() const { return autoResort; }
    void SetAutoResort(bool on) { autoResort = on; }
    bool AutoSortAscending() const { return autoSortAscending; }
    void SetAutoSortAscending(bool on) { autoSortAscending = on; }
    int CurrentSortColumn() const { return sortColumn; }
    void SetCurrentSortColumn(int column);
    bool CurrentSortAscending() const { return sortAscending; }
    void SetCurrentSortAscending(bool ascending);
    bool ShowSortArrows() const { return showSortArrows; }
    void SetShowSortArrows(bool on);
    bool ReverseSortArrows() const { return reverseSortArrows; }
    void SetReverseSortArrows(bool on);
    void SortItems(int column, bool ascending);
    void Resort();      // sorts by the current column now, or at the last EndUpdate

    // Type-ahead in the sort column.
    bool ColumnSearch() const { return columnSearch; }
    void SetColumnSearch(bool on) { columnSearch = on; }
    // Times the pauses between typed keys; a pause of more than a second starts the search afresh.
    TSteadyClock TypeAheadClock = SteadyNowMs;

    TViewStyle ViewStyle() const { return vsReport; }

    // Saved state. Write/ReadSettings use the sections "Columns" ("Sizes"), "Sort" ("SortCol",
    // "Ascending") and "ViewStyle" ("ViewStyle", written only) of any ini; Store/LoadSettings do it on the RegistryKey file when AutoSave is on.
    virtual TqorEnhLVSaveSettings &SaveSettings() { return enhSaveSettings; }
    virtual void WriteSettings(TIniFile &ini);
    virtual bool ReadSettings(const TIniFile &ini);   // true when a saved sort was read
    void StoreSettings();                             // raises EFileError when the file cannot be written
    bool LoadSettings();
    // The columns and properties are set: the saved state is read, or the first column becomes the
    // sort column. Done by the first showing when the owner has not called it before.
    void Loaded();

    // Events (the list itself is the first argument).
    std::function<void(TCustomEnhListView *, QPainter *canvas, int item, const QRect &rect, TOwnerDrawState state,
                       bool &defaultDrawing, bool &fullRowSelect)>
        OnDrawItem;
    std::function<void(TCustomEnhListView *, QPainter *canvas, int item, int subItem, const QRect &rect,
                       TOwnerDrawState state, bool &defaultDrawing)>
        OnDrawSubItem;
    std::function<void(TCustomEnhListView *, QPainter *canvas, int item, const QRect &rect, TOwnerDrawState state)>
        OnAfterDefaultDrawItem;
    std::function<void(TCustomEnhListView *, int &height)> OnMeasureItem;
    std::function<void(TCustomEnhListView *, QPainter *canvas, int column, QRect &rect, bool selected,
                       bool &defaultDrawing)>
        OnDrawHeader;
    std::function<void(TCustomEnhListView *, const TListItem &item1, const TListItem &item2, int sortColumn,
                       TSortAs &sortAs, int &compResult)>
        OnSortItems;
    std::function<void(TCustomEnhListView *, int sortColumn, bool ascending)> OnSortBegin;
    std::function<void(TCustomEnhListView *, int sortColumn, bool ascending)> OnSortFinished;
    std::function<void(TCustomEnhListView *, int column)> OnColumnClick;
    std::function<void(TCustomEnhListView *, int item)> OnEditCanceled;

    // The image a header item shows beside its caption (none here).
    virtual QPixmap HeaderImage(int column, bool &rightOfText) const;

protected:
    void drawRow(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;

    // How a cell of standard drawing looks (the selection of a sub-item without RowSelect).
    virtual void InitCellOption(QStyleOptionViewItem &option, const QModelIndex &index) const;
    virtual void EditCanceled(int row);
    // With AutoSave on, the list writes its state when it goes. The destructor of every class that
    // adds to WriteSettings calls this; the first call (the most derived class) does the work.
    void StoreSettingsOnDestroy();
    TOwnerDrawState RowState(int row) const;

private:
    class TDelegate;
    friend class TDelegate;

    void ColumnClicked(int column);
    void ItemsChanged();
    void RepaintHeader();
    int CompareItems(const TListItem &a, const TListItem &b, int column);
    bool SortApplies(int column) const;
    void DrawOwnerRow(QPainter *painter, const QRect &rowRect, int row, TOwnerDrawState state) const;
    void DrawCell(QPainter *painter, const QRect &rect, int row, int column) const;
    void TypeAhead(const QString &key);
    int FindRow(const QString &prefix, int from, int column) const;
    void RelayoutRows();

    TListViewModel *model_;
    TListViewStyle style_ = lvStandard;
    bool rowSelect = false;
    TAutoColumnSort autoColumnSort = acsNoSort;
    TAutoSortStyle autoSortStyle = assSmart;
    bool autoResort = true;
    bool autoSortAscending = true;
    int sortColumn = -1;
    bool sortAscending = true;
    bool resortPending = false;
    int updateCount = 0;
    bool showSortArrows = false;
    bool reverseSortArrows = false;
    bool columnSearch = false;
    QString searchText;
    qint64 lastSearchKeyAt = 0;   // when the last key of the search text was typed
    TqorEnhLVSaveSettings enhSaveSettings;
    bool loaded = false;
    bool settingsStored = false;
};
