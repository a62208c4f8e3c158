#include "settings/RssWizard.h"

#include "controls/Dialogs.h"
#include "core/Exceptions.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "services/PageFetch.h"
#include "services/RssRegistration.h"
#include "settings/WizardForm.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

enum { TabSheet2, TabSheet3, TabFinal };

QWidget *Page(const QString &title, QLayout *content)
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel(title));
    layout->addLayout(content);
    layout->addStretch();
    return page;
}

}  // namespace

TRssWizard::TRssWizard(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("RSS 登録ウィザード"));
    BuildForm();
    WizardForm::FillCategories(ComboBox1, TavuEnviron->RssSite());
    Pages->setCurrentIndex(TabSheet2);
}

void TRssWizard::BuildForm()
{
    Edit2 = new QLineEdit;
    RadioGroup1 = new QButtonGroup(this);
    auto *charsets = new QGroupBox(QStringLiteral("文字コード"));
    auto *charsetLayout = new QHBoxLayout(charsets);
    for (const char *name : {"SJIS", "EUC", "UTF8"}) {
        auto *button = new QRadioButton(QString::fromLatin1(name));
        RadioGroup1->addButton(button, RadioGroup1->buttons().size());
        charsetLayout->addWidget(button);
    }
    RadioGroup1->button(2)->setChecked(true);
    auto *form2 = new QFormLayout;
    form2->addRow(QStringLiteral("RSSのURL"), Edit2);
    form2->addRow(charsets);

    Edit1 = new QLineEdit;
    ComboBox1 = new QComboBox;
    ComboBox1->setEditable(true);
    Memo1 = new QPlainTextEdit;
    Memo1->setReadOnly(true);
    auto *form3 = new QFormLayout;
    form3->addRow(QStringLiteral("名前"), Edit1);
    form3->addRow(QStringLiteral("カテゴリ"), ComboBox1);
    form3->addRow(Memo1);
    FinalNote = new QLabel;
    auto *final = new QVBoxLayout;
    final->addWidget(FinalNote);

    Pages = new QStackedWidget;
    Pages->addWidget(Page(QStringLiteral("RSSの設定 (1)"), form2));
    Pages->addWidget(Page(QStringLiteral("RSSの設定 (2)"), form3));
    Pages->addWidget(Page(QStringLiteral("完了"), final));

    Button1 = new QPushButton(QStringLiteral("< 前へ"));
    Button2 = new QPushButton(QStringLiteral("次へ >"));
    Button3 = new QPushButton(QStringLiteral("キャンセル(&C)"));
    Button2->setDefault(true);
    WizardForm::LayOut(this, Pages, {Button1, Button2, Button3});
    WizardForm::EnableBackAfterFirstPage(Button1, Pages);
    connect(Button1, &QPushButton::clicked, this, &TRssWizard::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TRssWizard::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
}

void TRssWizard::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    Edit2->setFocus();
}

int TRssWizard::PageIndex() const
{
    return Pages->currentIndex();
}

int TRssWizard::CharSet() const
{
    return RadioGroup1->checkedId();
}

bool TRssWizard::ValidatePage()
{
    if (PageIndex() == TabSheet2) {
        if (Edit2->text().trimmed().isEmpty()) {
            Edit2->setFocus();
            return false;
        }
        if (RssRegistration::IsRegistered(TavuEnviron->RssSite(), Edit2->text().trimmed())) {
            Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("登録済みのRSSサイトです。"), Dialogs::mbOK);
            Edit2->setFocus();
            return false;
        }
        FetchFeed();
    } else if (PageIndex() == TabSheet3) {
        return WizardForm::Require(Edit1, !Edit1->text().isEmpty(), QStringLiteral("名前を入力してください。"))
               && WizardForm::Require(ComboBox1, !ComboBox1->currentText().isEmpty(),
                                      QStringLiteral("カテゴリを入力してください。"));
    }
    return true;
}

void TRssWizard::Button2Click()
{
    if (!ValidatePage())
        return;
    if (PageIndex() == TabFinal) {
        RegisterFeed();
        return;
    }
    if (PageIndex() == TabFinal - 1)
        Button2->setText(QStringLiteral("完了"));
    Pages->setCurrentIndex(PageIndex() + 1);
    if (PageIndex() == TabSheet3)
        Edit1->setFocus();
    else if (PageIndex() == TabFinal)
        FinalNote->setText(QStringLiteral("「%1」の「%2」カテゴリに追加しました。")
                               .arg(TavuEnviron->RssSite()->NAME, ComboBox1->currentText()));
}

void TRssWizard::Button1Click()
{
    if (PageIndex() == TabSheet2)
        return;
    Button2->setText(QStringLiteral("次へ >"));
    Pages->setCurrentIndex(PageIndex() - 1);
    if (PageIndex() == TabSheet3)
        Edit1->setFocus();
    else
        Edit2->setFocus();
}

// A failed fetch leaves the fields as they are; the wizard moves on all the same.
void TRssWizard::FetchFeed()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QByteArray body;
    const bool fetched = PageFetch::Get(Edit2->text().trimmed(), body);
    QApplication::restoreOverrideCursor();
    if (!fetched) {
        Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("取得に失敗しました。"), Dialogs::mbOK);
        return;
    }
    int codePage = CharSet();
    const RssRegistration::TFeedFields fields = RssRegistration::ReadFeed(body, codePage);
    RadioGroup1->button(codePage)->setChecked(true);
    Edit1->setText(fields.Name);
    Memo1->setPlainText(fields.Description);
}

void TRssWizard::RegisterFeed()
{
    RssRegistration::TRequest request;
    request.Url = Edit2->text().trimmed();
    request.Name = Edit1->text();
    request.Category = ComboBox1->currentText();
    request.CodePage = CharSet();
    try {
        Result = RssRegistration::RegisterFeed(TavuEnviron->RssSite(), request, TavuConfig->LogDir());
    } catch (const EVarnelo &e) {
        Dialogs::ShowMessage(Dialogs::mkError, e.Message);
        return;
    }
    accept();
}
