#include "settings/ExportDialog.h"

#include "controls/Dialogs.h"
#include "core/Exceptions.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/TavuConfig.h"
#include "core/ThreadItem.h"
#include "services/SkinAssignments.h"
#include "settings/SkinDialog2.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

const QString SkinSection = QStringLiteral("export_dialog");

QString SkinIniPath()
{
    return TavuConfig->GetProfileDir() + QStringLiteral("skin.ini");
}

// The cursor shows the hourglass while the object lives.
struct TWaitCursor {
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

TExportDialog::TExportDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ExportDialog"));
    setWindowTitle(QStringLiteral("ログ出力"));
    auto *layout = new QVBoxLayout(this);

    auto *format = new QGroupBox(QStringLiteral("出力形式"), this);
    auto *formatRow = new QHBoxLayout(format);
    HtmlRadio = new QRadioButton(QStringLiteral("HTML形式"), format);
    DatRadio = new QRadioButton(QStringLiteral("DAT形式"), format);
    SeparatorEdit = new QLineEdit(format);
    formatRow->addWidget(HtmlRadio);
    formatRow->addWidget(DatRadio);
    formatRow->addWidget(SeparatorEdit);
    layout->addWidget(format);

    auto *form = new QFormLayout;
    auto *skinRow = new QHBoxLayout;
    SkinEdit = new QLineEdit(this);
    SkinButton = new QPushButton(QStringLiteral("･･"), this);
    skinRow->addWidget(SkinEdit, 1);
    skinRow->addWidget(SkinButton);
    auto *skinLabel = new QLabel(QStringLiteral("使用するスキン(&S) :"), this);
    skinLabel->setBuddy(SkinEdit);
    form->addRow(skinLabel, skinRow);
    FileNameCombo = new QComboBox(this);
    FileNameCombo->addItems({QStringLiteral("DAT番号をファイル名"), QStringLiteral("スレッドタイトルをファイル名")});
    form->addRow(QStringLiteral("出力ファイル名"), FileNameCombo);
    ExtEdit = new QLineEdit(this);
    form->addRow(QStringLiteral("出力拡張子"), ExtEdit);
    auto *folderRow = new QHBoxLayout;
    FolderEdit = new QLineEdit(this);
    FolderButton = new QPushButton(QStringLiteral("参照..."), this);
    folderRow->addWidget(FolderEdit, 1);
    folderRow->addWidget(FolderButton);
    form->addRow(QStringLiteral("出力先"), folderRow);
    layout->addLayout(form);

    auto *buttons = new QHBoxLayout;
    OKButton = new QPushButton(QStringLiteral("&OK"), this);
    CancelButton = new QPushButton(QStringLiteral("キャンセル(&C)"), this);
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    layout->addLayout(buttons);
    auto *status = new QStatusBar(this);
    ProgressBar = new QProgressBar(status);
    StatusLabel = new QLabel(status);
    ProgressBar->hide();   // shown while the export runs: an empty bar looks like a field to fill
    status->addWidget(ProgressBar);
    status->addWidget(StatusLabel, 1);
    layout->addWidget(status);

    (TavuConfig->EXPORT_FORMAT == 1 ? DatRadio : HtmlRadio)->setChecked(true);
    const TIniFile skinIni(SkinIniPath());
    SkinEdit->setText(skinIni.ReadString(SkinSection, QStringLiteral("SKINPATH"), QStringLiteral("default")));
    SeparatorEdit->setText(TavuConfig->EXPORT_SEPARATOR);
    FormatChange();
    FileNameCombo->setCurrentIndex(qBound(0, TavuConfig->EXPORT_FILENAMETYPE, 1));
    if (!TavuConfig->EXPORT_PATH.isEmpty() && QDir(TavuConfig->EXPORT_PATH).exists())
        FolderEdit->setText(TavuConfig->EXPORT_PATH);

    connect(HtmlRadio, &QRadioButton::toggled, this, &TExportDialog::FormatChange);
    connect(SkinButton, &QPushButton::clicked, this, &TExportDialog::SkinButtonClick);
    connect(FolderButton, &QPushButton::clicked, this, &TExportDialog::FolderButtonClick);
    connect(OKButton, &QPushButton::clicked, this, &TExportDialog::OKButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

TExportDialog::~TExportDialog()
{
    for (TThreadItem *item : items)
        item->Release();
}

void TExportDialog::SetThreads(const QList<TThreadItem *> &newItems, TResList *newList)
{
    for (TThreadItem *item : newItems)
        item->AddRef();
    for (TThreadItem *item : items)
        item->Release();
    items = newItems;
    list = newList;
}

void TExportDialog::FormatChange()
{
    ExtEdit->setText(HtmlRadio->isChecked() ? TavuConfig->EXPORT_HTMLEXT : TavuConfig->EXPORT_DATEXT);
}

void TExportDialog::SkinButtonClick()
{
    TSkinAssignments skins(TavuConfig->GetProfileDir());
    TSkinDialog2 dialog(skins, this);
    dialog.SetSection(SkinSection);
    if (Dialogs::ExecDialog(dialog) == QDialog::Accepted && !dialog.GetSkinPath().isEmpty())
        SkinEdit->setText(dialog.GetSkinPath());
}

void TExportDialog::FolderButtonClick()
{
    QFileDialog dialog(this, QString(), FolderEdit->text());
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (Dialogs::ExecDialog(dialog) == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        FolderEdit->setText(dialog.selectedFiles().first());
}

void TExportDialog::OKButtonClick()
{
    TWaitCursor wait;
    TThreadExporter exporter;
    if (HtmlRadio->isChecked()) {
        if (SkinEdit->text().trimmed().isEmpty()) {
            Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("スキンを指定してください。"));
            SkinEdit->setFocus();
            return;
        }
        TIniFile skinIni(SkinIniPath());
        skinIni.WriteString(SkinSection, QStringLiteral("SKINPATH"), SkinEdit->text().trimmed());
        exporter.Skin = TSkinSettings::Read(skinIni, SkinSection, TavuConfig->GetProfileDir());
        try {
            skinIni.UpdateFile();
        } catch (const EFileError &) {
            // the skin is used all the same; only its choice is not remembered
        }
    }
    StoreSettings();
    exporter.Format = HtmlRadio->isChecked() ? TThreadExporter::efHtml : TThreadExporter::efDat;
    exporter.TitleAsName = FileNameCombo->currentIndex() == 1;
    exporter.Extension = ExtEdit->text();
    exporter.Folder = FolderEdit->text();
    exporter.Render = Render;
    ExportAll(exporter);
    accept();
}

void TExportDialog::StoreSettings()
{
    TavuConfig->EXPORT_FORMAT = HtmlRadio->isChecked() ? 0 : 1;
    TavuConfig->EXPORT_SEPARATOR = SeparatorEdit->text();
    TavuConfig->EXPORT_FILENAMETYPE = FileNameCombo->currentIndex();
    (HtmlRadio->isChecked() ? TavuConfig->EXPORT_HTMLEXT : TavuConfig->EXPORT_DATEXT) = ExtEdit->text();
    TavuConfig->EXPORT_PATH = FolderEdit->text();
}

void TExportDialog::ExportAll(const TThreadExporter &exporter)
{
    ProgressBar->setRange(0, int(items.size()));
    ProgressBar->setValue(0);
    ProgressBar->show();
    try {
        for (int i = 0; i < items.size(); ++i) {
            TThreadItem *item = items[i];
            ProgressBar->setValue(i + 1);
            const QString text = QStringLiteral("[%1/%2] %3").arg(i + 1).arg(items.size()).arg(item->ShownTitle());
            StatusLabel->setText(text);
            emit Progress(i + 1, text);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            exporter.Export(item, items.size() == 1 ? list : nullptr);
        }
    } catch (const EFileError &e) {
        Dialogs::ShowMessage(Dialogs::mkError, e.Message);
    }
    ProgressBar->reset();
    StatusLabel->clear();
}
