#include "settings/BBSSetupDialog.h"

#include "controls/Dialogs.h"
#include "core/MonaUtils.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuEnviron.h"
#include "services/BBSSetup.h"
#include "settings/WizardForm.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

enum { TabSheet1, TabSheet2, TabSheet3, TabSheet4 };

QWidget *Page(QWidget *content, const QString &note)
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *label = new QLabel(note);
    label->setWordWrap(true);
    layout->addWidget(label);
    if (content)
        layout->addWidget(content);
    layout->addStretch();
    return page;
}

}  // namespace

TBBSSetupDialog::TBBSSetupDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("BBSの取り込み"));
    BuildForm();
    Pages->setCurrentIndex(TabSheet1);
}

void TBBSSetupDialog::BuildForm()
{
    Edit1 = new QLineEdit;
    Label6 = new QLabel;
    ProgressBar1 = new QProgressBar;
    Memo1 = new QPlainTextEdit;
    Memo1->setReadOnly(true);

    auto *urlRow = new QWidget;
    auto *urlLayout = new QHBoxLayout(urlRow);
    urlLayout->addWidget(new QLabel(QStringLiteral("URL")));
    urlLayout->addWidget(Edit1);
    auto *progress = new QWidget;
    auto *progressLayout = new QVBoxLayout(progress);
    progressLayout->addWidget(Label6);
    progressLayout->addWidget(ProgressBar1);

    Pages = new QStackedWidget;
    Pages->addWidget(Page(nullptr, QStringLiteral("新しいBBSの設定ファイルをダウンロードしてインストールします。")));
    Pages->addWidget(Page(urlRow, QStringLiteral("設定ファイルのあるURLを入力してください。")));
    Pages->addWidget(Page(progress, QStringLiteral("BBSを読み込んでいます。")));
    Pages->addWidget(Page(Memo1, QStringLiteral("次のBBSを取り込みました。")));

    Button1 = new QPushButton(QStringLiteral("< 戻る(&B)"));
    Button2 = new QPushButton(QStringLiteral("次へ >"));
    Button3 = new QPushButton(QStringLiteral("キャンセル"));
    Button2->setDefault(true);
    WizardForm::LayOut(this, Pages, {Button1, Button2, Button3});
    WizardForm::EnableBackAfterFirstPage(Button1, Pages);
    connect(Button1, &QPushButton::clicked, this, &TBBSSetupDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TBBSSetupDialog::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
}

int TBBSSetupDialog::PageIndex() const
{
    return Pages->currentIndex();
}

void TBBSSetupDialog::Button1Click()
{
    if (PageIndex() != TabSheet1 && PageIndex() != TabSheet4)
        Pages->setCurrentIndex(PageIndex() - 1);
}

void TBBSSetupDialog::Button2Click()
{
    switch (PageIndex()) {
    case TabSheet1:
        Pages->setCurrentIndex(TabSheet2);
        Edit1->setFocus();
        break;
    case TabSheet2:
        Install();
        break;
    case TabSheet4:
        accept();
        break;
    default:
        break;
    }
}

void TBBSSetupDialog::Install()
{
    const QString name = BBSSetup::SiteFolderName(Edit1->text());
    if (name.isEmpty()) {
        Edit1->setFocus();
        return;
    }
    if (const TSite *installed = TavuEnviron->SiteList()->FindBySiteID(name)) {
        Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("すでに登録されているBBSです。\r\n") + installed->NAME
                                                   + QLatin1Char('(') + installed->SITEID + QLatin1Char(')'),
                             Dialogs::mbOK);
        Edit1->setFocus();
        return;
    }
    Edit1->setText(MonaUtils::IncludeTrailingSlash(Edit1->text().trimmed()));
    const QString folder = BBSSetup::SiteFolder(name);
    Pages->setCurrentIndex(TabSheet3);
    ProgressBar1->setRange(0, BBSSetup::SiteFiles().size());
    ProgressBar1->setValue(0);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool installed = BBSSetup::DownloadSiteFiles(
        Edit1->text(), folder, [this](const QString &file) { Label6->setText(file); repaint(); },
        [this](int done) { ProgressBar1->setValue(done); });
    QApplication::restoreOverrideCursor();
    if (!installed) {
        Pages->setCurrentIndex(TabSheet2);
        Dialogs::ShowMessage(Dialogs::mkError,
                             QStringLiteral("このURLにはBBSの設定ファイルがありません。取り込みませんでした。\r\n%1")
                                 .arg(Edit1->text() + QStringLiteral("site.ini")),
                             Dialogs::mbOK);
        Edit1->setFocus();
        return;
    }
    Memo1->setPlainText(BBSSetup::Summary(folder).join(QLatin1Char('\n')));
    SiteName = name;
    Pages->setCurrentIndex(TabSheet4);
    Button1->setEnabled(false);
    Button2->setText(QStringLiteral("完了"));
}
