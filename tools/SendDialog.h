#pragma once
// TSendDialog: the reply composer. The user writes a reply to one thread: handle, mail, body, the
// SAGE, PRE and fixed-width (等幅) switches, with a live preview, the board's local rules and the post
// log. The composer posts nothing itself: its send command runs the pre-send confirmations, hides the
// composer and raises OnSend; the main window builds and sends the post, and on failure clears
// Sending and shows the composer again with its text. The histories and the post log record a post
// once the main window reports it as sent (SaveHistory).
//
// One composer per reply; it frees itself when closed. While it has the focus the main window's
// commands are switched off, so their shortcuts do not fire into the main window.
//
// The user files it reads and writes are those of services/ComposerFiles.h.

#include "services/ComposerFiles.h"
#include "tools/FoldingWindow.h"

#include <QPointer>
#include <functional>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QTabWidget;
class QTimer;
class QToolBar;
class QVBoxLayout;
class TBoard;
class TEmbeddedWB;
class TPreviewWindow;
class TTavuBrowser;
class TThreadItem;

class TSendDialog : public TFoldingWindow {
    Q_OBJECT
public:
    explicit TSendDialog(QWidget *parent = nullptr);   // FormCreate
    ~TSendDialog() override;                            // FormDestroy

    // Prepares the composer for a reply to the thread (called once, before it is shown): caption,
    // switches the board type allows, histories, and the handle, mail and switches the user fixed
    // or last used for the board and thread.
    void SetThread(TThreadItem *item);
    TThreadItem *ThreadItem() const { return item; }
    TBoard *Board() const { return board; }

    // True when the switch is both allowed for the board type and checked.
    bool GetSage() const;
    bool GetPre() const;
    bool GetTouhaba() const;

    // Raised by the send command once its checks passed, and when the composer closes.
    std::function<void(TSendDialog *)> OnSend;
    std::function<void(TSendDialog *)> OnClose;
    // Switches the main window's commands off while the composer is active and back on after it.
    std::function<void(bool enabled)> SwitchWindowCommands;
    // 1 while a post of the composer runs; the main window clears it when the post failed.
    quint8 Sending = 0;

    // Kept for the post by the main window: the thread's read URL and the browser tab the reply was
    // written from.
    QString ReadUrl;
    QPointer<TTavuBrowser> Tab;

    // Renders the post being written into the preview's browser tab.
    virtual void UpdatePreview(TTavuBrowser *preview);
    // The tool-bar layout (kpw.ini section SENDWIN_COOLBAR1).
    virtual void LoadBarLayout();
    virtual void SaveBarLayout();
    // The log page and the log file.
    virtual void LoadPostLog();
    virtual void WritePostLog();
    virtual QString GetPostLogFile() const;
    // A post-log entry of what the composer holds now: board, site, name, mail, body and time.
    ComposerFiles::TPostLogEntry NewPostLogEntry() const;
    // Records a sent post: the post log, the remembered values of the thread and the handle and mail
    // histories, each only while SAVEHIST_SEND is on.
    virtual void SaveHistory();

    // The board's local rules as a file (fetched once per board into its log folder); empty when
    // offline or the site has none. Raises EVarnelo when the fetch fails.
    QString GetLocalRuleFile();
    // Shows the Be notice when posts to this board carry the Be profile.
    void UpdateBeNotice();
    // Brings a composer whose post failed back with its text.
    void ShowAgain();

    // The preview window, made on first use.
    TPreviewWindow *Preview();
    bool HasPreview() const { return previewWindow != nullptr; }

    // ---- components ----
    QList<QAction *> ActionList1;   // every command, for the key-binding editor too
    QTabWidget *PageControl1 = nullptr;
    QWidget *TabSheet1 = nullptr;   // "書き込み(&A)"
    QWidget *TabSheet2 = nullptr;   // "書き込みログ"
    QWidget *TabSheet3 = nullptr;   // "ローカルルール"
    QComboBox *SenderName = nullptr;
    QComboBox *SenderMail = nullptr;
    QPlainTextEdit *SenderBody = nullptr;
    QWidget *InfoPanel = nullptr;
    QLabel *InfoMsg = nullptr;
    QLabel *lblCaution = nullptr;
    QPlainTextEdit *Memo2 = nullptr;
    TEmbeddedWB *WebBrowser1 = nullptr;   // made when the local-rule page is first shown
    QLabel *StatusPanel0 = nullptr;       // line and character counts
    QLabel *StatusPanel1 = nullptr;       // local-rule fetch notice
    QCheckBox *CheckBox1 = nullptr;       // "このハンドルを保存(&S)"
    QListWidget *AAList = nullptr;
    QTimer *Timer1 = nullptr;
    QToolBar *FileToolBar = nullptr;
    QToolBar *SendToolBar = nullptr;
    QToolBar *SwitchToolBar = nullptr;

    QAction *actNew = nullptr;
    QAction *actOpen = nullptr;
    QAction *actSave = nullptr;
    QAction *actShowPreview = nullptr;
    QAction *actSend = nullptr;
    QAction *actPre = nullptr;
    QAction *actSage = nullptr;
    QAction *actTouhaba = nullptr;
    QAction *actFont = nullptr;
    QAction *actShowAAList = nullptr;
    QAction *actUndo = nullptr;
    QAction *actRedo = nullptr;
    QAction *actCut = nullptr;
    QAction *actCopy = nullptr;
    QAction *actPaste = nullptr;
    QAction *actDelete = nullptr;
    QAction *actSelectAll = nullptr;

    // The name under which the key bindings of the composer are stored (section SHORTCUT_SendDialog).
    static QString FormName() { return QStringLiteral("SendDialog"); }

protected:
    void showEvent(QShowEvent *event) override;     // FormShow
    void hideEvent(QHideEvent *event) override;     // FormHide
    void closeEvent(QCloseEvent *event) override;   // FormCloseQuery, FormClose
    bool eventFilter(QObject *watched, QEvent *event) override;

    // The send command; the new-thread composer has its own.
    virtual void actSendExecute();
    // The last step of sending: the sending flag, the preview closed, the composer hidden, OnSend.
    void RaiseSend();

    // The capability switches: actions allowed by the board type, and the writing page.
    void SetSwitchesAllowed(bool sage, bool pre, bool touhaba);
    // Histories and the default handle (GLOBALHANDLE, GLOBALMAIL, then handle.txt of the board).
    void LoadHandleHistories();
    void ApplyDefaultHandles(const QString &siteId, const QString &boardId);
    // Makes the text the current name (mail) and puts it first in its list.
    void TakeName(const QString &name);
    void TakeMail(const QString &mail);
    // Shows the current name and mail in the boxes.
    void ShowCurrentHandle();
    // Puts the current name and mail first in their histories and saves both files.
    void RecordHandleHistories();
    // Renders one response made from the composer's texts, with the given item and title.
    void RenderPreview(TTavuBrowser *preview, TThreadItem *previewItem, const QString &title);
    // Asks with Yes and No as a warning; true only for Yes.
    static bool Confirm(const QString &text);

    QVBoxLayout *CentralLayout = nullptr;   // bars above the pages go first
    QAction *SaveHandleItem = nullptr;      // CheckBox1 on the switch tool bar
    QString currentName;
    QString currentMail;

    TBoard *board = nullptr;

private:
    TThreadItem *item = nullptr;
    TPreviewWindow *previewWindow = nullptr;
    bool sageAllowed = false;
    bool preAllowed = false;
    bool touhabaAllowed = false;
    bool sageInMail = false;
    bool localRuleFailed = false;   // the local rules could not be fetched: not asked again
    QString openFileName;

    void CreateActions();
    QAction *NewAction(const QString &name, const QString &caption, const QString &category);
    void CreateBars();
    void CreatePages();
    QWidget *CreateWritingPage();
    void ApplyStoredShortcuts();

    void FormActivate() override;
    void FormDeactivate() override;

    void actNewExecute();
    void actOpenExecute();
    void actSaveExecute();
    void actShowPreviewExecute();
    void actSageExecute(bool checked);
    void actFontExecute();
    void actShowAAListExecute();
    void PageControl1Change(int index);
    void SenderBodyChange();
    void Timer1Timer();
    QString LocalRuleFileOrNothing();
    void ShowLocalRules();
    void ShowLocalRulesInPreview();
    void AAListChoose();
    void AAListClose();
    void ApplyPastLogLoginOffer(bool &goOn);
};
