#pragma once
// What the query-erase dialog does, apart from its window: the rows it lists for the posts of the
// open thread or the threads of a list, the criteria that check rows, and the erase on OK with its
// log lines.

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class TRes;
class TResList;
class TThreadItem;
class TThreadItemList;

namespace QueryErase {

// How a handle or mail criterion compares: equal ignoring case, or containing (ignoring case).
enum TMatchMode { mmExact = 0, mmPartial = 1 };
bool MatchText(const QString &field, const QString &text, TMatchMode mode);

// A post row: the post, its position in the thread (from 1) and the columns as plain text (no
// tags, entities decoded).
struct TResRow {
    TRes *Res = nullptr;
    int Position = 0;
    QString Handle;
    QString Mail;
    QString ID;
    QString Body;
    bool Checked = false;
};
// Every post not erased, from the last to the first.
QList<TResRow> ResRows(const TResList &list);
// The distinct non-empty handles and IDs of the rows, in row order.
QStringList DistinctHandles(const QList<TResRow> &rows);
QStringList DistinctIDs(const QList<TResRow> &rows);
// The mail candidates: for each post whose trimmed mail is longer than seven characters, the mail
// from its eighth character on, in lower case, once.
QStringList MailCandidates(const QList<TResRow> &rows);

// The criteria of the posts page; each returns whether a row meets it.
using TResCriterion = std::function<bool(const TResRow &row)>;
TResCriterion ByHandle(const QString &text, TMatchMode mode);
TResCriterion ByNumber(int from, int to);            // both ends included
TResCriterion ByWord(const QString &word);           // the body contains it
TResCriterion ByMail(const QString &text, TMatchMode mode);
TResCriterion ByID(const QString &id);               // equal ignoring case
TResCriterion ByLength(int maximum);                 // body length in characters at most
// Checks the rows that meet the criterion, leaving the others as they are; the number checked.
int CheckRows(QList<TResRow> &rows, const TResCriterion &criterion);

// Marks the checked posts not yet erased as erased; log, when set, gets the lines of each post and
// the closing count line. Returns the number erased.
using TLog = std::function<void(const QString &line)>;
int EraseCheckedRes(const QList<TResRow> &rows, const TLog &log);

// A thread row.
struct TThreadRow {
    TThreadItem *Item = nullptr;
    bool Checked = false;
};
// One row per thread of the list that is not erased, in list order.
QList<TThreadRow> ThreadRows(const TThreadItemList &list);
// Checks the rows whose title contains the word (when not empty) or whose key equals the dat
// number exactly (when not empty).
int CheckThreadRows(QList<TThreadRow> &rows, const QString &word, const QString &datNumber);
// From the last row to the first, each checked thread not yet erased: its index file re-read, its
// erased flag set and saved, and the item removed from list. Returns the number erased.
int EraseCheckedThreads(const QList<TThreadRow> &rows, TThreadItemList &list, const TLog &log);

}  // namespace QueryErase
