#pragma once
// What the rule editor does to rules, apart from its windows: the names it shows for actions,
// conditions and targets, the choices it offers for each kind of rule, the mapping between the
// controls of the rule dialog (held in a TRuleForm) and a rule, the batch entry of NG words and
// the rows of the per-board view.
//
// Line breaks inside a pattern or a replacement text are kept in the rule as "#13#10".

#include "core/Colors.h"

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class TTavuAction;
class TTavuActionList;

namespace RuleEditing {

// The short names of the rule list: action codes 0 to 11, condition codes 0 to 6; empty for an
// unknown code.
QString ActionName(int action);
QString ConditionName(int condition);
// The targets of a rule, one name per set bit, in bit order ("レス・ハンドル" ...).
QStringList TargetNames(int targets);

// The choices of the rule dialog for one kind of rule (post rules or thread rules), in the order
// the dialog lists them.
struct TRuleKind {
    QStringList TargetCaptions;
    QList<int> TargetBits;
    QStringList ConditionCaptions;   // position = condition code
    QStringList ActionCaptions;
    QList<int> ActionCodes;
};
const TRuleKind &KindOf(bool threadRule);

// "#13#10" for each line break (CR LF, LF or CR) and back to CR LF.
QString EncodeLineBreaks(const QString &text);
QString DecodeLineBreaks(const QString &text);

// How the rule dialog chooses its boards.
enum TBoardChoice {
    bcBoardInView,   // "現在表示している板"
    bcFromList,      // "以下の一覧から選択"
};

// A board as the dialog names it.
using TBoardKey = QPair<QString, QString>;   // SITEID, board id

// The controls of the rule dialog.
struct TRuleForm {
    int Targets = 0;                 // bits of the checked target lines
    int Condition = 0;               // condition code (the combo position)
    QString LikeText;                // "含まれる文字" of LIKE
    QString SameText;                // "含まれる文字" of SAME
    int Number = 0;                  // the number of a numeric condition
    int ActionIndex = 0;             // position in the kind's action list
    bool PopupHide = false;
    bool Chain = false;
    QString ReplaceText;
    TColor Color = clRed;
    int Priority = 0;
    bool NewThreadOnly = false;
    QString Comment;
    int ExpireDays = 0;
    TBoardChoice BoardChoice = bcFromList;
    bool HasBoardInView = false;
    TBoardKey BoardInView;
    bool AllBoards = false;          // "全部の板で有効(&A)"
    QList<TBoardKey> CheckedBoards;  // the checked rows of the board list
};

// Writes the form into the rule (the dialog's OK). The registration date is set to now only when
// the rule has none.
void WriteRule(const TRuleForm &form, bool threadRule, TTavuAction &rule, const QDateTime &now);
// Fills a form from the rule (editing). The board choice is "from the list": an all-boards entry
// checks AllBoards, otherwise each board entry becomes a checked board.
TRuleForm ReadRule(const TTavuAction &rule, bool threadRule);

// The batch entry: one post rule per line of the memo (an empty line gives an empty pattern; the
// line break after the last line does not start another).
std::vector<std::unique_ptr<TTavuAction>> MakeBatchRules(const QString &memo, bool popupHide, bool chain,
                                                         const QDateTime &now);

// A row of the per-board view: the rule and whether it is listed through an all-boards entry.
struct TBoardRuleRow {
    TTavuAction *Rule = nullptr;
    bool ThreadRule = false;
    bool AllBoards = false;
};
// The enabled rules of both lists for a board: one row for each entry naming exactly that board,
// and one for each all-boards entry covering it unless hideAllBoards. With siteId "#ALL": every
// all-boards entry. Either list may be null.
QList<TBoardRuleRow> RulesForBoard(const TTavuActionList *resRules, const TTavuActionList *threadRules,
                                   const QString &siteId, const QString &boardId, bool hideAllBoards);
// True when an enabled rule of either list has an entry naming exactly that board.
bool BoardHasRules(const TTavuActionList *resRules, const TTavuActionList *threadRules,
                   const QString &siteId, const QString &boardId);

}  // namespace RuleEditing
