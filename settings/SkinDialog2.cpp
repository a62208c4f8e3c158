#include "settings/SkinDialog2.h"

#include "core/ResList.h"
#include "core/ThreadItem.h"
#include "render/TavuHtmlStrings.h"
#include "render/TavuResWriter.h"
#include "services/SkinAssignments.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// A thread made to exercise a skin: an ID, anchors, a tripcode with "age", multi-line art in a
// "sage" reply and an image URL.
const char *const SampleDat[] = {
    "名無しさん<><>2001/01/01 00:00 ID:PrEvIeW0<> 史上初かもしれないスレを立ててみました。 <>これはちょっと史上初かもしれません",
    "名無しさん<><>2001/01/01 00:01 ID:SaMpLe01<> <a href=\"../test/read.cgi/test/000000000/1\" target=\"_blank\">&gt;&gt;1</a> <br> 乙です <>",
    "トリップ ◆TrIpTeSt<>age<>2001/01/01 00:02 ID:TrIp0002<> <a href=\"../test/read.cgi/test/000000000/2\" target=\"_blank\">&gt;&gt;2</a> <br> 上げておきます <>",
    "名無しさん<>sage<>2001/01/01 00:03 ID:AsCiIaRt<>   ∧＿∧ <br>  （　´∀｀） <br>  （　　　　） <>",
    "名無しさん<>sage<>2001/01/01 00:04 ID:ImAgE005<> 画像です <br> http://example.jp/sample.jpg <>",
};

}  // namespace

TSkinDialog2::TSkinDialog2(TSkinAssignments &skins, QWidget *parent)
    : QDialog(parent), skins(skins)
{
    setWindowTitle(QStringLiteral("スキンの設定"));
    SkinList = new QListWidget(this);
    SkinList->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *open = new QAction(QStringLiteral("フォルダを開く(&O)"), SkinList);
    SkinList->addAction(open);
    connect(open, &QAction::triggered, this, &TSkinDialog2::OpenFolder);
    connect(SkinList, &QListWidget::itemClicked, this, &TSkinDialog2::SkinListClick);

    auto *formatBox = new QGroupBox(QStringLiteral("スキンのフォーマット"), this);
    auto *formatLayout = new QVBoxLayout(formatBox);
    FormatGroup = new QButtonGroup(this);
    const QStringList formats{QStringLiteral("ヴァルネロ２"), QStringLiteral("ヴァルネロ1.0"), QStringLiteral("かちゅ～しゃ")};
    for (int i = 0; i < formats.size(); ++i) {
        auto *button = new QRadioButton(formats[i], formatBox);
        FormatGroup->addButton(button, i);
        formatLayout->addWidget(button);
    }
    connect(FormatGroup, &QButtonGroup::idClicked, this, &TSkinDialog2::FormatClick);

    IDPopupCheck = new QCheckBox(QStringLiteral("ID ポップアップを有効にする"), this);
    RenderImageCheck = new QCheckBox(QStringLiteral("画像を自動で表示する"), this);
    NewOnlyCheck = new QCheckBox(QStringLiteral("新着のみ表示する"), this);
    ImageSizeEdit = new QSpinBox(this);
    ImageSizeEdit->setRange(0, 999);
    auto checkbox = [this](QCheckBox *box, bool TSkinSettings::*field) {
        connect(box, &QCheckBox::clicked, this, [this, field](bool on) {
            settings.*field = on;
            RenderPreview();
        });
    };
    checkbox(IDPopupCheck, &TSkinSettings::IDPopup);
    checkbox(RenderImageCheck, &TSkinSettings::RenderImage);
    checkbox(NewOnlyCheck, &TSkinSettings::RenderImageNewOnly);
    connect(ImageSizeEdit, &QSpinBox::valueChanged, this, [this](int value) {
        if (value < 1 || value == settings.ImageSize)
            return;
        settings.ImageSize = value;
        RenderPreview();
    });

    Preview = new QTextBrowser(this);
    Preview->setOpenLinks(false);
    auto *pages = new QTabWidget(this);
    auto *settingsPage = new QWidget(pages);
    auto *settingsLayout = new QVBoxLayout(settingsPage);
    settingsLayout->addWidget(formatBox);
    settingsLayout->addWidget(IDPopupCheck);
    settingsLayout->addWidget(RenderImageCheck);
    settingsLayout->addWidget(NewOnlyCheck);
    auto *sizeRow = new QHBoxLayout;
    sizeRow->addWidget(new QLabel(QStringLiteral("画像サイズ :"), settingsPage));
    sizeRow->addWidget(ImageSizeEdit);
    settingsLayout->addLayout(sizeRow);
    settingsLayout->addStretch();
    pages->addTab(settingsPage, QStringLiteral("設定"));
    pages->addTab(Preview, QStringLiteral("プレビュー"));
    HtmlSource = new QPlainTextEdit(this);
    HtmlSource->setReadOnly(true);
    HtmlSource->setLineWrapMode(QPlainTextEdit::NoWrap);
    pages->addTab(HtmlSource, QStringLiteral("HTMLソース"));

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("キャンセル(&C)"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &TSkinDialog2::OKButtonClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *body = new QHBoxLayout;
    body->addWidget(SkinList, 1);
    body->addWidget(pages, 3);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addWidget(buttons);
    resize(720, 480);
}

void TSkinDialog2::SetSection(const QString &name)
{
    section = name;
    settings = skins.Read(section);
    const QString selected = skins.SelectedSkin(section);
    SkinList->clear();
    for (const QString &skin : skins.SkinFolders()) {
        SkinList->addItem(skin);
        if (skin == selected)
            SkinList->setCurrentRow(SkinList->count() - 1);
    }
    ShowSettings();
    if (selected.isEmpty())
        return;
    if (settings.Katjusha)
        SetFormat(TTavuResWriter::sfKatjusha);
    else if (settings.Varnelo10)
        SetFormat(TTavuResWriter::sfVarnelo10);
    else
        SetFormat(TTavuResWriter::DetectFormat(skins.SkinDir(selected)));
    RenderPreview();
}

QString TSkinDialog2::GetSkinPath() const
{
    const QString name = SelectedName();
    if (name.isEmpty())
        return {};
    QString dir = skins.SkinDir(name);
    dir.chop(1);
    return dir;
}

QString TSkinDialog2::SelectedName() const
{
    const QListWidgetItem *item = SkinList->currentItem();
    return item ? item->text() : QString();
}

// Another skin: its format is told again from its templates.
void TSkinDialog2::SkinListClick()
{
    SetFormat(TTavuResWriter::DetectFormat(skins.SkinDir(SelectedName())));
    RenderPreview();
}

void TSkinDialog2::FormatClick(int format)
{
    SetFormat(format);
    RenderPreview();
}

void TSkinDialog2::SetFormat(int format)
{
    if (QAbstractButton *button = FormatGroup->button(format))
        button->setChecked(true);
    settings.Varnelo10 = format == TTavuResWriter::sfVarnelo10;
    settings.Katjusha = format == TTavuResWriter::sfKatjusha;
}

void TSkinDialog2::ShowSettings()
{
    IDPopupCheck->setChecked(settings.IDPopup);
    RenderImageCheck->setChecked(settings.RenderImage);
    NewOnlyCheck->setChecked(settings.RenderImageNewOnly);
    ImageSizeEdit->setValue(settings.ImageSize);
}

void TSkinDialog2::RenderPreview()
{
    const QString name = SelectedName();
    if (name.isEmpty())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    settings.SkinPath = skins.SkinDir(name);
    auto *item = new TThreadItem;
    item->SetLocation(QString(), QString(), QStringLiteral("000000000"), QStringLiteral("これはちょっと史上初かもしれません"));
    {
        TResList list(item);
        for (const char *line : SampleDat)
            list.AddDatLine(QString::fromUtf8(line));
        TTavuHtmlStrings page;
        page.Skin = settings;
        page.BeginView(&list);
        for (int i = 0; i < list.Count(); ++i)
            page.AppendRes(list.Get(i));
        page.EndView();
        PreviewHtml = page.Text();
    }
    item->Release();
    Preview->document()->setBaseUrl(QUrl::fromLocalFile(settings.SkinPath));
    Preview->setHtml(PreviewHtml);
    HtmlSource->setPlainText(PreviewHtml);
    QApplication::restoreOverrideCursor();
}

void TSkinDialog2::OpenFolder()
{
    const QString name = SelectedName();
    if (!name.isEmpty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(skins.SkinDir(name)));
}

void TSkinDialog2::OKButtonClick()
{
    if (!section.isEmpty() && !SelectedName().isEmpty()) {
        settings.SkinPath = skins.SkinDir(SelectedName());
        skins.Assign(section, settings);
    }
    accept();
}
