#pragma once
// How the list views compare two cell texts when they sort by a column.
//
// Texts compare by the locale's collation with case as the last tie-break only, so "apple" sorts
// before "Banana" and "a" next to "A". The smart comparison reads both texts as dates and/or times
// ("yyyy/mm/dd", "hh:nn[:ss]", or both separated by blanks) or as numbers first, and falls back to
// the text comparison when the two do not read alike. Every function returns <0, 0 or >0.

#include <QDateTime>
#include <QString>

// How the owner of a list asks a pair of cells to be compared (see TCustomEnhListView::OnSortItems).
enum TSortAs {
    saNone,       // the owner's own result stands
    saString,     // as texts
    saNumeric,    // as numbers (a text that is no number counts as 0)
    saDateTime,   // as dates and times (a text that is none counts as the earliest)
};

namespace ListViewCompare {

int CompareText(const QString &a, const QString &b);
int CompareSmart(const QString &a, const QString &b);
int CompareAs(TSortAs sortAs, const QString &a, const QString &b);

// A number is read from the text up to its first blank ("12 " and "12 件" read as 12); when that
// fails the thousand separators "," are dropped and it is read again ("1,234.5").
bool TextToNumber(const QString &text, double &value);
// "/" makes a text a date (year/month/day, or month/day of this year), ":" a time; both: date and time.
bool TextToDateTime(const QString &text, QDateTime &value);

}
