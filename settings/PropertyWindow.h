#pragma once
// TPropertyWindow: the properties of a thread (page "TabThreadItem": where its log is, its counts and
// dates, and its favourite, shortcut-bar and past-log marks, which OK applies) or of a board (page
// "TabBoard": its ids, URL, log folder and what the folder holds). A thread in a local folder
// cannot be added to the favourites there, but can be brought back to the board it came from.

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class TBoard;
class TThreadItem;

class TPropertyWindow : public QDialog {
    Q_OBJECT
public:
    explicit TPropertyWindow(QWidget *parent = nullptr);
    ~TPropertyWindow() override;

    void SetThreadItem(TThreadItem *item);
    void SetBoard(const TBoard *board);
    // OK: applies the marks of the thread page.
    void Button1Click();
    void SpeedButton1Click();   // the thread's colour back to the default
    // The log back from its local folder to the board it came from.
    void SpeedButton2Click();

    // "%d バイト (%d KB)".
    static QString LogSizeText(qint64 bytes);
    // The number of .dat files and the bytes of every file of the folder.
    static void FolderSummary(const QString &folder, int &dats, qint64 &bytes);
    // "%n MB (%n バイト)" from 1,048,576 bytes on, else "%n KB (%n バイト)".
    static QString FolderSizeText(qint64 bytes);

    QTabWidget *Pages = nullptr;       // TabThreadItem, TabBoard
    QLineEdit *DatNo = nullptr, *Path = nullptr, *Size = nullptr, *DiskSize = nullptr, *BBSName = nullptr,
              *BoardName = nullptr, *URL = nullptr, *Title = nullptr, *ResCount = nullptr, *Priority = nullptr,
              *LastReadDate = nullptr, *LastSentDate = nullptr, *ReadCount = nullptr, *Memo = nullptr;
    QCheckBox *InFavorites = nullptr, *KakoLog = nullptr, *InShortcutBar = nullptr;
    QPushButton *SpeedButton1 = nullptr;   // "色設定の初期化"
    QPushButton *SpeedButton2 = nullptr;   // "ローカルフォルダから戻す"
    QLineEdit *RemoteBoardID = nullptr, *BoardBBS = nullptr, *BoardUrl = nullptr, *TextBoardName = nullptr,
              *BoardPath = nullptr, *BoardSize = nullptr, *BoardValue = nullptr, *CategoryName = nullptr,
              *CharSet = nullptr;
    QPushButton *Button1 = nullptr;        // "OK"
    QPushButton *Button2 = nullptr;        // "キャンセル"

private:
    TThreadItem *item = nullptr;   // a reference held while shown

    void BuildForm();
    // The thread page from the item.
    void ShowThread();
    bool ApplyFavorite();
    void KakoLogClick();
};
