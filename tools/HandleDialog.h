#pragma once
// THandleDialog ("ハンドル設定"): edits the fixed handles: per board (handle.txt), per thread-title
// text (thrdhnd.txt) and the default handle and mail (GLOBALHANDLE, GLOBALMAIL). OK writes all
// three; cancel changes nothing.

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class THeaderFrame;

class THandleDialog : public QDialog {
    Q_OBJECT
public:
    explicit THandleDialog(QWidget *parent = nullptr);   // FormCreate

    THeaderFrame *Header = nullptr;
    QTabWidget *PageControl1 = nullptr;
    // "板別ハンドル": every board of every site; the row's data is the board.
    QTreeWidget *BoardList = nullptr;
    QComboBox *BoardHandle = nullptr;
    QComboBox *BoardMail = nullptr;
    QPushButton *ApplyButton = nullptr;        // "適用"
    // "スレッド別ハンドル"
    QTreeWidget *ThreadList = nullptr;
    QLineEdit *ThreadText = nullptr;
    QComboBox *ThreadHandle = nullptr;
    QComboBox *ThreadMail = nullptr;
    QPushButton *AddButton = nullptr;          // "追加"
    QPushButton *ReplaceButton = nullptr;      // "置換"
    QPushButton *DeleteButton = nullptr;       // "削除"
    // "デフォルトハンドル"
    QComboBox *DefaultHandle = nullptr;
    QComboBox *DefaultMail = nullptr;
    QPushButton *BitBtn1 = nullptr;            // "OK"
    QPushButton *BitBtn2 = nullptr;            // "キャンセル"

    // Writes handle.txt, thrdhnd.txt and the default handle, and closes with OK.
    void BitBtn1Click();

private:
    QWidget *CreateBoardPage();
    QWidget *CreateThreadPage();
    QWidget *CreateDefaultPage();
    void FillBoards();
    void FillThreads();
    void BoardListClick(QTreeWidgetItem *row);
    void ApplyButtonClick();
    void ThreadListClick(QTreeWidgetItem *row);
    void AddButtonClick();
    void ReplaceButtonClick();
    void DeleteButtonClick();
    void SetThreadRow(QTreeWidgetItem *row) const;
};
