#include "settings/OptionDialog.h"

#include "controls/ActionCatalogue.h"
#include "controls/Dialogs.h"
#include "controls/HeaderFrame.h"
#include "core/Exceptions.h"
#include "core/TavuConfig.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

struct TPageInfo {
    const char *Caption;
    int Icon;
};

const TPageInfo kPages[TOptionDialog::PageCount] = {
    {"プロキシ設定", 0},       {"アプリの設定", 57}, {"タブ設定", 34},  {"ボード一覧", 5},
    {"スレッド一覧", 6},       {"スレッド／ブラウザ", 30}, {">>n ポップアップ", 59}, {"サウンド", 55},
    {"BBS固有情報", 69},       {"ダウンローダ", 14}, {"ちょっと見ビューア", 129}, {"その他", 126},
};
constexpr int kRootIcon = 140;

QString ProfileFile(const QString &name)
{
    return TavuConfig->GetProfileDir() + name;
}

// The action pictures, read once from the same strip as the main window's actions.
const TImageList &ActionImages()
{
    static const TImageList images = ActionCatalogue::LoadImages(ActionCatalogue::ImageStripFile());
    return images;
}

QIcon ActionIcon(int index)
{
    return ActionImages().value(index);
}

// A node's icon; a blank one where the image list has no picture, so that every caption starts
// at the same place.
QIcon NodeIcon(int index, const QSize &size)
{
    const QIcon icon = ActionIcon(index);
    if (!icon.isNull())
        return icon;
    QPixmap blank(size);
    blank.fill(Qt::transparent);
    return QIcon(blank);
}

QLineEdit *AddProxyEdit(QFormLayout *form, const QString &caption, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    form->addRow(caption, edit);
    return edit;
}

}  // namespace

QString ChooseOpenFile(QWidget *parent, const QString &title, const QString &filter, const QString &suffix,
                       const QString &start)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        filters << parts.at(i);
    QFileDialog dialog(parent, title);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(suffix.startsWith(QLatin1Char('.')) ? suffix.mid(1) : suffix);
    if (!start.isEmpty()) {
        dialog.setDirectory(QFileInfo(start).absolutePath());
        dialog.selectFile(start);
    }
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QString TOptionDialog::PageCaption(int page)
{
    return page >= 0 && page < PageCount ? QString::fromUtf8(kPages[page].Caption) : QString();
}

int TOptionDialog::PageIcon(int page)
{
    return page >= 0 && page < PageCount ? kPages[page].Icon : -1;
}

// ---- creation ----

TOptionDialog::TOptionDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("OptionDialog"));
    setWindowTitle(QStringLiteral("オプション"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(CreateFrame(), 1);
    auto *buttons = new QHBoxLayout;
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn2 = new QPushButton(QStringLiteral("キャンセル"), this);
    BitBtn1->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    layout->addLayout(buttons);
    connect(BitBtn1, &QPushButton::clicked, this, &TOptionDialog::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    resize(760, 600);

    PageControl1->setCurrentIndex(pgProxy);
    OtherScrollBox->verticalScrollBar()->setValue(0);
    TavuConfig->Load();
    BBSPageControl->setCurrentIndex(0);
    LoadProxySettings();
    if (ProxyPresets.LoadFromFile(ProfileFile(QStringLiteral("proxy.txt"))))
        FillProxyList();
    bindings.LoadAll();
    if (Downloaders.LoadFromFile(ProfileFile(QStringLiteral("downapp.txt"))))
        FillDownloaderView();
    BuildTree();
}

// The tree and title on the left, the header band and the pages on the right.
QWidget *TOptionDialog::CreateFrame()
{
    auto *frame = new QWidget(this);
    auto *layout = new QHBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);

    auto *left = new QWidget(frame);
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(new QLabel(QStringLiteral("ヴァルネロ・オプション"), left));
    TreeView1 = new QTreeWidget(left);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView1->setFixedWidth(170);
    leftLayout->addWidget(TreeView1, 1);
    connect(TreeView1, &QTreeWidget::itemClicked, this, [this] { TreeView1Click(); });
    connect(TreeView1, &QTreeWidget::currentItemChanged, this, [this] { TreeView1Click(); });
    layout->addWidget(left);

    auto *right = new QWidget(frame);
    auto *rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    HeaderFrame = new THeaderFrame(right);
    rightLayout->addWidget(HeaderFrame);
    PageControl1 = new QStackedWidget(right);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    rightLayout->addWidget(PageControl1, 1);
    layout->addWidget(right, 1);

    using TCreate = QWidget *(TOptionDialog::*)();
    const TCreate creators[PageCount] = {
        &TOptionDialog::CreateProxyPage,      &TOptionDialog::CreateAppPage,
        &TOptionDialog::CreateTabPage,        &TOptionDialog::CreateBoardListPage,
        &TOptionDialog::CreateThreadListPage, &TOptionDialog::CreateBrowserPage,
        &TOptionDialog::CreatePopupPage,      &TOptionDialog::CreateSoundPage,
        &TOptionDialog::CreateBBSPage,        &TOptionDialog::CreateDownloaderPage,
        &TOptionDialog::CreateChottoPage,     &TOptionDialog::CreateOtherPage,
    };
    for (int page = 0; page < PageCount; ++page) {
        auto *scroll = new QScrollArea(PageControl1);
        scroll->setWidgetResizable(true);
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setWidget((this->*creators[page])());
        PageControl1->addWidget(scroll);
        if (page == pgOther)
            OtherScrollBox = scroll;
    }
    return frame;
}

// One root "オプション" with a child per page, fully expanded, page 0 selected.
void TOptionDialog::BuildTree()
{
    const QSize iconSize = TreeView1->iconSize().isValid() ? TreeView1->iconSize() : QSize(16, 16);
    auto *root = new QTreeWidgetItem(TreeView1, QStringList(QStringLiteral("オプション")));
    root->setIcon(0, NodeIcon(kRootIcon, iconSize));
    root->setData(0, Qt::UserRole, -1);
    for (int page = 0; page < PageCount; ++page) {
        auto *node = new QTreeWidgetItem(root, QStringList(PageCaption(page)));
        node->setIcon(0, NodeIcon(PageIcon(page), iconSize));
        node->setData(0, Qt::UserRole, page);
    }
    TreeView1->expandAll();
    // Wide enough for every caption.
    TreeView1->resizeColumnToContents(0);
    TreeView1->setFixedWidth(std::max(TreeView1->width(), TreeView1->columnWidth(0) + 2 * TreeView1->frameWidth() + 8));
    TreeView1->setCurrentItem(root->child(pgProxy));
    TreeView1Click();
}

void TOptionDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TOptionDialog::FormActivate()
{
    QTreeWidgetItem *root = TreeView1->topLevelItem(0);
    if (QTreeWidgetItem *node = root ? root->child(StartPage) : nullptr)
        TreeView1->setCurrentItem(node);
    TreeView1Click();
}

void TOptionDialog::TreeView1Click()
{
    QTreeWidgetItem *node = TreeView1->currentItem();
    if (!node)
        return;
    const int page = node->data(0, Qt::UserRole).toInt();
    if (page < 0 || page >= PageCount)
        return;
    PageControl1->setCurrentIndex(page);
    HeaderFrame->SetTitle(PageCaption(page));
    HeaderFrame->SetIcon(node->icon(0).pixmap(16, 16));
}

// ---- OK ----

void TOptionDialog::BitBtn1Click()
{
    const QString oldLogDir = TavuConfig->LOG;
    try {
        StoreProxySettings();
        SaveProxyPresets();
        TabKindListChange();   // the tab kind shown is stored first
        bindings.StoreAll();
        Downloaders.SaveToFile(ProfileFile(QStringLiteral("downapp.txt")));
        TavuConfig->Save();
    } catch (const EVarnelo &error) {
        Dialogs::ShowMessage(Dialogs::mkError, error.Message);
        return;
    }
    TellLogsStay(oldLogDir, TavuConfig->LOG);
    accept();
}

// ---- proxy page ----

QWidget *TOptionDialog::CreateProxyPage()
{
    auto *page = new QWidget;
    auto *layout = new QHBoxLayout(page);

    auto *left = new QVBoxLayout;
    ProxyTab = new QTabBar(page);
    ProxyTab->addTab(QStringLiteral("読み込み用"));
    ProxyTab->addTab(QStringLiteral("書き込み用"));
    left->addWidget(ProxyTab);
    auto *box = new QGroupBox(page);
    auto *form = new QFormLayout(box);
    UseProxy = new QCheckBox(QStringLiteral("HTTPプロキシを使用する"), box);
    form->addRow(UseProxy);
    ProxyAddress = AddProxyEdit(form, QStringLiteral("プロキシアドレス"), box);
    ProxyPort = AddProxyEdit(form, QStringLiteral("プロキシポート"), box);
    ProxyPort->setText(QStringLiteral("80"));
    ProxyUserName = AddProxyEdit(form, QStringLiteral("プロキシユーザー"), box);
    ProxyPassword = AddProxyEdit(form, QStringLiteral("プロキシパスワード"), box);
    ProxyPassword->setEchoMode(QLineEdit::Password);
    ProxyMemo = AddProxyEdit(form, QStringLiteral("コメント"), box);   // one line: no line breaks
    left->addWidget(box);

    // "HTTP 更新確認" is kept hidden but loaded and stored like the visible controls.
    auto *httpBox = new QGroupBox(QStringLiteral("HTTP 更新確認"), page);
    auto *httpLayout = new QVBoxLayout(httpBox);
    HttpModeGroup = new QButtonGroup(httpBox);
    const QStringList modes = {QStringLiteral("If-Modified-Since"), QStringLiteral("If-None-Match")};
    for (int i = 0; i < modes.size(); ++i) {
        auto *button = new QRadioButton(modes.at(i), httpBox);
        httpLayout->addWidget(button);
        HttpModeGroup->addButton(button, i);
    }
    httpBox->hide();
    bindings.Radio(HttpModeGroup, TavuConfig->HTTP_MODE);
    left->addWidget(httpBox);
    left->addStretch();
    layout->addLayout(left, 1);

    auto *right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("設定一覧 :"), page));
    ProxyList = new QListWidget(page);
    right->addWidget(ProxyList, 1);
    auto *buttons = new QHBoxLayout;
    ProxySaveButton = new QPushButton(QStringLiteral("保存"), page);
    ProxySaveButton->setToolTip(QStringLiteral("プロキシの設定を一覧に追加します"));
    ProxyApplyButton = new QPushButton(QStringLiteral("適用"), page);
    ProxyApplyButton->setToolTip(QStringLiteral("設定一覧で選択しているプロキシを適用します"));
    ProxyDeleteButton = new QPushButton(QStringLiteral("→削除"), page);
    ProxyDeleteButton->setToolTip(QStringLiteral("設定一覧から選択している情報を削除します"));
    for (QPushButton *button : {ProxySaveButton, ProxyApplyButton, ProxyDeleteButton})
        buttons->addWidget(button);
    right->addLayout(buttons);
    layout->addLayout(right, 1);

    connect(ProxyTab, &QTabBar::currentChanged, this, &TOptionDialog::ProxyTabChange);
    connect(ProxySaveButton, &QPushButton::clicked, this, &TOptionDialog::ProxySaveClick);
    connect(ProxyApplyButton, &QPushButton::clicked, this, &TOptionDialog::ProxyApplyClick);
    connect(ProxyList, &QListWidget::itemDoubleClicked, this, &TOptionDialog::ProxyApplyClick);
    connect(ProxyDeleteButton, &QPushButton::clicked, this, &TOptionDialog::ProxyDeleteClick);
    return page;
}

void TOptionDialog::ShowProxySet(const TProxySet &set)
{
    UseProxy->setChecked(set.Use);
    ProxyAddress->setText(set.Host);
    ProxyPort->setText(set.Port);
    ProxyUserName->setText(set.UserName);
    ProxyPassword->setText(set.Password);
    ProxyMemo->setText(set.Memo);
}

void TOptionDialog::StoreProxySet(TProxySet &set) const
{
    set.Use = UseProxy->isChecked();
    set.Host = ProxyAddress->text();
    set.Port = ProxyPort->text();
    set.UserName = ProxyUserName->text();
    set.Password = ProxyPassword->text();
    set.Memo = ProxyMemo->text();
}

TProxySet &TOptionDialog::ShownProxySet()
{
    return shownProxyTab == 1 ? PostProxy : ReadProxy;
}

void TOptionDialog::LoadProxySettings()
{
    const TTavuConfig &c = *TavuConfig;
    ReadProxy = {c.PROXY_USE, c.PROXY_HOST, c.PROXY_PORT, c.PROXY_USERNAME, c.PROXY_PASSWORD, c.PROXY_MEMO};
    PostProxy = {c.SEND_PROXY_USE, c.SEND_PROXY_HOST, c.SEND_PROXY_PORT, c.SEND_PROXY_USERNAME,
                 c.SEND_PROXY_PASSWORD, c.SEND_PROXY_MEMO};
    shownProxyTab = ProxyTab->currentIndex();
    ShowProxySet(ShownProxySet());
}

void TOptionDialog::StoreProxySettings()
{
    StoreProxySet(ShownProxySet());
    TTavuConfig &c = *TavuConfig;
    c.PROXY_USE = ReadProxy.Use;
    c.PROXY_HOST = ReadProxy.Host;
    c.PROXY_PORT = ReadProxy.Port;
    c.PROXY_USERNAME = ReadProxy.UserName;
    c.PROXY_PASSWORD = ReadProxy.Password;
    c.PROXY_MEMO = ReadProxy.Memo;
    c.SEND_PROXY_USE = PostProxy.Use;
    c.SEND_PROXY_HOST = PostProxy.Host;
    c.SEND_PROXY_PORT = PostProxy.Port;
    c.SEND_PROXY_USERNAME = PostProxy.UserName;
    c.SEND_PROXY_PASSWORD = PostProxy.Password;
    c.SEND_PROXY_MEMO = PostProxy.Memo;
}

void TOptionDialog::ProxyTabChange(int index)
{
    StoreProxySet(ShownProxySet());
    shownProxyTab = index;
    ShowProxySet(ShownProxySet());
}

void TOptionDialog::FillProxyList()
{
    ProxyList->clear();
    ProxyList->addItems(ProxyPresets.Lines);
}

void TOptionDialog::SaveProxyPresets()
{
    ProxyPresets.SaveToFile(ProfileFile(QStringLiteral("proxy.txt")));
}

void TOptionDialog::ProxySaveClick()
{
    TProxySet shown;
    StoreProxySet(shown);
    if (!ProxyPresets.AddLine(TProxyPresetList::MakeLine(shown)))
        return;
    FillProxyList();
    ProxyList->setCurrentRow(0);
    try {
        SaveProxyPresets();
    } catch (const EVarnelo &error) {
        Dialogs::ShowMessage(Dialogs::mkError, error.Message);
    }
}

void TOptionDialog::ProxyApplyClick()
{
    const int row = ProxyList->currentRow();
    if (row < 0 || !ProxyList->currentItem()->isSelected()) {
        Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("設定一覧から適用する情報を選択してください。"));
        return;
    }
    TProxySet set;
    StoreProxySet(set);
    TProxyPresetList::ApplyLine(ProxyPresets.Lines.at(row), set);
    ShowProxySet(set);
}

void TOptionDialog::ProxyDeleteClick()
{
    const int row = ProxyList->currentRow();
    if (row < 0 || !ProxyList->currentItem()->isSelected()) {
        Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("設定一覧から削除する情報を選択してください。"));
        return;
    }
    const QString line = ProxyPresets.Lines.at(row);
    if (!Dialogs::AskYesNo(QStringLiteral("以下のプロキシ設定を削除しますか？\n") + line, Dialogs::mkWarning))
        return;
    ProxyPresets.Lines.removeAt(row);
    FillProxyList();
    try {
        SaveProxyPresets();
    } catch (const EVarnelo &error) {
        Dialogs::ShowMessage(Dialogs::mkError, error.Message);
    }
}

// ---- downloader page ----

QWidget *TOptionDialog::CreateDownloaderPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel(QStringLiteral("リンク抽出後に利用するダウンローダの設定"), page));
    DownloaderView = new QTreeWidget(page);
    DownloaderView->setRootIsDecorated(false);
    DownloaderView->setHeaderLabels({QStringLiteral("名前"), QStringLiteral("パス")});
    layout->addWidget(DownloaderView, 1);
    auto *form = new QFormLayout;
    DownloaderName = new QLineEdit(page);
    form->addRow(QStringLiteral("名前"), DownloaderName);
    auto *pathRow = new QHBoxLayout;
    DownloaderPath = new QLineEdit(page);
    DownloaderBrowse = new QPushButton(QStringLiteral("..."), page);
    pathRow->addWidget(DownloaderPath, 1);
    pathRow->addWidget(DownloaderBrowse);
    form->addRow(QStringLiteral("パス"), pathRow);
    layout->addLayout(form);
    auto *buttons = new QHBoxLayout;
    DownloaderAdd = new QPushButton(QStringLiteral("追加(&A)"), page);
    DownloaderReplace = new QPushButton(QStringLiteral("置換(&R)"), page);
    DownloaderDelete = new QPushButton(QStringLiteral("削除(&D)"), page);
    buttons->addStretch();
    for (QPushButton *button : {DownloaderAdd, DownloaderReplace, DownloaderDelete})
        buttons->addWidget(button);
    layout->addLayout(buttons);

    connect(DownloaderView, &QTreeWidget::itemClicked, this, &TOptionDialog::DownloaderClick);
    connect(DownloaderBrowse, &QPushButton::clicked, this, &TOptionDialog::DownloaderBrowseClick);
    connect(DownloaderAdd, &QPushButton::clicked, this, &TOptionDialog::DownloaderAddClick);
    connect(DownloaderReplace, &QPushButton::clicked, this, &TOptionDialog::DownloaderReplaceClick);
    connect(DownloaderDelete, &QPushButton::clicked, this, &TOptionDialog::DownloaderDeleteClick);
    // The page is not in use: the list goes back to downapp.txt as it was read.
    for (QWidget *control : std::initializer_list<QWidget *>{DownloaderView, DownloaderName, DownloaderPath,
                                                             DownloaderBrowse, DownloaderAdd, DownloaderReplace,
                                                             DownloaderDelete})
        control->setEnabled(false);
    return page;
}

void TOptionDialog::FillDownloaderView()
{
    DownloaderView->clear();
    for (const TDownloader &row : Downloaders.Items)
        new QTreeWidgetItem(DownloaderView, {row.Name, row.Path});
}

void TOptionDialog::DownloaderClick()
{
    const int row = DownloaderView->indexOfTopLevelItem(DownloaderView->currentItem());
    if (row < 0)
        return;
    DownloaderName->setText(Downloaders.Items.at(row).Name);
    DownloaderPath->setText(Downloaders.Items.at(row).Path);
}

void TOptionDialog::DownloaderAddClick()
{
    TDownloader row;
    row.Name = DownloaderName->text();
    row.Path = DownloaderPath->text();
    Downloaders.Items.append(row);
    FillDownloaderView();
}

void TOptionDialog::DownloaderReplaceClick()
{
    const int row = DownloaderView->indexOfTopLevelItem(DownloaderView->currentItem());
    if (row < 0)
        return;
    Downloaders.Items[row].Name = DownloaderName->text();
    Downloaders.Items[row].Path = DownloaderPath->text();
    FillDownloaderView();
}

void TOptionDialog::DownloaderDeleteClick()
{
    const int row = DownloaderView->indexOfTopLevelItem(DownloaderView->currentItem());
    if (row < 0)
        return;
    Downloaders.Items.removeAt(row);
    FillDownloaderView();
}

void TOptionDialog::DownloaderBrowseClick()
{
    const QString file = ChooseOpenFile(this, QStringLiteral("利用するダウンローダ"),
                                        QStringLiteral("Exe (*.exe)|*.exe|All Files (*.*)|*.*"),
                                        QStringLiteral(".exe"), DownloaderPath->text());
    if (!file.isEmpty())
        DownloaderPath->setText(file);
}
