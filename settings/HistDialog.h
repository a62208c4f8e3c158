#pragma once
// THistDialog ("履歴"): the read history (readhist.txt, tab "全取得スレッド") and the post history
// (sendhist.txt, tab "書き込み履歴") in one list, and the post log (sendlog.txt) on the page "ログ".
// A tool window made once with the main window and kept until the program ends. From it the user
// reopens a thread (double click), shows its properties, deletes history lines, sorts by a column and searches titles.
//
// It stays above the other windows; when it loses the focus it rolls up to its caption, and it
// opens again when it gets the focus back.
//
// Each history file is a THistoryModel; the list view draws only the rows it shows.

#include <QDialog>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QPlainTextEdit;
class QTabBar;
class QTabWidget;
class QTreeView;
class THistoryModel;
class TRollUp;
struct TWindowBounds;
struct THistoryEntry;

class THistDialog : public QDialog {
    Q_OBJECT
public:
    // profileDir: where readhist.txt, sendhist.txt and sendlog.txt lie.
    explicit THistDialog(const QString &profileDir, QWidget *parent = nullptr);
    ~THistDialog() override;

    // Opens the thread of a history line in the main window.
    std::function<void(const THistoryEntry &entry)> OpenEntry;

    // Reads both files and the post log again.
    void ReloadHistory();
    // The model of the shown tab.
    THistoryModel *ShownModel() const;
    void TabControl1Change();
    void ListView1ColumnClick(int column);

    void actOpenExecute();
    // The thread of the focused line in the property window.
    void actPropertyExecute();
    void actDeleteExecute();
    void actReloadExecute();
    void actFindExecute();
    void actFindNextExecute();
    QString FindText;   // the text searched for

    QTabWidget *PageControl = nullptr;
    QTabBar *TabControl1 = nullptr;
    QTreeView *ListView1 = nullptr;
    QPlainTextEdit *Memo1 = nullptr;   // "書き込みログ"
    QLabel *StatusBar1 = nullptr;      // "%d件"
    THistoryModel *ReadHistory = nullptr;
    THistoryModel *SendHistory = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QString sendLogFile;
    std::unique_ptr<TRollUp> rollUp;

    void CreateActions();
    // The window's stored bounds (HISTDIALOG_* of kpw.ini).
    TWindowBounds Bounds() const;
    void LoadSendLog();
    void ShowCount();
};
