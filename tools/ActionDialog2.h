#pragma once
// TActionDialog2: edits one rule of the rule editor, a post rule or a thread rule. SetupNew or
// SetupEdit prepares it for a rule; it is then run modally and OK writes the controls into the rule.
// The rule list window creates one and reuses it for every add and edit.
//
// Page "アクション": the targets, the condition with its parameter page, the action with its page,
// the comment and the expiry. Page "有効にする板": the board in view, or a choice from the list of
// every board of every site, or all boards.

#include "services/RuleEditing.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStackedWidget;
class QTabWidget;
class QTreeWidget;
class TBoard;
class TTavuAction;

class TActionDialog2 : public QDialog {
    Q_OBJECT
public:
    explicit TActionDialog2(QWidget *parent = nullptr);

    // The board the user is looking at (the active browser tab's, else the active thread-list
    // tab's); null when none. Without it no board is in view.
    std::function<TBoard *()> ViewedBoard;

    // A new rule: siteId and boardId name the board to start from (empty when none; boardId "#ALL"
    // starts with every board).
    void SetupNew(TTavuAction *rule, bool threadRule, const QString &siteId, const QString &boardId);
    // An existing rule: every control from the rule.
    void SetupEdit(TTavuAction *rule, bool threadRule);

    // The controls as a form, and back.
    RuleEditing::TRuleForm Form() const;
    void SetForm(const RuleEditing::TRuleForm &form);

    // Writes the controls into the rule and closes with OK.
    void OKButtonClick();

    QTabWidget *PageControl = nullptr;
    QListWidget *TargetList = nullptr;           // "対象 :"
    QComboBox *ConditionCombo = nullptr;         // "条件 :"
    QStackedWidget *ConditionPages = nullptr;
    QPlainTextEdit *LikeEdit = nullptr;
    QPlainTextEdit *SameEdit = nullptr;
    QList<QSpinBox *> NumberEdits;               // one per numeric condition, LENGTHLT first
    QComboBox *ActionCombo = nullptr;            // "動作 :"
    QStackedWidget *ActionPages = nullptr;
    QCheckBox *PopupHideCheck = nullptr;         // ">>n ポップアップでも非表示"
    QCheckBox *ChainCheck = nullptr;             // "連鎖消去"
    QPlainTextEdit *ReplaceEdit = nullptr;       // "置き換える文字"
    QLabel *ColorSwatch = nullptr;
    QPushButton *ColorButton = nullptr;          // "･･"
    QSpinBox *PriorityEdit = nullptr;            // "重要度 :"
    QCheckBox *NewThreadOnlyCheck = nullptr;     // "新着スレッドのみ対象(&N)"
    QLineEdit *CommentEdit = nullptr;            // "コメント :"
    QSpinBox *ExpireEdit = nullptr;              // "有効期限 :"
    QLabel *HitLabel = nullptr;
    QRadioButton *BoardInViewRadio = nullptr;    // "現在表示している板"
    QLabel *BoardInViewLabel = nullptr;
    QRadioButton *FromListRadio = nullptr;       // "以下の一覧から選択"
    QCheckBox *AllBoardsCheck = nullptr;         // "全部の板で有効(&A)"
    QTreeWidget *BoardList = nullptr;            // every board of every site; checkable
    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;

    // Opens the colour dialog on the swatch colour and takes the chosen one.
    void ColorButtonClick();

private:
    TTavuAction *rule = nullptr;
    bool threadRule = false;
    TColor swatchColor = clRed;
    bool hasBoardInView = false;
    RuleEditing::TBoardKey boardInView;

    QWidget *CreateActionPage();
    QWidget *CreateConditionPages();
    QWidget *CreateActionPages();
    QWidget *CreateBoardPage();
    void SetKind(bool thread);
    void FillBoardList();
    void ShowBoardInView(const TBoard *board);
    void SetColor(TColor color);
    void CheckBoards(const std::function<bool(const RuleEditing::TBoardKey &)> &checked);
    void AllBoardsClick(bool checked);
    void UpdateBoardChoice();
};
