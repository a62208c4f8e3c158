#pragma once
// TCustomExtListView and TqorExtListView: the list view every window of the program places.
//
// It adds to TCustomEnhListView the extended styles (grid lines, check boxes, full-row selection,
// movable columns, activation by one or two clicks, tips, hot tracking...), the virtual mode in
// which the owner keeps the rows and the list only knows their count (SetItemCountEx keeps the
// selection and the scroll position), info tips, check notifications, the column order and per-column
// header images and resize options. The column order is kept with the other saved settings
// ("Columns", "Order").

#include "controls/EnhListView.h"

#include <QTimer>

enum TLVExtendedStyle {
    lvxGridLines = 0x0001,
    lvxSubItemImages = 0x0002,
    lvxCheckboxes = 0x0004,
    lvxTrackSelect = 0x0008,        // resting the mouse on a row selects it
    lvxHeaderDragDrop = 0x0010,     // columns can be moved
    lvxFullRowSelect = 0x0020,
    lvxOneClickActivate = 0x0040,
    lvxTwoClickActivate = 0x0080,   // a click on a selected row activates it
    lvxFlatScrollBar = 0x0100,      // no flat scroll bars here: kept for the owners that ask
    lvxInfoTip = 0x0200,
    lvxUnderlineHot = 0x0400,
    lvxUnderlineCold = 0x0800,
    lvxLabelTip = 0x1000,           // a cut text shows whole in a tip
};
using TLVExtendedStyles = QFlags<TLVExtendedStyle>;
Q_DECLARE_OPERATORS_FOR_FLAGS(TLVExtendedStyles)

enum TColumnImageAlign { ciaLeftOfText, ciaRightOfText };

// How one column's header item looks and behaves.
struct TqorExtListColumn {
    int ImageIndex = -1;            // in the small images; -1 none
    TColumnImageAlign ImageAlignment = ciaRightOfText;
    bool AllowResize = true;
};

struct TqorExtLVSaveSettings : TqorEnhLVSaveSettings {
    bool SaveColumnOrder = true;
};

// The rows a virtual list is about to show.
struct TVMCacheHint {
    int From = 0;
    int To = -1;
};

// Rows first..last of a virtual list were selected or unselected.
struct TVMStateChange {
    int From = 0;
    int To = -1;
    bool OldSelected = false;
    bool NewSelected = false;
};

class TCustomExtListView : public TCustomEnhListView {
    Q_OBJECT
public:
    explicit TCustomExtListView(QWidget *parent = nullptr);
    ~TCustomExtListView() override;

    QString Version() const override;

    TLVExtendedStyles ExtendedStyles() const { return extendedStyles; }
    // lvxUnderlineHot brings one-click activation unless an activation style is set; lvxUnderlineCold
    // always brings it.
    void SetExtendedStyles(TLVExtendedStyles styles);
    bool VirtualMode() const;
    void SetVirtualMode(bool on);          // drops the rows held; a row count set before stays
    void SetItemCountEx(int count);        // the virtual row count; selection and scroll position stay
    int HoverTime() const { return hoverTime; }   // -1 the system's
    void SetHoverTime(int ms) { hoverTime = ms; }
    bool NoColumnResize() const { return noColumnResize; }
    void SetNoColumnResize(bool on);

    TqorExtListColumn ColumnFormat(int column) const;
    void SetColumnFormat(int column, const TqorExtListColumn &format);

    // The columns in display order. An order for columns not added yet is kept until they are;
    // an order that is not one of the columns each once is ignored.
    QList<int> ColumnOrder() const;
    void SetColumnOrder(const QList<int> &order);
    int ColumnPosition(int column) const;      // the display position of a column
    int ColumnAtPosition(int position) const;  // the column shown at a display position

    TqorExtLVSaveSettings &SaveSettings() override { return extSaveSettings; }
    void WriteSettings(TIniFile &ini) override;
    bool ReadSettings(const TIniFile &ini) override;
    QPixmap HeaderImage(int column, bool &rightOfText) const override;

    // Events (the list itself is the first argument).
    std::function<void(TCustomExtListView *, int item, bool checked)> OnItemChecked;
    std::function<void(TCustomExtListView *, bool &canBegin)> OnMarqueeBegin;
    std::function<void(TCustomExtListView *)> OnItemActivate;
    std::function<void(TCustomExtListView *, int &item, int subItem, const QPoint &location, bool &allowSelect)>
        OnHotTrack;
    // currentText is the row's caption when it shows whole, else empty; additionalText becomes the
    // tip (after the caption, on a line of its own).
    std::function<void(TCustomExtListView *, int item, int subItem, const QString &currentText,
                       QString &additionalText)>
        OnInfoTip;
    std::function<void(TCustomExtListView *, TVMItemInfo &info)> OnVMGetItemInfo;
    std::function<void(TCustomExtListView *, TVMCacheHint &hint)> OnVMCacheHint;
    std::function<void(TCustomExtListView *, const TVMFindInfo &find, int &found)> OnVMFindItem;
    std::function<void(TCustomExtListView *, TVMStateChange &change)> OnVMStateChanged;
    std::function<void(TCustomExtListView *, int item, bool canceled, const QString &text)> OnVMCaptionEdited;

    QString ItemTip(int row, int column) const;   // the tip shown over a cell, empty for none

protected:
    void drawRow(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void paintEvent(QPaintEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void InitCellOption(QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void EditCanceled(int row) override;

private:
    void ColumnsChanged();
    void ApplyColumnOrder(const QList<int> &order);
    void ApplyResizeModes();
    void SelectionChanged(const QItemSelection &selected, const QItemSelection &deselected);
    void Clicked();
    void ItemActivate();
    void Hovered(const QModelIndex &index);
    void HoverElapsed();
    void HintCache();
    QString InfoTip(int row, int column) const;
    bool TextCut(int row, int column) const;
    void DrawGridLines(QPainter *painter, const QRect &rowRect) const;

    TLVExtendedStyles extendedStyles;
    int hoverTime = -1;
    bool noColumnResize = false;
    QList<TqorExtListColumn> columnsFormat;
    QList<int> pendingOrder;
    TqorExtLVSaveSettings extSaveSettings;
    QTimer hoverTimer;
    QPersistentModelIndex hotIndex;
    bool pressedSelected = false;
    TVMCacheHint lastHint;
};

class TqorExtListView : public TCustomExtListView {
    Q_OBJECT
public:
    using TCustomExtListView::TCustomExtListView;
};
