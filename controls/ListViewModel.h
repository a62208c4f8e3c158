#pragma once
// TListViewModel: the columns and rows behind a list view (TCustomEnhListView).
//
// A list either holds its own rows (TListItem: a caption, the texts of the further columns, an image,
// a check mark and the owner's value) or, in owner-data mode, holds only a row count and asks its owner
// for each cell when it is shown (OnGetItemInfo). Changing that count inserts or removes rows at the end,
// so the selection and the scroll position of the view stay where they were.

#include <QAbstractTableModel>
#include <QList>
#include <QPixmap>
#include <QStringList>
#include <QVariant>
#include <functional>

// One row of a list that holds its own rows.
struct TListItem {
    QString Caption;              // column 0
    QStringList SubItems;         // columns 1, 2, ...
    int ImageIndex = -1;          // in the view's small images; -1 none
    QList<int> SubItemImages;     // images of columns 1, 2, ... (shown with sub-item images on)
    bool Checked = false;
    QVariant Data;                // the owner's value

    QString Text(int column) const;   // empty for a column the row has no text for
};

// The parts of a row that an owner-data list asks its owner for.
enum TVMItemMaskFlag : unsigned {
    vmText = 0x1,
    vmImage = 0x2,
    vmParam = 0x4,
    vmState = 0x8,
};

// One question of an owner-data list about a cell; the owner fills in the parts the mask names.
struct TVMItemInfo {
    int Item = 0;
    int SubItem = 0;              // 0 the caption
    unsigned Mask = 0;            // TVMItemMaskFlag bits
    int Image = -1;
    int StateImage = 0;           // with check boxes: 1 an empty box, 2 a checked one
    QVariant Param;
    QString Text;
};

// The list's own key search in owner-data mode: the owner finds the row.
struct TVMFindInfo {
    QString Text;
    int Start = 0;                // the first row to look at
    bool Partial = true;          // the row's text begins with Text (else equals it)
    bool Wrap = true;             // go on from the first row after the last
};

class TListViewModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TListViewModel(QObject *parent = nullptr);

    // Columns. Column 0 is the caption of a row, column n its sub-item n-1.
    int AddColumn(const QString &caption, Qt::Alignment alignment = Qt::AlignLeft);
    void ClearColumns();
    int ColumnCount() const;
    QString ColumnCaption(int column) const;
    void SetColumnCaption(int column, const QString &caption);
    Qt::Alignment ColumnAlignment(int column) const;   // the horizontal part only
    void SetColumnAlignment(int column, Qt::Alignment alignment);

    // Rows. In owner-data mode the rows are the owner's: the row changes do nothing and Item gives
    // a copy filled by the owner.
    int ItemCount() const;
    int AddItem(const TListItem &item);
    void InsertItem(int row, const TListItem &item);
    void DeleteItem(int row);
    void ClearItems();
    TListItem Item(int row) const;
    void SetItem(int row, const TListItem &item);
    QString CellText(int row, int column) const;
    void SetCellText(int row, int column, const QString &text);
    bool Checked(int row) const;
    void SetChecked(int row, bool checked);
    void MoveItem(int from, int to);
    // Orders the rows with a stable sort; the view's selection and current row follow their rows.
    void SortItems(const std::function<bool(const TListItem &, const TListItem &)> &less);
    // Tells the view that the owner's rows first..last have changed (owner data included).
    void UpdateItems(int first, int last);

    // Owner data.
    bool OwnerData() const { return ownerData; }
    void SetOwnerData(bool on);                // drops the rows held; the owner-data count stays
    int OwnerDataCount() const { return ownerDataCount; }
    void SetOwnerDataCount(int count);
    std::function<void(TVMItemInfo &info)> OnGetItemInfo;
    std::function<int(const TVMFindInfo &info)> OnFindItem;   // the row found, or -1

    // How rows are shown.
    void SetCheckBoxes(bool on);
    void SetSubItemImages(bool on);
    void SetEditable(bool on);                 // the caption can be edited in place
    void SetSmallImages(const QList<QPixmap> &images);
    const QList<QPixmap> &SmallImages() const { return smallImages; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QModelIndexList match(const QModelIndex &start, int role, const QVariant &value, int hits,
                          Qt::MatchFlags flags) const override;

signals:
    void ItemChecked(int row, bool checked);
    void CaptionEdited(int row, const QString &text);    // an in-place edit of an owner-data row

private:
    struct TColumn {
        QString Caption;
        Qt::Alignment Alignment;
    };

    TVMItemInfo AskOwner(int row, int column, unsigned mask) const;
    bool ValidRow(int row) const;
    int ImageOf(int row, int column) const;
    QVariant Image(int index) const;

    QList<TColumn> columns;
    QList<TListItem> items;
    QList<QPixmap> smallImages;
    bool ownerData = false;
    int ownerDataCount = 0;
    bool checkBoxes = false;
    bool subItemImages = false;
    bool editable = false;
};
