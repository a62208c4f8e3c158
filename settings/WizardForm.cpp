#include "settings/WizardForm.h"

#include "controls/Dialogs.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/Site.h"

#include <QComboBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace WizardForm {

void LayOut(QDialog *dialog, QWidget *pages, std::initializer_list<QPushButton *> buttons)
{
    auto *row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton *button : buttons)
        row->addWidget(button);
    auto *layout = new QVBoxLayout(dialog);
    layout->addWidget(pages);
    layout->addLayout(row);
}

void EnableBackAfterFirstPage(QPushButton *back, QStackedWidget *pages)
{
    const auto follow = [back](int index) { back->setEnabled(index > 0); };
    follow(pages->currentIndex());
    QObject::connect(pages, &QStackedWidget::currentChanged, back, follow);
}

void FillCategories(QComboBox *combo, const TSite *site)
{
    if (site) {
        for (int i = 0; i < site->Boards->Count(); ++i) {
            const QString &category = site->Boards->Get(i)->Category;
            if (combo->findText(category) < 0)
                combo->addItem(category);
        }
    }
    combo->setCurrentIndex(combo->count() > 0 ? 0 : -1);
}

bool Require(QWidget *field, bool filled, const QString &missing)
{
    if (!filled) {
        Dialogs::ShowMessage(Dialogs::mkError, missing, Dialogs::mbOK);
        field->setFocus();
    }
    return filled;
}

}  // namespace WizardForm
