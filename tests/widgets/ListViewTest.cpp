// The list views: sorting and its comparisons, owner data, type-ahead, column order and saved
// settings, check boxes, owner drawing and tips.

#include "controls/ExtListView.h"
#include "controls/ListViewCompare.h"
#include "core/IniFile.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QToolTip>

namespace {

TListItem Row(const QString &caption, const QStringList &subItems = {})
{
    TListItem item;
    item.Caption = caption;
    item.SubItems = subItems;
    return item;
}

// A shown list with the columns "Name", "Size", "Date" and the given rows.
std::unique_ptr<TqorExtListView> MakeList(const QList<TListItem> &rows)
{
    auto view = std::make_unique<TqorExtListView>();
    view->resize(500, 300);
    view->AddColumn(QStringLiteral("Name"), 120);
    view->AddColumn(QStringLiteral("Size"), 80, Qt::AlignRight);
    view->AddColumn(QStringLiteral("Date"), 140);
    for (const TListItem &row : rows)
        view->Items()->AddItem(row);
    view->show();
    QApplication::processEvents();
    return view;
}

QStringList ColumnTexts(const TCustomEnhListView &view, int column)
{
    QStringList texts;
    for (int row = 0; row < view.Items()->ItemCount(); ++row)
        texts.append(view.Items()->CellText(row, column));
    return texts;
}

void ClickHeader(TCustomEnhListView &view, int column)
{
    QHeaderView *header = view.header();
    const QPoint pos(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    const QPoint global = header->viewport()->mapToGlobal(pos);
    QMouseEvent press(QEvent::MouseButtonPress, pos, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(header->viewport(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, pos, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(header->viewport(), &release);
}

void Type(QWidget &widget, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(&widget, &key);
    }
}

const QList<TListItem> Files = {
    Row("delta", {"10", "2024/01/05 10:00"}),
    Row("Alpha", {"9", "2023/12/31 23:59"}),
    Row("charlie", {"1,200", "2024/01/05 09:30"}),
    Row("bravo", {"100", "2022/06/01"}),
};

}

// ---- comparisons ----

TEST(ListViewCompare, NumbersCompareAsNumbersAndTextsIgnoringCaseFirst)
{
    using namespace ListViewCompare;
    EXPECT_LT(CompareSmart("9", "10"), 0);
    EXPECT_GT(CompareText("9", "10"), 0);
    EXPECT_GT(CompareSmart("1,234.5", "999"), 0);    // thousand separators
    EXPECT_LT(CompareSmart("12 件", "101 件"), 0);  // cut at the first blank
    EXPECT_LT(CompareSmart("-3", "2"), 0);
    EXPECT_LT(CompareSmart("apple", "Banana"), 0);
    EXPECT_LT(CompareSmart("Banana", "cherry"), 0);
    EXPECT_NE(CompareText("a", "A"), 0);             // case still tells equal words apart
    EXPECT_LT(CompareSmart("10", "abc"), 0);         // not both numbers: as texts
    EXPECT_GT(CompareSmart("nan", "5"), 0);          // "nan" is no number
    double value = 0;
    EXPECT_FALSE(TextToNumber("", value));
    EXPECT_FALSE(TextToNumber("1,2,x", value));
}

TEST(ListViewCompare, DatesAndTimesCompareByValue)
{
    using namespace ListViewCompare;
    EXPECT_LT(CompareSmart("2023/12/31", "2024/1/5"), 0);
    EXPECT_LT(CompareSmart("2024/01/05 9:30", "2024/01/05 10:00"), 0);   // "9:30" > "10:00" as text
    EXPECT_LT(CompareSmart("9:05:01", "10:00"), 0);
    EXPECT_GT(CompareSmart("2024/02/30", "2024/01/01"), 0);  // no such day: compared as text
    QDateTime value;
    EXPECT_FALSE(TextToDateTime("2024/13/01", value));
    EXPECT_FALSE(TextToDateTime("12:75", value));
    EXPECT_LT(CompareAs(saNumeric, "x", "1"), 0);             // no number counts as 0
    EXPECT_LT(CompareAs(saDateTime, "never", "2000/01/01"), 0);
    EXPECT_EQ(CompareAs(saNone, "a", "b"), 0);
}

// ---- sorting ----

TEST(ListViewSort, HeaderClicksSortSmartlyAndToggle)
{
    auto view = MakeList(Files);
    view->SetAutoColumnSort(acsSortToggle);
    view->SetShowSortArrows(true);
    view->SelectItem(1);   // "Alpha" keeps its selection through every sort

    ClickHeader(*view, 1);
    EXPECT_EQ(ColumnTexts(*view, 1), QStringList({"9", "10", "100", "1,200"}));
    EXPECT_TRUE(view->CurrentSortAscending());
    ClickHeader(*view, 1);
    EXPECT_EQ(ColumnTexts(*view, 1), QStringList({"1,200", "100", "10", "9"}));
    EXPECT_FALSE(view->CurrentSortAscending());
    ClickHeader(*view, 1);
    EXPECT_TRUE(view->CurrentSortAscending());   // twice: back to the first direction

    ClickHeader(*view, 2);
    EXPECT_EQ(ColumnTexts(*view, 0), QStringList({"bravo", "Alpha", "charlie", "delta"}));
    ClickHeader(*view, 0);
    EXPECT_EQ(ColumnTexts(*view, 0), QStringList({"Alpha", "bravo", "charlie", "delta"}));
    EXPECT_EQ(view->CurrentSortColumn(), 0);
    EXPECT_EQ(view->Items()->CellText(view->Selected(), 0), "Alpha");
    EXPECT_EQ(view->SelectedRows().size(), 1);
    view->MoveItem(0, 3);   // the moved row keeps its selection and focus
    EXPECT_EQ(ColumnTexts(*view, 0), QStringList({"bravo", "charlie", "delta", "Alpha"}));
    EXPECT_EQ(view->SelectedRows(), QList<int>{3});
    EXPECT_EQ(view->currentIndex().row(), 3);
    view->MoveItem(3, 0);

    view->SetAutoSortStyle(assDefault);
    view->SortItems(1, true);
    EXPECT_EQ(ColumnTexts(*view, 1), QStringList({"1,200", "10", "100", "9"}));
}

TEST(ListViewSort, OwnerSortingAndColumnsBeyondTheList)
{
    auto view = MakeList(Files);
    QList<int> clicked;
    view->OnColumnClick = [&](TCustomEnhListView *, int column) { clicked.append(column); };

    ClickHeader(*view, 1);   // no automatic sort: the order stays, the sort column moves
    EXPECT_EQ(clicked, QList<int>{1});
    EXPECT_EQ(view->CurrentSortColumn(), 1);
    EXPECT_EQ(ColumnTexts(*view, 0), QStringList({"delta", "Alpha", "charlie", "bravo"}));

    view->SortItems(7, true);   // no such column
    EXPECT_EQ(ColumnTexts(*view, 0), QStringList({"delta", "Alpha", "charlie", "bravo"}));

    view->OnSortItems = [](TCustomEnhListView *, const TListItem &a, const TListItem &b, int column, TSortAs &sortAs,
                           int &result) {
        if (column == 7)
            result = int(a.Caption.size()) - int(b.Caption.size());
        else
            sortAs = saNumeric;
    };
    view->SortItems(7, true);
    EXPECT_EQ(ColumnTexts(*view, 0), QStringList({"delta", "Alpha", "bravo", "charlie"}));
    view->SortItems(1, false);   // "1,200" reads as 1200
    EXPECT_EQ(ColumnTexts(*view, 1), QStringList({"1,200", "100", "10", "9"}));
}

TEST(ListViewSort, UpdatesSortOnceAtTheEnd)
{
    auto view = MakeList({});
    view->SetAutoColumnSort(acsSort);
    view->Loaded();   // the first column becomes the sort column
    int sorts = 0;
    view->OnSortBegin = [&](TCustomEnhListView *, int, bool) { ++sorts; };

    view->BeginUpdate();
    view->BeginUpdate();
    for (const TListItem &row : Files)
        view->Items()->AddItem(row);
    view->EndUpdate();
    EXPECT_EQ(sorts, 0);
    view->EndUpdate();
    EXPECT_EQ(sorts, 1);
    EXPECT_EQ(ColumnTexts(*view, 0), QStringList({"Alpha", "bravo", "charlie", "delta"}));

    view->EndUpdate();   // unmatched: the count stays at 0
    view->BeginUpdate();
    view->Items()->SetCellText(0, 0, "zulu");
    EXPECT_EQ(sorts, 1);
    view->EndUpdate();
    EXPECT_EQ(ColumnTexts(*view, 0).last(), "zulu");

    view->Items()->AddItem(Row("aardvark"));   // outside an update: at once
    EXPECT_EQ(ColumnTexts(*view, 0).first(), "aardvark");
}

// ---- owner data ----

TEST(ListViewOwnerData, RowCountChangesKeepSelectionAndScroll)
{
    auto view = std::make_unique<TqorExtListView>();
    view->resize(400, 200);
    view->AddColumn("No");
    view->SetItemCountEx(200);   // before virtual mode: applied when it starts
    view->SetVirtualMode(true);
    view->SetMultiSelect(true);
    view->OnVMGetItemInfo = [](TCustomExtListView *, TVMItemInfo &info) {
        info.Text = QStringLiteral("row %1").arg(info.Item);
        info.Param = info.Item * 10;
    };
    TVMCacheHint hint;
    view->OnVMCacheHint = [&](TCustomExtListView *, TVMCacheHint &asked) { hint = asked; };
    QList<int> selectedRanges;
    view->OnVMStateChanged = [&](TCustomExtListView *, TVMStateChange &change) {
        if (change.NewSelected)
            selectedRanges << change.From << change.To;
    };
    view->show();
    QApplication::processEvents();
    ASSERT_EQ(view->model()->rowCount(), 200);
    view->viewport()->grab();
    EXPECT_EQ(hint.From, 0);
    EXPECT_GT(hint.To, 0);
    EXPECT_LT(hint.To, 199);

    view->SelectItem(150);
    view->selectionModel()->select(view->model()->index(40, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(selectedRanges, QList<int>({150, 150, 40, 40}));
    view->verticalScrollBar()->setValue(120);
    QApplication::processEvents();
    const int scroll = view->verticalScrollBar()->value();
    ASSERT_GT(scroll, 0);
    view->viewport()->grab();
    EXPECT_EQ(hint.From, view->indexAt(QPoint(0, 0)).row());
    EXPECT_GT(hint.From, 0);

    view->SetItemCountEx(300);
    QApplication::processEvents();
    EXPECT_EQ(view->SelectedRows(), QList<int>({40, 150}));
    EXPECT_EQ(view->currentIndex().row(), 150);
    EXPECT_EQ(view->verticalScrollBar()->value(), scroll);

    view->SetItemCountEx(160);
    QApplication::processEvents();
    EXPECT_EQ(view->SelectedRows(), QList<int>({40, 150}));
    EXPECT_EQ(view->verticalScrollBar()->value(), scroll);

    view->SetItemCountEx(100);   // row 150 goes, row 40 stays
    EXPECT_EQ(view->SelectedRows(), QList<int>{40});
    EXPECT_EQ(view->Items()->Item(42).Caption, "row 42");
    EXPECT_EQ(view->Items()->Item(42).Data.toInt(), 420);
}

TEST(ListViewOwnerData, KeySearchAsksTheOwner)
{
    const auto makeList = [] {
        auto view = std::make_unique<TqorExtListView>();
        view->AddColumn("No");
        view->SetVirtualMode(true);
        view->SetItemCountEx(50);
        return view;
    };
    auto unanswered = makeList();
    unanswered->keyboardSearch("row");   // no handler: nothing found
    EXPECT_EQ(unanswered->Selected(), -1);

    auto view = makeList();
    TVMFindInfo asked;
    view->OnVMFindItem = [&](TCustomExtListView *, const TVMFindInfo &find, int &found) {
        asked = find;
        found = 33;
    };
    view->keyboardSearch("r");
    EXPECT_EQ(asked.Text, "r");
    EXPECT_TRUE(asked.Partial);
    EXPECT_EQ(view->Selected(), 33);
}

// ---- type-ahead ----

TEST(ListViewTypeAhead, FindsTheNextMatchInTheSortColumn)
{
    auto view = MakeList({Row("a1", {"Beta"}), Row("a2", {"apple"}), Row("a3", {"Bear"}), Row("a4", {"banana"}),
                          Row("a5", {"cherry"})});
    view->SetColumnSearch(true);
    view->SetCurrentSortColumn(1);
    qint64 now = 0;
    view->TypeAheadClock = [&now] { return now; };

    Type(*view, "b");   // nothing selected: from the first row
    EXPECT_EQ(view->Selected(), 0);
    Type(*view, "e");   // "be": the selected row still matches and stays
    EXPECT_EQ(view->Selected(), 0);
    now += 1000;   // a pause of a second still continues
    Type(*view, "a");   // "bea"
    EXPECT_EQ(view->Selected(), 2);
    Type(*view, "x");   // "beax" matches nothing: the selection stays and "x" is forgotten
    EXPECT_EQ(view->Selected(), 2);
    Type(*view, "r");   // "bear"
    EXPECT_EQ(view->Selected(), 2);

    now += 1001;   // a longer pause starts afresh, after the selected row, wrapping round
    Type(*view, "B");
    EXPECT_EQ(view->Selected(), 3);
    now += 1001;
    Type(*view, "b");
    EXPECT_EQ(view->Selected(), 0);
}

// ---- column order and saved settings ----

TEST(ListViewSettings, ColumnOrderWidthsAndSortRoundTrip)
{
    auto view = MakeList(Files);
    view->SetExtendedStyles(lvxHeaderDragDrop | lvxFullRowSelect);
    view->setColumnWidth(1, 77);
    view->SetColumnOrder({2, 0, 1});
    view->SortItems(2, false);
    EXPECT_EQ(view->ColumnOrder(), QList<int>({2, 0, 1}));
    EXPECT_EQ(view->ColumnAtPosition(0), 2);
    EXPECT_EQ(view->ColumnPosition(1), 2);

    TIniFile ini;
    view->WriteSettings(ini);
    EXPECT_EQ(ini.ReadString("Columns", "Sizes"), "120,77,140");
    EXPECT_EQ(ini.ReadString("Columns", "Order"), "2,0,1");
    EXPECT_EQ(ini.ReadInteger("Sort", "SortCol"), 2);
    EXPECT_FALSE(ini.ReadBool("Sort", "Ascending", true));
    EXPECT_EQ(ini.ReadInteger("ViewStyle", "ViewStyle", -1), int(vsReport));
    view->SaveSettings().SaveViewStyle = false;
    TIniFile withoutStyle;
    view->WriteSettings(withoutStyle);
    EXPECT_FALSE(withoutStyle.ValueExists("ViewStyle", "ViewStyle"));

    TIniFile copy;
    copy.SetText(ini.Text());
    auto restored = MakeList(Files);
    restored->SetAutoColumnSort(acsSort);
    EXPECT_TRUE(restored->ReadSettings(copy));
    EXPECT_EQ(restored->ColumnOrder(), QList<int>({2, 0, 1}));
    EXPECT_EQ(restored->columnWidth(1), 77);
    EXPECT_EQ(restored->CurrentSortColumn(), 2);
    EXPECT_EQ(ColumnTexts(*restored, 0), ColumnTexts(*view, 0));
}

TEST(ListViewSettings, BadOrdersAreIgnoredAndEarlyOrdersWait)
{
    auto view = MakeList(Files);
    view->SetColumnOrder({1, 1, 0});
    view->SetColumnOrder({0, 1});
    view->SetColumnOrder({0, 1, 3});
    EXPECT_EQ(view->ColumnOrder(), QList<int>({0, 1, 2}));
    TIniFile bad;
    bad.SetText("[Columns]\r\nOrder=2,x,1\r\nSizes=50,,abc,90\r\n");
    EXPECT_FALSE(view->ReadSettings(bad));
    EXPECT_EQ(view->ColumnOrder(), QList<int>({0, 1, 2}));
    EXPECT_EQ(view->columnWidth(0), 50);
    EXPECT_EQ(view->columnWidth(1), 80);
    EXPECT_EQ(view->columnWidth(2), 140);

    TqorExtListView early;
    early.SetColumnOrder({1, 2, 0});   // kept until the columns are there
    early.AddColumn("a");
    early.AddColumn("b");
    EXPECT_EQ(early.ColumnOrder(), QList<int>({1, 2, 0}));
    early.AddColumn("c");
    EXPECT_EQ(early.ColumnAtPosition(0), 1);
    EXPECT_EQ(early.ColumnOrder(), QList<int>({1, 2, 0}));
}

TEST(ListViewSettings, AutoSaveWritesTheIniFileWhenTheListGoes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.ini"));
    {
        auto view = MakeList(Files);
        view->SaveSettings().AutoSave = true;
        view->SaveSettings().RegistryKey = path;
        view->SetColumnOrder({1, 2, 0});
    }
    TIniFile saved(path);
    EXPECT_EQ(saved.ReadString("Columns", "Order"), "1,2,0");
    TqorExtListView view;   // read when first shown
    view.SaveSettings().AutoSave = true;
    view.SaveSettings().RegistryKey = path;
    for (const char *caption : {"a", "b", "c"})
        view.AddColumn(caption);
    view.show();
    EXPECT_EQ(view.ColumnOrder(), QList<int>({1, 2, 0}));
    view.SaveSettings().AutoSave = false;
}

// ---- check boxes ----

TEST(ListViewCheckBoxes, CheckingFiresOnceAndSelectionFiresNothing)
{
    auto view = MakeList(Files);
    view->SetExtendedStyles(lvxCheckboxes | lvxFullRowSelect);
    QList<QPair<int, bool>> checks;
    view->OnItemChecked = [&](TCustomExtListView *, int row, bool checked) { checks.append({row, checked}); };

    view->SelectItem(2);
    view->SelectItem(1);
    EXPECT_TRUE(checks.isEmpty());
    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ");
    QApplication::sendEvent(view.get(), &space);
    EXPECT_EQ(checks, (QList<QPair<int, bool>>{{1, true}}));
    EXPECT_TRUE(view->Items()->Checked(1));
    EXPECT_EQ(view->model()->data(view->model()->index(1, 0), Qt::CheckStateRole).toInt(), Qt::Checked);

    view->Items()->SetChecked(1, true);   // no change, no event
    view->Items()->SetChecked(3, true);
    view->Items()->SetChecked(1, false);
    EXPECT_EQ(checks, (QList<QPair<int, bool>>{{1, true}, {3, true}, {1, false}}));

    view->SetAutoColumnSort(acsSort);
    view->SortItems(0, true);   // the marks go with their rows
    EXPECT_TRUE(view->Items()->Checked(ColumnTexts(*view, 0).indexOf("bravo")));
    EXPECT_FALSE(view->Items()->Checked(ColumnTexts(*view, 0).indexOf("Alpha")));
}

// ---- owner drawing ----

TEST(ListViewOwnerDraw, RowColoursCellsAndSelection)
{
    auto view = MakeList(Files);
    view->SetStyle(lvOwnerDrawFixed);
    view->OnMeasureItem = [](TCustomEnhListView *, int &height) { height = 24; };
    view->SetStyle(lvOwnerDrawFixed);
    QStringList order;
    view->OnDrawItem = [&](TCustomEnhListView *, QPainter *canvas, int row, const QRect &, TOwnerDrawState,
                           bool &defaultDrawing, bool &fullRowSelect) {
        order.append(QStringLiteral("item %1").arg(row));
        canvas->setBrush(QColor(row % 2 ? Qt::yellow : Qt::cyan));
        defaultDrawing = true;
        fullRowSelect = false;
    };
    view->OnDrawSubItem = [&](TCustomEnhListView *, QPainter *, int row, int column, const QRect &, TOwnerDrawState,
                              bool &defaultDrawing) {
        order.append(QStringLiteral("cell %1.%2").arg(row).arg(column));
        defaultDrawing = column != 2;   // the owner leaves column 2 blank
    };
    view->OnAfterDefaultDrawItem = [&](TCustomEnhListView *, QPainter *, int row, const QRect &, TOwnerDrawState) {
        order.append(QStringLiteral("after %1").arg(row));
    };
    view->SelectItem(1);
    view->clearFocus();
    const QImage image = view->viewport()->grab().toImage();

    EXPECT_EQ(view->visualRect(view->model()->index(1, 0)).height(), 24);
    EXPECT_EQ(order.mid(0, 5), QStringList({"item 0", "cell 0.0", "cell 0.1", "cell 0.2", "after 0"}));
    const auto pixel = [&](int row, int column) {
        const QRect cell = view->visualRect(view->model()->index(row, column));
        return image.pixelColor(cell.left() + 1, cell.top() + 1);
    };
    EXPECT_EQ(pixel(0, 0), QColor(Qt::cyan));
    EXPECT_EQ(pixel(2, 1), QColor(Qt::cyan));
    EXPECT_EQ(pixel(1, 0), view->palette().color(QPalette::Button));   // selected, no focus
    EXPECT_EQ(pixel(1, 1), QColor(Qt::yellow));   // not full-row selection: only the caption cell
    EXPECT_NE(pixel(0, 2), QColor(Qt::cyan));      // left to the owner
}

// ---- tips ----

TEST(ListViewTips, InfoTipsJoinTheCaptionAndTheOwnersText)
{
    auto view = MakeList({Row("short", {"1"}), Row(QString(60, 'x'), {"2"})});
    EXPECT_EQ(view->ItemTip(0, 1), "short");   // no handler: the caption

    QString extra;
    view->OnInfoTip = [&](TCustomExtListView *, int, int, const QString &, QString &additional) {
        additional = extra;
    };
    EXPECT_EQ(view->ItemTip(0, 0), "short");   // nothing added: as the list made it
    EXPECT_EQ(view->ItemTip(1, 0), "");        // a cut caption is not the tip
    extra = "more";
    EXPECT_EQ(view->ItemTip(0, 0), "short\nmore");
    EXPECT_EQ(view->ItemTip(1, 0), "more");

    view->SetExtendedStyles(lvxLabelTip);   // no info tips: a cut text shows whole
    EXPECT_EQ(view->ItemTip(1, 0), QString(60, 'x'));
    EXPECT_EQ(view->ItemTip(0, 0), "");

    auto owner = std::make_unique<TqorExtListView>();
    owner->AddColumn("No");
    owner->SetVirtualMode(true);
    owner->SetItemCountEx(3);
    owner->OnVMGetItemInfo = [](TCustomExtListView *, TVMItemInfo &info) { info.Text = "0001"; };
    EXPECT_EQ(owner->ItemTip(0, 0), "");   // an owner-data list has no caption tip of its own
}

// A row text that looks like markup shows as the text it is.
TEST(ListViewTips, MarkupInARowShowsAsText)
{
    auto view = MakeList({Row("<b>bold</b><img src=\"x.png\">", {"1"})});
    view->resize(600, 200);
    view->setColumnWidth(0, 500);   // the caption shows whole, so the tip holds it
    view->show();
    view->OnInfoTip = [](TCustomExtListView *, int, int, const QString &, QString &additional) { additional = "2 < 3"; };
    const QRect cell = view->visualRect(view->model()->index(0, 0));
    QHelpEvent help(QEvent::ToolTip, cell.center(), view->viewport()->mapToGlobal(cell.center()));
    QApplication::sendEvent(view->viewport(), &help);
    const QString shown = QToolTip::text();
    EXPECT_TRUE(shown.contains("&lt;b&gt;bold&lt;/b&gt;&lt;img")) << shown.toStdString();
    EXPECT_TRUE(shown.contains("2 &lt; 3")) << shown.toStdString();
    QToolTip::hideText();
}
