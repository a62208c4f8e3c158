#include "settings/SkinDialog2.h"

#include "core/Exceptions.h"
#include "core/IniFile.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/TavuConfig.h"
#include "core/ThreadItem.h"
#include "render/EmbeddedWB.h"
#include "render/TavuBrowser.h"
#include "render/TavuResWriter.h"
#include "settings/HeaderFrame.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QString SkinIniPath(const QString &profileDir)
{
    return profileDir + QStringLiteral("skin.ini");
}

// The five responses of the sample thread: an ID, an anchor, a trip with "age", ASCII art under
// "sage", and a picture link.
const char *const SampleLines[] = {
    "名無しさん<><>2004/01/01(木) 00:00:00 ID:SaMpLe01<>これはちょっと史上初かもしれません <br> スキンの見本です。<>これはちょっと史上初かもしれません",
    "名無しさん<><>2004/01/01(木) 00:01:00 ID:SaMpLe02<>&gt;&gt;1 <br> 本当ですか？<>",
    "見本 ◆Trip.Sample<>age<>2004/01/01(木) 00:02:00 ID:SaMpLe03<>&gt;&gt;2 <br> 本当です。<>",
    "名無しさん<>sage<>2004/01/01(木) 00:03:00 ID:SaMpLe04<>　　∧＿∧ <br> 　（　´∀｀） <br> 　（　　　　） <br> 　｜ ｜　| <br> 　（_＿）＿）<>",
    "名無しさん<><>2004/01/01(木) 00:04:00 ID:SaMpLe05<>画像です <br> http://example.com/sample.jpg<>",
};

}  // namespace

TSkinDialog2::TSkinDialog2(QWidget *parent)
    : QDialog(parent), profileDir(TavuConfig ? TavuConfig->GetProfileDir() : QString())
{
    setObjectName(QStringLiteral("SkinDialog2"));
    setWindowTitle(QStringLiteral("スキンの設定"));
    resize(760, 560);
    auto *layout = new QVBoxLayout(this);
    auto *header = new THeaderFrame(this);
    header->SetTitle(QStringLiteral("スキンの設定"));
    layout->addWidget(header);

    auto *body = new QHBoxLayout;
    auto *left = new QVBoxLayout;
    SkinList = new QListWidget(this);
    SkinList->addItems(SkinNames(profileDir));
    left->addWidget(SkinList, 1);
    auto *format = new QGroupBox(QStringLiteral("スキンのフォーマット"), this);
    auto *formatLayout = new QVBoxLayout(format);
    FormatGroup = new QButtonGroup(this);
    const QStringList formats = {QStringLiteral("ヴァルネロ２"), QStringLiteral("ヴァルネロ1.0"), QStringLiteral("かちゅ～しゃ")};
    for (int i = 0; i < formats.size(); ++i) {
        auto *radio = new QRadioButton(formats[i], format);
        FormatGroup->addButton(radio, i);
        formatLayout->addWidget(radio);
    }
    left->addWidget(format);
    IDPopupCheck = new QCheckBox(QStringLiteral("ID ポップアップを有効にする"), this);
    RenderImageCheck = new QCheckBox(QStringLiteral("画像を自動で表示する"), this);
    NewOnlyCheck = new QCheckBox(QStringLiteral("新着のみ表示する"), this);
    for (QCheckBox *check : {IDPopupCheck, RenderImageCheck, NewOnlyCheck})
        left->addWidget(check);
    auto *sizeRow = new QHBoxLayout;
    ImageSizeEdit = new QSpinBox(this);
    ImageSizeEdit->setRange(1, 999);
    sizeRow->addWidget(new QLabel(QStringLiteral("画像サイズ :"), this));
    sizeRow->addWidget(ImageSizeEdit);
    left->addLayout(sizeRow);
    body->addLayout(left, 1);

    Pages = new QTabWidget(this);
    Browser = new TTavuBrowser(Pages);
    connect(Browser->Browser(), &TEmbeddedWB::BeforeNavigate, this, [](const QUrl &, bool &cancel) { cancel = true; });
    connect(Browser->Browser(), &TEmbeddedWB::NewWindow, this, [](const QUrl &, TEmbeddedWB *&, bool &cancel) { cancel = true; });
    SourceView = new QPlainTextEdit(Pages);
    SourceView->setReadOnly(true);
    Pages->addTab(Browser, QStringLiteral("プレビュー"));
    Pages->addTab(SourceView, QStringLiteral("HTMLソース"));
    body->addWidget(Pages, 3);
    layout->addLayout(body, 1);

    auto *buttons = new QHBoxLayout;
    OKButton = new QPushButton(QStringLiteral("&OK"), this);
    CancelButton = new QPushButton(QStringLiteral("キャンセル(&C)"), this);
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    layout->addLayout(buttons);

    auto *menu = new QMenu(this);
    menu->addAction(QStringLiteral("フォルダを開く(&O)"), this, [this] {
        if (!GetSkinPath().isEmpty())
            QDesktopServices::openUrl(QUrl::fromLocalFile(GetSkinPath()));
    });
    SkinList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(SkinList, &QWidget::customContextMenuRequested, this,
            [this, menu](const QPoint &pos) { menu->popup(SkinList->viewport()->mapToGlobal(pos)); });

    FillSample();
    connect(SkinList, &QListWidget::itemClicked, this, &TSkinDialog2::SkinListClick);
    connect(FormatGroup, &QButtonGroup::idClicked, this, &TSkinDialog2::RenderPreview);
    for (QCheckBox *check : {IDPopupCheck, RenderImageCheck, NewOnlyCheck})
        connect(check, &QCheckBox::clicked, this, &TSkinDialog2::RenderPreview);
    connect(ImageSizeEdit, &QSpinBox::valueChanged, this, &TSkinDialog2::RenderPreview);
    connect(OKButton, &QPushButton::clicked, this, &TSkinDialog2::OKButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

TSkinDialog2::~TSkinDialog2()
{
    sample->Release();
}

QStringList TSkinDialog2::SkinNames(const QString &profileDir)
{
    QStringList names = QDir(profileDir + QStringLiteral("skin/")).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::NoSort);
    names.removeIf([](const QString &name) { return name.compare(QStringLiteral("module"), Qt::CaseInsensitive) == 0; });
    return names;
}

void TSkinDialog2::FillSample()
{
    sample = new TThreadItem;
    sample->DatName = QStringLiteral("000000000.dat");
    sample->TITLE = QStringLiteral("これはちょっと史上初かもしれません");
    auto *list = new TResList(sample);
    for (const char *line : SampleLines)
        list->AddDatLine(QString::fromUtf8(line));
    list->Get(list->Count() - 1)->IsNew = true;
    Browser->SetThreadItem(sample);
    Browser->SetResList(list);
}

void TSkinDialog2::SetSection(const QString &newSection)
{
    section = newSection;
    const TIniFile ini(SkinIniPath(profileDir));
    const TSkinSettings stored = TSkinSettings::Read(ini, section, profileDir);
    const bool hasPath = !ini.ReadString(section, QStringLiteral("SKINPATH")).trimmed().isEmpty();
    for (int row = 0; hasPath && row < SkinList->count(); ++row) {
        const QString path = profileDir + QStringLiteral("skin/") + SkinList->item(row)->text() + QLatin1Char('/');
        if (path.compare(stored.SkinPath, Qt::CaseInsensitive) == 0)
            SkinList->setCurrentRow(row);
    }
    IDPopupCheck->setChecked(stored.IDPopup);
    RenderImageCheck->setChecked(stored.RenderImage);
    NewOnlyCheck->setChecked(stored.RenderImageNewOnly);
    ImageSizeEdit->setValue(stored.ImageSize);
    if (SkinList->currentRow() < 0)
        return;
    if (stored.Katjusha || stored.Varnelo10)
        FormatGroup->button(stored.Katjusha ? 2 : 1)->setChecked(true);
    else
        SkinListClick();
    RenderPreview();
}

QString TSkinDialog2::GetSkinPath() const
{
    const QListWidgetItem *item = SkinList->currentItem();
    return item ? profileDir + QStringLiteral("skin/") + item->text() : QString();
}

TSkinSettings TSkinDialog2::Settings() const
{
    TSkinSettings s;
    s.SkinPath = GetSkinPath().isEmpty() ? QString() : GetSkinPath() + QLatin1Char('/');
    s.Varnelo10 = FormatGroup->checkedId() == 1;
    s.Katjusha = FormatGroup->checkedId() == 2;
    s.IDPopup = IDPopupCheck->isChecked();
    s.RenderImage = RenderImageCheck->isChecked();
    s.RenderImageNewOnly = NewOnlyCheck->isChecked();
    s.ImageSize = ImageSizeEdit->value();
    return s;
}

void TSkinDialog2::SkinListClick()
{
    if (GetSkinPath().isEmpty())
        return;
    const TTavuResWriter::TSkinFormat format = TTavuResWriter::DetectFormat(GetSkinPath() + QLatin1Char('/'));
    FormatGroup->button(format == TTavuResWriter::sfKatjusha ? 2 : format == TTavuResWriter::sfVarnelo10 ? 1 : 0)
        ->setChecked(true);
    RenderPreview();
}

void TSkinDialog2::RenderPreview()
{
    if (GetSkinPath().isEmpty())
        return;
    Browser->Skin = Settings();
    Browser->Title = sample->TITLE;
    Browser->ClearDocument();
    Browser->CreateResWriter();
    Browser->BeginChunk();
    Browser->WriteHeader();
    for (int i = 0; i < Browser->ResList()->Count(); ++i)
        Browser->AppendRes(Browser->ResList()->Get(i));
    const QString page = Browser->EndChunk();
    Browser->AppendHtml(page);
    Browser->WriteHtml();
    SourceView->setPlainText(page);
}

void TSkinDialog2::OKButtonClick()
{
    if (section.isEmpty() || GetSkinPath().isEmpty()) {
        reject();   // nothing to store without a chosen skin
        return;
    }
    TIniFile ini(SkinIniPath(profileDir));
    Settings().Write(ini, section);
    try {
        ini.UpdateFile();
    } catch (const EFileError &) {
        reject();
        return;
    }
    accept();
}
