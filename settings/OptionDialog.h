#pragma once
// TOptionDialog ("オプション"): the settings dialog. It edits most of kpw.ini (the fields of the
// configuration) on twelve pages chosen in a tree on the left, and two list files of the profile
// folder: proxy.txt (proxy presets, TProxyPresetList) and downapp.txt (downloaders,
// TDownloaderList).
//
// It is made for one showing (OptionDialog::ShowOptionDialog): creation reads kpw.ini again and fills
// every page, StartPage chooses the page shown first, OK stores every page into the configuration,
// writes proxy.txt and downapp.txt and saves kpw.ini; Cancel writes nothing (the preset buttons of
// the proxy page write proxy.txt at once, though).
//
// The methods are split by page: OptionDialog.cpp (frame, proxy and downloader pages),
// OptionPagesApp.cpp (application, tabs, board list), OptionPagesThread.cpp (thread list,
// thread and browser, >>n popup), OptionPagesOther.cpp (sound, board-specific settings, quick
// viewer, others).

#include "services/DownloaderList.h"
#include "services/ProxyPresetList.h"
#include "settings/OptionControls.h"

#include <QDialog>
#include <QPixmap>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSpinBox;
class QStackedWidget;
class QTabBar;
class QTabWidget;
class QTreeWidget;
class THeaderFrame;
class TPageBuilder;

// The settings one tab kind (thread-list tabs or browser tabs) keeps.
struct TTabKindSettings {
    int Position = 0;
    int ToolBarPos = 1;   // 1 above, 2 below, 3 left, 4 right
    int DblClick = 0;
    int WheelClick = 0;
    bool ShortTitle = false;
    int TitleLen = 20;
    bool CheckLockClose = false;
    bool ShowCloseBtn = false;
    int TabOrder = 0;
};

class TOptionDialog : public QDialog {
    Q_OBJECT
public:
    enum TPage {
        pgProxy, pgApp, pgTab, pgBoardList, pgThreadList, pgBrowser, pgPopup, pgSound, pgBBS,
        pgDownloader, pgChotto, pgOther, PageCount
    };

    // FormCreate: reads kpw.ini again (changes not saved before are dropped) and fills the pages.
    explicit TOptionDialog(QWidget *parent = nullptr);

    int StartPage = 0;   // the page shown first; set between creation and showing

    // Shows the start page (run when the dialog is shown).
    void FormActivate();
    // The selected tree node's page becomes the active one.
    void TreeView1Click();
    // OK: stores everything and saves; the dialog stays open when kpw.ini cannot be written.
    void BitBtn1Click();

    // The page's caption and icon index.
    static QString PageCaption(int page);
    static int PageIcon(int page);

    // ---- frame ----
    QTreeWidget *TreeView1 = nullptr;
    THeaderFrame *HeaderFrame = nullptr;
    QStackedWidget *PageControl1 = nullptr;
    QPushButton *BitBtn1 = nullptr;   // OK
    QPushButton *BitBtn2 = nullptr;   // キャンセル

    // ---- proxy page ----
    // The sets of kpw.ini PROXY (reading) and SEND_PROXY (posting) while the dialog is open; the
    // controls show the set of the selected tab.
    TProxySet ReadProxy;
    TProxySet PostProxy;
    TProxyPresetList ProxyPresets;
    QTabBar *ProxyTab = nullptr;   // "読み込み用", "書き込み用"
    QCheckBox *UseProxy = nullptr;
    QLineEdit *ProxyAddress = nullptr;
    QLineEdit *ProxyPort = nullptr;
    QLineEdit *ProxyUserName = nullptr;
    QLineEdit *ProxyPassword = nullptr;
    QLineEdit *ProxyMemo = nullptr;
    QListWidget *ProxyList = nullptr;
    QPushButton *ProxySaveButton = nullptr;
    QPushButton *ProxyApplyButton = nullptr;
    QPushButton *ProxyDeleteButton = nullptr;
    QButtonGroup *HttpModeGroup = nullptr;   // hidden "HTTP 更新確認"
    void ProxyTabChange(int index);
    void ProxySaveClick();
    void ProxyApplyClick();
    void ProxyDeleteClick();

    // ---- downloader page (its controls are disabled) ----
    TDownloaderList Downloaders;
    QTreeWidget *DownloaderView = nullptr;
    QLineEdit *DownloaderName = nullptr;
    QLineEdit *DownloaderPath = nullptr;
    QPushButton *DownloaderBrowse = nullptr;
    QPushButton *DownloaderAdd = nullptr;
    QPushButton *DownloaderReplace = nullptr;
    QPushButton *DownloaderDelete = nullptr;

    // ---- application page ----
    QLineEdit *LogPathEdit = nullptr;
    QComboBox *StartupSiteList = nullptr;
    void ChooseLogPath();
    // The log path only says where logs are kept from now on: when it changed while the old folder
    // holds logs, the user is told that they stay there.
    static void TellLogsStay(const QString &oldLogDir, const QString &newLogDir);

    // ---- tab page ----
    TTabKindSettings ThreadTabs;
    TTabKindSettings BrowserTabs;
    QComboBox *TabKindList = nullptr;   // "スレッド一覧タブ", "ブラウザタブ"
    int TabKindTag = -1;                // the kind the controls show; -1: none
    QButtonGroup *TabPosition = nullptr;
    QButtonGroup *TabToolBarPos = nullptr;
    QComboBox *TabDblClick = nullptr;
    QComboBox *TabWheelClick = nullptr;
    QCheckBox *TabShortTitle = nullptr;
    QSpinBox *TabTitleLen = nullptr;
    QCheckBox *TabCheckLockClose = nullptr;
    QCheckBox *TabShowCloseBtn = nullptr;
    QButtonGroup *TabOrder = nullptr;
    void TabKindListChange();

    // ---- thread-list page ----
    QCheckBox *DrawEachThread = nullptr;   // "１スレッドダウンロードするたびに描画する"
    QSpinBox *RefreshCount = nullptr;
    void ApplyDownloadModeRule();

    // ---- thread and browser page ----
    QCheckBox *ResLoadAll = nullptr;
    QSpinBox *ResShowCount = nullptr;
    QButtonGroup *OpenUrlGroup = nullptr;   // in the program, outside application, quick viewer
    QCheckBox *ExecDefaultBrowser = nullptr;
    QLineEdit *BrowserPath = nullptr;
    QPushButton *BrowserPathButton = nullptr;
    QButtonGroup *ImagePaneGroup = nullptr;
    QLabel *ImagePaneSample = nullptr;
    QPixmap ImagePanePictures[3];
    void ApplyOpenUrlRule(int id);
    void ApplyDefaultBrowserRule();
    void ChooseBrowserPath();
    void ShowImagePaneSample(int id);

    // ---- >>n popup page ----
    TColorSwatch *PopupBkColor = nullptr;
    TColorSwatch *PopupTextColor = nullptr;
    TColorSwatch *PopupTitleColor = nullptr;
    QComboBox *PopupFont = nullptr;
    QSpinBox *PopupFontSize = nullptr;
    QButtonGroup *PopupPos = nullptr;
    QCheckBox *UseHtmlPopup = nullptr;
    QCheckBox *UseCgiPopup = nullptr;
    QRadioButton *PopupPicture = nullptr;   // USESIMPLEAPI 1
    QRadioButton *PopupTextOnly = nullptr;  // USESIMPLEAPI 0
    QCheckBox *JpegPopup = nullptr;
    QCheckBox *JpegPopupCtrl = nullptr;
    QCheckBox *JpegOnTop = nullptr;
    QWidget *PopupSample = nullptr;
    QLabel *PopupAnchor = nullptr;   // ">>176"
    QFrame *PopupPanel = nullptr;
    QLabel *PopupHeader = nullptr;
    QLabel *PopupBody = nullptr;
    void ApplyHtmlPopupRule();
    void ApplyJpegPopupRule();
    void RefreshPopupPreview();

    // ---- sound page ----
    // Plays a wave file at once without waiting for it.
    static void PlayWave(const QString &file);

    // ---- board-specific page ----
    QTabWidget *BBSPageControl = nullptr;   // "２ちゃんねる", "まちBBS", "megabbs", "いちごびびえす", "MILKCAFE"
    QCheckBox *DolibUseProxy = nullptr;
    QRadioButton *DolibProxyVarnelo = nullptr;
    QRadioButton *DolibProxyCustom = nullptr;
    QLineEdit *DolibProxyAddress = nullptr;
    QLineEdit *DolibProxyPort = nullptr;

    // ---- other page ----
    QScrollArea *OtherScrollBox = nullptr;

private:
    TOptionBindings bindings;
    int shownProxyTab = 0;   // the proxy tab whose set the controls show

    QWidget *CreateFrame();
    void BuildTree();
    QWidget *CreateProxyPage();
    QWidget *CreateDownloaderPage();
    QWidget *CreateAppPage();
    QWidget *CreateTabPage();
    QWidget *CreateBoardListPage();
    QWidget *CreateThreadListPage();
    QWidget *CreateBrowserPage();
    QWidget *CreatePopupPage();
    QWidget *CreateSoundPage();
    QWidget *CreateBBSPage();
    QWidget *CreateChottoPage();
    QWidget *CreateOtherPage();
    void BindTabKinds();
    void BindStartupSite();
    void BindDolibProxy(TPageBuilder &group);
    void AddSoundRow(TPageBuilder &page, const QString &caption, bool &play, QString &file);

    void ShowProxySet(const TProxySet &set);
    void StoreProxySet(TProxySet &set) const;
    TProxySet &ShownProxySet();
    void LoadProxySettings();
    void StoreProxySettings();
    void FillProxyList();
    void SaveProxyPresets();
    void FillDownloaderView();
    void DownloaderClick();
    void DownloaderAddClick();
    void DownloaderReplaceClick();
    void DownloaderDeleteClick();
    void DownloaderBrowseClick();

    void showEvent(QShowEvent *event) override;
};

// The file chosen in an open dialog (through Dialogs::ExecDialog); empty when cancelled. The
// filter is written as "name|patterns|name|patterns".
QString ChooseOpenFile(QWidget *parent, const QString &title, const QString &filter, const QString &suffix,
                       const QString &start);
