// The pages "アプリの設定", "タブ設定" and "ボード一覧" of the option dialog.

#include "settings/OptionDialog.h"

#include "controls/Dialogs.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "settings/OptionPageBuilder.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>

namespace {

const QString kDefaultFont = QStringLiteral("ＭＳ Ｐゴシック");

QStringList ClickItems()
{
    return {QStringLiteral("シングルクリック"), QStringLiteral("ダブルクリック")};
}

QStringList TabClickItems()
{
    return {QStringLiteral("リロード"), QStringLiteral("タブを閉じる")};
}

}  // namespace

// ---- アプリの設定 ----

QWidget *TOptionDialog::CreateAppPage()
{
    auto *page = new QWidget;
    TPageBuilder p(page, bindings);
    TTavuConfig &c = *TavuConfig;

    LogPathEdit = p.Text(QStringLiteral("ログのパス"), c.LOG);
    LogPathEdit->setToolTip(QStringLiteral("読んだスレッドを保存する場所です。"));
    auto *logButton = new QPushButton(QStringLiteral("..."));
    LogPathEdit->parentWidget()->layout()->addWidget(logButton);
    connect(logButton, &QPushButton::clicked, this, &TOptionDialog::ChooseLogPath);
    p.Check(QStringLiteral("マウスポインタ下のペインをアクティブにする"), c.AUTOACTIVE);
    p.Check(QStringLiteral("アイコン化時にタスクトレイに入れる"), c.INTOTASKTRAY);

    TPageBuilder mouse = p.Group(QStringLiteral("マウス操作の設定"));
    mouse.List(QStringLiteral("ボード一覧読み込み："), ClickItems(), c.BOARDLISTSETTING);
    mouse.List(QStringLiteral("スレッド一覧読み込み："), ClickItems(), c.THREADLISTSETTING);
    mouse.List(QStringLiteral("お気に入り読み込み："), ClickItems(), c.FAVLISTSETTING)->setEnabled(false);
    mouse.List(QStringLiteral("巡回リスト読み込み："), ClickItems(), c.ROUNDLISTSETTING)->setEnabled(false);

    TPageBuilder log = p.Group(QStringLiteral("ログ出力ペインの色設定"));
    TColorSwatch *back = log.Color(QStringLiteral("背景色"), c.DESKTOP_LOGBACKCOLOR);
    TColorSwatch *text = log.Color(QStringLiteral("テキストの色"), c.DESKTOP_LOGFONTCOLOR);
    QComboBox *font = log.Font(QStringLiteral("フォント"), c.DESKTOP_LOGFONTNAME);
    QSpinBox *size = log.Spin(QStringLiteral("サイズ"), 1, 100, c.DESKTOP_LOGFONTSIZE);
    connect(log.Button(QStringLiteral("デフォルトに戻す")), &QPushButton::clicked, this, [=] {
        SelectFont(font, kDefaultFont);
        size->setValue(9);
        back->SetColor(clWindow);
        text->SetColor(clWindowText);
    });

    p.Check(QStringLiteral("読み込み履歴を常に保存する"), c.SAVEHIST)
        ->setToolTip(QStringLiteral("[ファイル]-\"履歴\"、最近読んだスレの履歴を保存するかしないか"));
    p.Check(QStringLiteral("書き込み履歴を常に保存する"), c.SAVEHIST_SEND)
        ->setToolTip(QStringLiteral("[ファイル]-\"履歴\"、最近書き込んだスレの履歴を保存するかしないか"));
    p.Check(QStringLiteral("ログの削除はデスクトップのゴミ箱を利用する"), c.MOVETOTRASH);
    StartupSiteList = new QComboBox;
    p.Row(QStringLiteral("起動時にアクティブにする掲示板"), StartupSiteList);
    BindStartupSite();
    // The tool bars never roll out on a click: the setting is kept but changes nothing.
    p.Check(QStringLiteral("ツールバーをシングルクリックで \"びろーん\" とさせない"), c.LOCKTOOLBAR)->setEnabled(false);
    p.Check(QStringLiteral("検索ダイアログでオートコンプリートを有効にする"), c.FINDDLGAUTOCOMPLETE);
    p.Check(QStringLiteral("保存モード切替時に警告を出さない"), c.SAVEMODE_WARNING, true);
    p.Check(QStringLiteral("ヴァルネロ終了時に確認を表示する"), c.EXIT_WARNING);

    TPageBuilder logMode = p.Group(QStringLiteral("ログ互換モード"));
    logMode.CheckValue(QStringLiteral("Jane互換モード"), c.LOGMODE, 1, 0);
    logMode.Text(QStringLiteral("Logsのパス"), c.JANE_PATH);
    logMode.Parent()->hide();
    p.Stretch();
    return page;
}

// Every site of the registry's list, by name; the start-up site is chosen by its id.
void TOptionDialog::BindStartupSite()
{
    bindings.Add(
        [this] {
            StartupSiteList->clear();
            if (const TSiteList *sites = TavuEnviron ? TavuEnviron->SiteList() : nullptr) {
                for (int i = 0; i < sites->Count(); ++i)
                    StartupSiteList->addItem(sites->Get(i)->NAME, QVariant::fromValue<void *>(sites->Get(i)));
            }
            StartupSiteList->setCurrentIndex(StartupSiteList->count() > 0 ? 0 : -1);
            for (int i = 0; i < StartupSiteList->count(); ++i) {
                const auto *site = static_cast<const TSite *>(StartupSiteList->itemData(i).value<void *>());
                if (!TavuConfig->STARTUPSITE.isEmpty() && site->SITEID == TavuConfig->STARTUPSITE)
                    StartupSiteList->setCurrentIndex(i);
            }
        },
        [this] {
            const auto *site = static_cast<const TSite *>(StartupSiteList->currentData().value<void *>());
            TavuConfig->STARTUPSITE = site ? site->SITEID : QString();
        });
}

void TOptionDialog::ChooseLogPath()
{
    QFileDialog dialog(this, QStringLiteral("ログのパス設定"), LogPathEdit->text());
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    QString folder = dialog.selectedFiles().constFirst();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    LogPathEdit->setText(folder);
}

void TOptionDialog::TellLogsStay(const QString &oldLogDir, const QString &newLogDir)
{
    if (QDir::cleanPath(oldLogDir) == QDir::cleanPath(newLogDir))
        return;
    QDirIterator files(oldLogDir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    if (!files.hasNext())
        return;
    Dialogs::ShowMessage(Dialogs::mkInformation,
                         QStringLiteral("ログのパスを変更しました。これまでのログは移動されず、元のフォルダに残ります。\n%1")
                             .arg(QDir::toNativeSeparators(oldLogDir)));
}

// ---- タブ設定 ----

QWidget *TOptionDialog::CreateTabPage()
{
    auto *page = new QWidget;
    TPageBuilder p(page, bindings);
    TTavuConfig &c = *TavuConfig;

    // The controls of the group edit the copy of the kind shown (TabKindListChange).
    TPageBuilder kinds = p.Group(QString()).Unbound();
    TabKindList = new QComboBox;
    TabKindList->addItems({QStringLiteral("スレッド一覧タブ"), QStringLiteral("ブラウザタブ")});
    kinds.Add(TabKindList);
    int none = 0;
    bool off = false;
    TabPosition = kinds.Radio(QStringLiteral("タブ位置"), {QStringLiteral("上"), QStringLiteral("下")}, none);
    TabToolBarPos = kinds.Radio(QStringLiteral("ツールバー位置"),
                                {QStringLiteral("上"), QStringLiteral("下"), QStringLiteral("左"), QStringLiteral("右")}, none);
    TabDblClick = kinds.List(QStringLiteral("ダブルクリック時"), TabClickItems(), none);
    TabDblClick->setEnabled(false);
    TabDblClick->parentWidget()->hide();
    TPageBuilder mouse = kinds.Group(QStringLiteral("マウス操作設定"));
    TabWheelClick = mouse.List(QStringLiteral("ホイールクリック時"), TabClickItems(), none);
    TPageBuilder label = kinds.Group(QStringLiteral("ラベル"));
    TabShortTitle = label.Check(QStringLiteral("タイトルを短縮する"), off);
    TabTitleLen = label.Spin(QStringLiteral("短縮時の文字数"), 1, 100, none);
    TabCheckLockClose = kinds.Check(QStringLiteral("ロックしているタブを閉じる場合に確認を表示"), off);
    TabShowCloseBtn = kinds.Check(QStringLiteral("閉じるボタンを表示"), off);
    TabOrder = kinds.Radio(QStringLiteral("タブの作成順序"),
                           {QStringLiteral("→左から右にタブをつくる"), QStringLiteral("←右から左にタブをつくる")}, none);
    TabOrder->buttons().constFirst()->parentWidget()->hide();
    connect(TabKindList, &QComboBox::currentIndexChanged, this, &TOptionDialog::TabKindListChange);
    BindTabKinds();

    p.Spin(QStringLiteral("スクローラボタンのサイズ"), 1, 9999, c.SCROLLERSIZE);
    TPageBuilder panes = p.Group(QStringLiteral("2ペインモード"));
    panes.Check(QStringLiteral("すべてのブラウザを閉じたらスレッド一覧に切り換える"), c.CHANGEPANE_THREADLIST);
    panes.Check(QStringLiteral("スレッド一覧からスレッドを開いたら即座にブラウザに切り換える"), c.CHANGEPANE_BROWSER);
    panes.Check(QStringLiteral("ボード一覧からボードを開いたら即座にスレッド一覧に切り換える"), c.CHANGEPANE_BOARDLIST);
    panes.Check(QStringLiteral("タブのクリックでペインを切り換える"), c.TABCLICKCHANGEPANE);
    p.Stretch();
    return page;
}

// The copies of both kinds come from the configuration at open and go back to it on OK.
void TOptionDialog::BindTabKinds()
{
    bindings.Add(
        [this] {
            const TTavuConfig &c = *TavuConfig;
            ThreadTabs = {c.THREADTAB_POSITION,       c.THREADTAB_TOOLBARPOS,    c.THREADTAB_DBLCLICK,
                          c.THREADTAB_WHEELCLICK,     c.BOARDSHORTTITLE,         c.BOARDTITLELEN,
                          c.THREADTAB_CHECKLOCKCLOSE, c.THREADLIST_SHOWCLOSEBTN, c.THREADLIST_TABORDER};
            BrowserTabs = {c.BROWSERTAB_POSITION,       c.BROWSERTAB_TOOLBARPOS, c.BROWSERTAB_DBLCLICK,
                           c.BROWSERTAB_WHEELCLICK,     c.SHORTTITLE,            c.TITLELEN,
                           c.BROWSERTAB_CHECKLOCKCLOSE, c.BROWSER_SHOWCLOSEBTN,  c.BROWSER_TABORDER};
            TabKindTag = -1;
            const QSignalBlocker blocker(TabKindList);
            TabKindList->setCurrentIndex(0);
            TabKindListChange();
        },
        [this] {
            TTavuConfig &c = *TavuConfig;
            c.THREADTAB_POSITION = ThreadTabs.Position;
            c.THREADTAB_TOOLBARPOS = ThreadTabs.ToolBarPos;
            c.THREADTAB_DBLCLICK = ThreadTabs.DblClick;
            c.THREADTAB_WHEELCLICK = ThreadTabs.WheelClick;
            c.BOARDSHORTTITLE = ThreadTabs.ShortTitle;
            c.BOARDTITLELEN = ThreadTabs.TitleLen;
            c.THREADTAB_CHECKLOCKCLOSE = ThreadTabs.CheckLockClose;
            c.THREADLIST_SHOWCLOSEBTN = ThreadTabs.ShowCloseBtn;
            c.THREADLIST_TABORDER = ThreadTabs.TabOrder;
            c.BROWSERTAB_POSITION = BrowserTabs.Position;
            c.BROWSERTAB_TOOLBARPOS = BrowserTabs.ToolBarPos;
            c.BROWSERTAB_DBLCLICK = BrowserTabs.DblClick;
            c.BROWSERTAB_WHEELCLICK = BrowserTabs.WheelClick;
            c.SHORTTITLE = c.WEBSHORTTITLE = BrowserTabs.ShortTitle;
            c.TITLELEN = c.WEBTITLELEN = BrowserTabs.TitleLen;
            c.BROWSERTAB_CHECKLOCKCLOSE = BrowserTabs.CheckLockClose;
            c.BROWSER_SHOWCLOSEBTN = BrowserTabs.ShowCloseBtn;
            c.BROWSER_TABORDER = BrowserTabs.TabOrder;
        });
}

// Stores the controls into the copy of the kind they showed, then shows the chosen kind's copy.
void TOptionDialog::TabKindListChange()
{
    auto store = [this](TTabKindSettings &kind) {
        if (TabPosition->checkedId() != -1)
            kind.Position = TabPosition->checkedId();
        if (TabToolBarPos->checkedId() != -1)
            kind.ToolBarPos = TabToolBarPos->checkedId() + 1;
        kind.DblClick = TabDblClick->currentIndex();
        kind.WheelClick = TabWheelClick->currentIndex();
        kind.ShortTitle = TabShortTitle->isChecked();
        kind.TitleLen = TabTitleLen->value();
        kind.CheckLockClose = TabCheckLockClose->isChecked();
        kind.ShowCloseBtn = TabShowCloseBtn->isChecked();
        if (TabOrder->checkedId() != -1)
            kind.TabOrder = TabOrder->checkedId();
    };
    if (TabKindTag == 0)
        store(ThreadTabs);
    else if (TabKindTag == 1)
        store(BrowserTabs);
    TabKindTag = TabKindList->currentIndex() == 0 ? 0 : 1;
    const TTabKindSettings &kind = TabKindTag == 0 ? ThreadTabs : BrowserTabs;
    CheckRadio(TabPosition, kind.Position);
    CheckRadio(TabToolBarPos, kind.ToolBarPos - 1);
    TabDblClick->setCurrentIndex(kind.DblClick);
    TabWheelClick->setCurrentIndex(kind.WheelClick);
    TabShortTitle->setChecked(kind.ShortTitle);
    TabTitleLen->setValue(kind.TitleLen);
    TabCheckLockClose->setChecked(kind.CheckLockClose);
    TabShowCloseBtn->setChecked(kind.ShowCloseBtn);
    CheckRadio(TabOrder, kind.TabOrder);
}

// ---- ボード一覧 ----

QWidget *TOptionDialog::CreateBoardListPage()
{
    auto *page = new QWidget;
    TPageBuilder p(page, bindings);
    TTavuConfig &c = *TavuConfig;

    p.Check(QStringLiteral("常にひとつのカテゴリのみ展開"), c.BOARDLISTAUTOEXPAND);
    p.Check(QStringLiteral("サーバー名の表示・できません"), c.SHOWHOSTNAME)->setEnabled(false);
    TPageBuilder colors = p.Group(QStringLiteral("配色"));
    TColorSwatch *category = colors.Color(QStringLiteral("カテゴリの背景色"), c.CATEGORYBKCOLOR);
    TColorSwatch *board = colors.Color(QStringLiteral("ボードの背景色"), c.BOARDLISTBKCOLOR);
    TColorSwatch *text = colors.Color(QStringLiteral("テキストの色"), c.BOARDTEXTCOLOR);
    QComboBox *font = colors.Font(QStringLiteral("フォント"), c.BOARDLISTFONTNAME);
    QSpinBox *size = colors.Spin(QStringLiteral("サイズ"), 1, 100, c.BOARDLISTFONTSIZE);
    connect(colors.Button(QStringLiteral("デフォルトに戻す")), &QPushButton::clicked, this, [=] {
        category->SetColor(clInfoBk);
        board->SetColor(clWindow);
        text->SetColor(clWindowText);
        SelectFont(font, kDefaultFont);
        size->setValue(9);
    });
    connect(font, &QComboBox::currentIndexChanged, this, &TOptionDialog::RefreshPopupPreview);
    connect(size, &QSpinBox::valueChanged, this, &TOptionDialog::RefreshPopupPreview);

    TPageBuilder bar = p.Group(QStringLiteral("BBSツールバー"));
    bar.Check(QStringLiteral("ツールバーの表示"), c.SHOWBBSTOOLBAR);
    bar.Check(QStringLiteral("ボタンに画像を表示"), c.BBSTOOLBARSHOWIMAGE);
    int showRight = 0;
    QButtonGroup *side = bar.Unbound().Radio(QStringLiteral("表示位置"), {QStringLiteral("左"), QStringLiteral("右")}, showRight);
    bindings.Add([side] { CheckRadio(side, TavuConfig->DESKTOP_BOARDLISTSHOWRIGHT ? 1 : 0); },
                 [side] { TavuConfig->DESKTOP_BOARDLISTSHOWRIGHT = side->checkedId() == 1; });
    p.Stretch();
    return page;
}
