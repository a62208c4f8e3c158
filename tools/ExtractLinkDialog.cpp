#include "tools/ExtractLinkDialog.h"

#include "controls/Dialogs.h"
#include "controls/RollUp.h"
#include "controls/WindowBounds.h"
#include "core/Exceptions.h"
#include "core/MonaUtils.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/TavuConfig.h"
#include "core/TextList.h"
#include "core/ThreadItem.h"
#include "render/EmbeddedWB.h"
#include "render/TavuBrowser.h"
#include "services/ResSearch.h"
#include "services/Urls.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWindow>

namespace {

const int LinkRole = Qt::UserRole;
const QString SkinSection = QStringLiteral("linkextract_dialog");

// Copies a default file of the program's def/ folder into the profile unless it is there.
void SeedFromDefaults(const QString &profileDir, const QString &name)
{
    const QString target = profileDir + name;
    const QString source = TTavuConfig::AppDir() + QStringLiteral("def/") + name;
    if (!QFile::exists(target) && QFile::exists(source))
        QFile::copy(source, target);
}

}  // namespace

TExtractLinkDialog::TExtractLinkDialog(QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::WindowStaysOnTopHint), PageControl1(new QTabWidget), ComboBox1(new QComboBox), Edit1(new QLineEdit),
      CheckBox1(new QCheckBox(QStringLiteral("新着のみ(&N)"))), CheckBox2(new QCheckBox(QStringLiteral("しおり付きのみ(&B)"))),
      CheckBox3(new QCheckBox(QStringLiteral("リンク先(&L)"))), InsideButton(new QRadioButton(QStringLiteral("掲示板内のみ"))),
      OutsideButton(new QRadioButton(QStringLiteral("掲示板外のみ"))), Button3(new QPushButton(QStringLiteral("適用 >>"))),
      Button5(new QPushButton(QStringLiteral("適用 >>"))), Button4(new QPushButton(QStringLiteral("リセット"))),
      ListView1(new QTreeWidget), ComboBox2(new QComboBox), Button1(new QPushButton(QStringLiteral("実行"))),
      Button2(new QPushButton(QStringLiteral("閉じる(&C)"))), WebBrowser2(new QTextBrowser), StatusBar1(new QLabel),
      BrowserPanel(new QWidget)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("リンク抽出"));
    profileDir = TavuConfig ? TavuConfig->GetProfileDir() : QString();
    if (!profileDir.isEmpty()) {
        SeedFromDefaults(profileDir, QStringLiteral("linkext.txt"));
        SeedFromDefaults(profileDir, QStringLiteral("linktype.txt"));
        TTextList lines;
        lines.LoadFromFile(profileDir + QStringLiteral("linktype.txt"));
        for (const QString &line : lines.Lines) {
            types << TLinkType::FromLine(line);
            ComboBox1->addItem(line);
        }
    }
    targets = TLinkExtraction::LoadTargets(profileDir);
    for (const TDownloadTarget &target : targets)
        ComboBox2->addItem(target.Caption);

    InsideButton->setChecked(true);
    auto *options = new QGroupBox(QStringLiteral("表示オプション"));
    auto *optionRows = new QHBoxLayout(options);
    for (QWidget *w : {static_cast<QWidget *>(CheckBox1), static_cast<QWidget *>(CheckBox2), static_cast<QWidget *>(CheckBox3),
                       static_cast<QWidget *>(InsideButton), static_cast<QWidget *>(OutsideButton)})
        optionRows->addWidget(w);
    for (QCheckBox *box : {CheckBox1, CheckBox2, CheckBox3})
        connect(box, &QCheckBox::toggled, this, &TExtractLinkDialog::FillList);
    connect(InsideButton, &QRadioButton::toggled, this, &TExtractLinkDialog::FillList);

    ListView1->setHeaderLabels({QStringLiteral("Res"), QStringLiteral("名前"), QStringLiteral("URL"), QStringLiteral("ファイル名"),
                                QStringLiteral("拡張子"), QStringLiteral("スレッド")});
    ListView1->setRootIsDecorated(false);
    ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView1->setContextMenuPolicy(Qt::ActionsContextMenu);
    ListView1->addAction(QStringLiteral("全選択(&A)"), this, [this] { TickAll(true); });
    ListView1->addAction(QStringLiteral("全解除(&C)"), this, [this] { TickAll(false); });
    QAction *copy = ListView1->addAction(QStringLiteral("URLのコピー(&C)"), this, &TExtractLinkDialog::CopySelectedUrls);
    copy->setShortcut(QKeySequence(QStringLiteral("Ctrl+C")));

    connect(ListView1, &QTreeWidget::itemClicked, this, &TExtractLinkDialog::ShowPreview);
    ListView1->installEventFilter(this);   // Enter shows the preview too
    connect(Button3, &QPushButton::clicked, this, [this] {
        if (ComboBox1->currentIndex() >= 0)
            Tick(TLinkExtraction::MatchingType(extraction.Links(), extraction.Visible({}), types[ComboBox1->currentIndex()]), true);
    });
    connect(Button5, &QPushButton::clicked, this, [this] { Tick(TLinkExtraction::MatchingText(extraction.Links(), extraction.Visible({}), Edit1->text()), true); });
    connect(Button4, &QPushButton::clicked, this, [this] { TickAll(false); });
    connect(Button1, &QPushButton::clicked, this, &TExtractLinkDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::close);

    auto *typeRow = new QHBoxLayout;
    typeRow->addWidget(ComboBox1, 1);
    typeRow->addWidget(Button3);
    auto *textRow = new QHBoxLayout;
    textRow->addWidget(Edit1, 1);
    textRow->addWidget(Button5);
    textRow->addWidget(Button4);
    auto *runRow = new QHBoxLayout;
    runRow->addWidget(ComboBox2, 1);
    runRow->addWidget(Button1);
    runRow->addWidget(Button2);
    auto *settings = new QWidget;
    auto *page = new QVBoxLayout(settings);
    page->addLayout(typeRow);
    page->addLayout(textRow);
    page->addWidget(options);
    auto *listAndPreview = new QSplitter(Qt::Vertical);
    listAndPreview->addWidget(ListView1);
    listAndPreview->addWidget(BrowserPanel);
    new QVBoxLayout(BrowserPanel);
    BrowserPanel->layout()->setContentsMargins(0, 0, 0, 0);
    page->addWidget(listAndPreview, 1);
    page->addLayout(runRow);
    PageControl1->addTab(settings, QStringLiteral("抽出設定"));
    PageControl1->addTab(WebBrowser2, QStringLiteral("リンク一覧"));
    WebBrowser2->setOpenLinks(false);
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == 1)
            ShowLinkPage();
    });
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1, 1);
    layout->addWidget(StatusBar1);
    rollUp = std::make_unique<TRollUp>(this, QList<QWidget *>{PageControl1, StatusBar1});
    resize(640, 480);
}

TExtractLinkDialog::~TExtractLinkDialog() = default;

void TExtractLinkDialog::FillList()
{
    TLinkFilter filter;
    filter.NewOnly = CheckBox1->isChecked();
    filter.BookmarkedOnly = CheckBox2->isChecked();
    filter.ByPlace = CheckBox3->isChecked();
    filter.InsideBoards = InsideButton->isChecked();
    ListView1->setUpdatesEnabled(false);
    ListView1->clear();
    const QList<int> rows = extraction.Visible(filter);
    for (int index : rows) {
        const ResSearch::TLinkItem &link = extraction.Links()[index];
        const TThreadItem *item = link.ResList->Item();
        auto *row = new QTreeWidgetItem(ListView1, {QStringLiteral("%1").arg(link.Res->Number, 4, 10, QLatin1Char('0')),
                                                    MonaUtils::StripHtmlTags(link.Res->Name), link.URL, link.FileName,
                                                    link.Extension, item ? item->ShownTitle() : QString()});
        row->setData(0, LinkRole, index);
        row->setCheckState(0, Qt::Unchecked);
    }
    ListView1->setUpdatesEnabled(true);
    StatusBar1->setText(QString::number(rows.size()) + QStringLiteral("件"));
}

void TExtractLinkDialog::Tick(const QList<int> &links, bool on)
{
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = ListView1->topLevelItem(i);
        if (links.contains(row->data(0, LinkRole).toInt()))
            row->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
    }
}

void TExtractLinkDialog::TickAll(bool on)
{
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i)
        ListView1->topLevelItem(i)->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
}

QStringList TExtractLinkDialog::TickedUrls() const
{
    QStringList urls;
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        if (ListView1->topLevelItem(i)->checkState(0) == Qt::Checked)
            urls << ListView1->topLevelItem(i)->text(2);
    }
    return urls;
}

void TExtractLinkDialog::Button1Click()
{
    const int index = ComboBox2->currentIndex();
    QString error;
    if (index >= 0 && !TLinkExtraction::Dispatch(targets[index], TickedUrls(), &error))
        Dialogs::ShowMessage(Dialogs::mkError, error);
}

void TExtractLinkDialog::CopySelectedUrls()
{
    QString text;
    for (const QTreeWidgetItem *row : ListView1->selectedItems())
        text += row->text(2) + QStringLiteral("\r\n");
    QApplication::clipboard()->setText(text);
}

void TExtractLinkDialog::ShowLinkPage()
{
    QString linkTemplate;
    try {
        if (!profileDir.isEmpty())
            linkTemplate = TLinkExtraction::LoadLinkTemplate(profileDir);
    } catch (const EVarnelo &e) {
        Dialogs::ShowMessage(Dialogs::mkError, e.Message);
    }
    WebBrowser2->setHtml(TLinkExtraction::LinkPage(linkTemplate, TickedUrls()));
}

// The panel under the list is empty, and so squeezed shut, until the first preview: the preview
// then takes half of the list's room, or it would be drawn out of sight.
void TExtractLinkDialog::CreatePreview()
{
    Preview = new TTavuBrowser(BrowserPanel);
    BrowserPanel->layout()->addWidget(Preview);
    if (auto *listAndPreview = qobject_cast<QSplitter *>(BrowserPanel->parentWidget()); listAndPreview && BrowserPanel->height() == 0) {
        const int room = ListView1->height();
        listAndPreview->setSizes({room - room / 2, room / 2});
    }
    Preview->ReadSkinSettings(SkinSection);
    // A link the preview would open in a new window goes to the main window.
    connect(Preview->Browser(), &TEmbeddedWB::NewWindow, this, [this](const QUrl &url, TEmbeddedWB *&, bool &cancel) {
        cancel = true;
        if (OpenInWindow)
            OpenInWindow(url.toString());
    });
}

void TExtractLinkDialog::ShowPreview(QTreeWidgetItem *row)
{
    if (!row)
        return;
    if (!Preview)
        CreatePreview();
    const ResSearch::TLinkItem &link = extraction.Links()[row->data(0, LinkRole).toInt()];
    TThreadItem *item = link.ResList->Item();
    auto *shown = new TResList(item);
    ResSearch::CollectReplies(*link.ResList, link.Res->Number, *shown);
    Preview->ClearDocument();
    Preview->CreateResWriter();
    Preview->SetThreadItem(item);
    Preview->SetResList(shown);   // the preview owns it
    Preview->WriteHeader();
    for (int i = 0; i < shown->Count(); ++i) {
        TRes *res = shown->Get(i);
        if (res->Visible || res->Number == link.Res->Number)
            Preview->AppendRes(res);
    }
    Preview->WriteHtml();
}

TWindowBounds TExtractLinkDialog::Bounds() const
{
    return {TavuConfig->DESKTOP_EXTRACTLINK_WINDOWSTATE, TavuConfig->DESKTOP_EXTRACTLINK_LEFT, TavuConfig->DESKTOP_EXTRACTLINK_TOP,
            TavuConfig->DESKTOP_EXTRACTLINK_WIDTH, TavuConfig->DESKTOP_EXTRACTLINK_HEIGHT};
}

// Enter in the list previews the current row and goes no further (it would press a button).
bool TExtractLinkDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ListView1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ShowPreview(ListView1->currentItem());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TExtractLinkDialog::showEvent(QShowEvent *event)
{
    if (TavuConfig)
        Bounds().Restore(this);
    QDialog::showEvent(event);
}

// The window stays on top while it is active only; inactive, it rolls up to its caption.
void TExtractLinkDialog::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    if (QWindow *handle = windowHandle())
        handle->setFlag(Qt::WindowStaysOnTopHint, isActiveWindow());
    rollUp->ActivationChanged();
}

void TExtractLinkDialog::closeEvent(QCloseEvent *event)
{
    rollUp->Unroll();
    if (TavuConfig)
        Bounds().Store(this);
    if (Preview) {
        Preview->SetResList(nullptr);
        Preview->SetThreadItem(nullptr);
    }
    QDialog::closeEvent(event);
}
