#pragma once
// TFindWindow ("検索", header "ログ検索"): the parameters of a search through the stored thread
// logs: the words the title must hold, the words the log text must hold, and the boards to search
// (the board shown now, or those ticked in the list). The search itself is run by the caller after
// the dialog closes with OK; the caller reads the controls named here.

#include <QDialog>
#include <QList>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class TBoard;

class TFindWindow : public QDialog {
    Q_OBJECT
public:
    explicit TFindWindow(QWidget *parent = nullptr);

    // One unticked row per board with a log folder of every listed site but the favourites.
    void FillBoardList();
    // The scope: the board shown now (ticked alone) or, without one, the list.
    void SetCurrentBoard(TBoard *board);
    // The boards to search, as the scope says.
    QList<TBoard *> ChosenBoards() const;

    void SelectAll(bool on);
    void RadioGroup1Click();
    // "検索開始": the texts go first in their histories, the dialog closes with OK.
    void BitBtn1Click();

    QComboBox *ComboBox1 = nullptr;     // title words, history findtext.txt
    QComboBox *ComboBox2 = nullptr;     // log words, history findlog.txt
    QRadioButton *Radio0 = nullptr;     // "現在表示している板"
    QRadioButton *Radio1 = nullptr;     // "以下の一覧から選択"
    QCheckBox *CheckBox1 = nullptr;     // "取得していないスレッドのタイトルも対象(&W)"
    QLabel *StaticText1 = nullptr;
    QTreeWidget *ListView1 = nullptr;
    QPushButton *BitBtn1 = nullptr;     // "検索開始(&S)"
    QPushButton *BitBtn2 = nullptr;     // "キャンセル(&C)"

private:
    TBoard *currentBoard = nullptr;
    void TickCurrentBoard();
};
