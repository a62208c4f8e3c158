#pragma once
// What the thread-list pane shows of a thread item, apart from the widgets: the text and the mark of
// every cell, the colours and the font of a row, the tip of a row, how a column sorts, and the lines
// of the tab-state file tabthread.txt; also the rows of a list that show a thread. The main window's
// drawing and sorting handlers ask here.

#include "core/Colors.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class TTavuConfig;
class TThreadItem;
class TThreadItemList;

namespace ThreadListPane {

// How a cell is drawn.
enum TCellKind {
    ckText,   // text from the left edge
    ckRight,  // text ending 2 pixels before the right edge
    ckIcon,   // a mark image at the top-left corner
};

// What a column identifier of column.txt stands for. The number column (column 0) has the empty
// identifier. SortKey is the TThreadItemList sort key; 0 for an identifier the pane does not know
// (such a column neither sorts nor shows anything).
struct TColumnInfo {
    int SortKey = 0;
    TCellKind Kind = ckText;
};
TColumnInfo ColumnInfo(const QString &columnId);

// The marks, as indexes into the thirteen mark images.
enum TMark {
    mkNone = -1,
    mkNew = 0,
    mkUpdated = 1,
    mkMoreRes = 2,
    mkRead = 3,
    mkChecking = 4,
    mkFavorite = 5,
    mkKakolog = 6,
    mkHasNewRes = 8,
    mkFavoriteNewRes = 9,
    mkReadPoint = 10,
    mkCheckError = 11,
    mkLocalLog = 12,
};

// The listing number as four digits ("0007").
QString NumberText(const TThreadItem &item);
// The text of a sub-item cell; empty for an icon cell and for an unknown identifier.
// showCountGap: the SHOWCOUNTGAP setting.
QString CellText(const TThreadItem &item, const QString &columnId, bool showCountGap);
// The mark of an icon cell (UPDATE, INFO, READPOINT); mkNone for no mark.
int CellMark(const TThreadItem &item, const QString &columnId);

// A number in the numeric picture "####" followed by blanks: zero prints as nothing, so a zero
// cell holds only the blanks.
QString CountText(int value, int blanks);

// The info tip of a row: title, "(AGECOUNT/COUNT)", a line break, board "＠" site.
QString InfoTip(const TThreadItem &item);

// Colours and font of one row (or of its number cell).
struct TRowStyle {
    TColor Background = clWindow;
    TColor Text = clWindowText;     // the sub-item cells
    TColor NumberText = clWindowText;
    bool Bold = false;
};
// row: the row index (even and odd rows are striped); selected: the row is selected and drawn with
// the highlight colours, which win over every other colour.
TRowStyle RowStyle(const TThreadItem *item, int row, bool selected, const TTavuConfig &config);

// The sort direction a column click gives: clicking the column the list is sorted by reverses the
// direction; another column sorts ascending (for the new-post and priority keys, largest first).
// column and ascending are updated in place.
void ClickSortColumn(int clicked, int &column, bool &ascending);

// tabthread.txt: one line per plain board tab, site id TAB board id TAB "1" for the shown tab.
struct TTabLine {
    QString SiteID;
    QString BoardID;
    bool Shown = false;
};
QString TabLineText(const TTabLine &line);
// False for a line that does not name a site and a board.
bool ParseTabLine(const QString &text, TTabLine &line);

// The thread filter: what the filter dialog asks for.
struct TThreadFilter {
    bool NewOnly = false;     // "新着のみ"
    bool ByDatName = false;   // "DAT番号": the dat name equals DatName (ignoring case)
    QString DatName;
    std::function<bool(const QString &title)> MatchesTitle;   // the dialog's title matcher
};
// Whether a thread passes the filter (an erased thread never does).
bool FilterMatches(const TThreadItem &item, const TThreadFilter &filter);
// The filter dialog over a list's threads: true on OK with the filter filled. The dialog installs
// itself here; without it the filter command does nothing.
using TFilterDialogHandler = std::function<bool(const TThreadItemList &items, TThreadFilter &filter)>;
TFilterDialogHandler SetFilterDialog(TFilterDialogHandler dialog);
const TFilterDialogHandler &FilterDialog();

// What the log-pane lines of the thread request flow name: a thread as title "／" board "＠" site.
QString ThreadTarget(const TThreadItem &item);
// The thread's title, or its key while the title is not yet known (a thread opened by its URL).
QString TitleOrKey(const TThreadItem &item);

// The rows of the list whose item is made and is the item or another item of its thread. A row
// whose item is not made yet is passed over and left so: it reads the thread's .inf when it is.
QList<int> RowsOfThread(const TThreadItemList &items, const TThreadItem &item);

}  // namespace ThreadListPane
