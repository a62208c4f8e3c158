#pragma once
// TBoardListDialog ("ボード一覧の更新"): refreshes the board list of one site from its board-list
// page. The site's board script ParseBoard.ruro reads the page line by line; the boards it reports
// are compared with the site's boards (TBoardListMerge) and the changes are listed in the log pane.
// The URLs used are kept per site in site.ini, section BOARDLIST.

#include <QDialog>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class TBoardListDownloader;
class TBoardListDownloaderRequest;
class TSite;

class TBoardListDialog : public QDialog {
    Q_OBJECT
public:
    explicit TBoardListDialog(QWidget *parent = nullptr);
    ~TBoardListDialog() override;

    // Chooses the site (when the list offers it) and loads its URL history.
    void SelectSite(TSite *site);
    TSite *ChosenSite() const;
    bool IsDownloading() const;

    // The URL history of a site: the URLs in order and the index of the one last used (-1: none).
    static QStringList LoadUrlHistory(const TSite *site, int *current = nullptr);
    static void SaveUrlHistory(const TSite *site, const QStringList &urls, int current);

    // Called after an update rewrote the site's board list (its boards are new): the board tree
    // shows them when it shows the site.
    std::function<void(TSite *site)> BoardsReloaded;

    QComboBox *ComboBoxEx1 = nullptr;      // sites
    QComboBox *ComboBox1 = nullptr;        // board-list URLs
    QRadioButton *RadioButton1 = nullptr;  // "標準"
    QRadioButton *RadioButton2 = nullptr;  // "カスタム"
    QCheckBox *CheckBox1 = nullptr;        // added boards
    QCheckBox *CheckBox2 = nullptr;        // renamed and moved boards
    QCheckBox *CheckBox3 = nullptr;        // deleted boards
    QPlainTextEdit *Memo1 = nullptr;       // the log
    QProgressBar *ProgressBar1 = nullptr;
    QPushButton *Button1 = nullptr;        // "更新(&U)"
    QPushButton *Button3 = nullptr;        // "中止(&X)"
    QPushButton *Button2 = nullptr;        // "閉じる(&C)"

public slots:
    void reject() override;

private:
    std::unique_ptr<TBoardListDownloader> job;
    TBoardListDownloaderRequest *request = nullptr;

    void BuildForm();
    void FillSites();
    void LoadModeFromConfig();
    void StoreModeToConfig();
    void ComboBoxEx1Change();
    void Button1Click();
    void Button3Click();
    void RememberUrl(const QString &url);
    bool StartDownload(TSite *site, const QString &url);
    void HandleProgress(qint64 received, qint64 total);
    void HandleError(int code, const QString &message);
    void HandleDone(bool failed);
    bool OfferUnclaimed(const TSite *site);
    void SetIdle(bool idle);
    void AddLog(const QStringList &lines);
    void FinishDownload();
};
