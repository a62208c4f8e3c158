#pragma once
// TTavuAction: one NG/action rule, for responses (ngres.txt) or for threads (ngthread.txt).
//
// A rule names the fields it looks at (Target, a bit set), how it tests them (Condition) and what
// happens on a hit (Action). Value1 is the pattern or a number in decimal; Value2 the replacement
// text, a colour or a priority. In both values "#13#10" stands for a line break, as the rule
// editor stores it.
//
// How the fields are tested:
//   - LIKE, SAME: the field contains / equals Value1 (case-sensitive). An empty pattern never
//     matches. In a message a line break of the pattern matches a "<br>" tag, blanks around the
//     tag not counting.
//   - LENGTHLT, LENGTHGT: the length of the field in Shift_JIS bytes (one for ASCII and half-width
//     kana, two for every other character) is at most / at least Value1.
//   - COUNTGT: THREADRESCOUNT only: the responses the listing reports exceed Value1.
//   - DATEGT: THREADLOADDATE only: more than Value1 days have passed since the last load.
//   - NONGETCOUNTGT: THREADLOADDATE only: a loaded thread has more than Value1 responses not yet
//     fetched.
// A numeric condition whose Value1 is not a number never matches. A rule hits when any of its
// fields passes.
//
// Action codes: 8 SETBOLD makes a thread row bold; 11 RESMARK marks a response in bold.

#include "core/TargetBoard.h"

#include <QDateTime>
#include <QString>

class TRes;
class TThreadItem;

class TTavuAction {
public:
    enum Target {
        RESHANDLE = 1,        // the poster's name
        RESMAIL = 2,          // the mail field
        RESID = 4,            // the poster ID (the ID part of the date line)
        RESBODY = 8,          // the message
        THREADTITLE = 16,
        THREADRESCOUNT = 32,  // responses the listing reports
        THREADLOADDATE = 64,  // date of the last load
    };
    static constexpr int ResTargets = RESHANDLE | RESMAIL | RESID | RESBODY;
    static constexpr int AllTargets = 127;

    enum Action {
        ABONE = 0,      // hide
        REPLACE = 1,
        POPUP = 2,      // notice
        ADDTOFAV = 3,
        MOVETOLOCAL = 4,
        BOOKMARK = 5,
        SETCOLOR = 6,
        SETREVERSE = 7,
        SETBOLD = 8,
        SETKAKOLOG = 9,
        SETPRIORITY = 10,
        RESMARK = 11,   // a response drawn in bold
    };
    static constexpr int MaxAction = RESMARK;

    enum Condition {
        LIKE = 0,
        SAME = 1,
        LENGTHLT = 2,
        LENGTHGT = 3,
        COUNTGT = 4,
        DATEGT = 5,
        NONGETCOUNTGT = 6,
    };
    static constexpr int MaxCondition = NONGETCOUNTGT;

    TTavuAction() = default;
    TTavuAction(const TTavuAction &) = delete;
    TTavuAction &operator=(const TTavuAction &) = delete;

    int Target = 0;
    int Action = ABONE;
    int Condition = LIKE;
    QString Value1;
    QString Value2;
    bool PopupHide = false;      // hidden in ">>n" popups too
    bool Chain = false;          // responses that refer to a hidden one are hidden too
    bool NewThreadOnly = false;  // thread rules: only threads new in the listing
    int HitCount = 0;
    QString LastHitDate;         // "yyyy/mm/dd hh:nn:ss"
    QString Comment;
    int ExpireDays = 0;          // 0: never expires
    QString RegistDate;          // "yyyy/mm/dd hh:nn:ss"
    bool Enabled = true;
    TTargetBoardList Boards;

    // The date format of the rule files.
    static QString FormatDate(const QDateTime &when);

    // True when ExpireDays have passed since the registration date. A rule without a readable
    // registration date never expires.
    bool IsExpired(const QDateTime &now) const;

    // Counts a hit: HitCount + 1, LastHitDate := now.
    void RecordHit(const QDateTime &now);

    // The tests of the fields (see above); board targets, Enabled and expiry are the list's.
    bool MatchRes(const TRes &res) const;
    bool MatchThread(const TThreadItem &item, const QDateTime &now) const;

    // REPLACE: in every field of the rule that passes its test, the pattern is replaced by Value2,
    // or, for the length conditions, the whole field becomes Value2.
    void ReplaceInRes(TRes &res) const;
    void ReplaceInThread(TThreadItem &item) const;

private:
    bool MatchText(const QString &text, bool isMessage) const;
    QString ReplaceText(const QString &text, bool isMessage) const;
};
