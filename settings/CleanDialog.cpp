#include "settings/CleanDialog.h"

#include "controls/Dialogs.h"
#include "core/TavuConfig.h"
#include "services/HistoryFiles.h"

#include <QAction>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

TCleanDialog::TCleanDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("履歴消去"));
    ListView1 = new QTreeWidget(this);
    ListView1->setRootIsDecorated(false);
    ListView1->setHeaderLabels({QStringLiteral("ログ内容"), QStringLiteral("ファイル名"), QStringLiteral("サイズ")});
    for (const HistoryFiles::TEntry &entry : HistoryFiles::Entries()) {
        auto *row = new QTreeWidgetItem(ListView1, {entry.Description, entry.FileName,
                                                    HistoryFiles::SizeText(TavuConfig->GetProfileDir() + entry.FileName)});
        row->setCheckState(0, Qt::Unchecked);
        row->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    }
    ListView1->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *all = new QAction(QStringLiteral("全て選択(&A)"), ListView1);
    auto *none = new QAction(QStringLiteral("全ての選択を解除(&C)"), ListView1);
    ListView1->addActions({all, none});
    connect(all, &QAction::triggered, this, [this] { SetAllChecked(true); });
    connect(none, &QAction::triggered, this, [this] { SetAllChecked(false); });
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, [](QTreeWidgetItem *row) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(TavuConfig->GetProfileDir() + row->text(1)));
    });

    auto *ok = new QPushButton(QStringLiteral("&OK"), this);
    auto *cancel = new QPushButton(QStringLiteral("キャンセル(&C)"), this);
    connect(ok, &QPushButton::clicked, this, &TCleanDialog::OKButtonClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel(QStringLiteral("※ダブルクリックで履歴ファイルの中身を表示します。"), this));
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(ListView1, 1);
    layout->addLayout(buttons);
    resize(520, 320);
}

void TCleanDialog::SetAllChecked(bool checked)
{
    for (int row = 0; row < ListView1->topLevelItemCount(); ++row)
        ListView1->topLevelItem(row)->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

void TCleanDialog::OKButtonClick()
{
    if (!Dialogs::AskYesNo(QStringLiteral("チェックした履歴を消去します。"), Dialogs::mkWarning))
        return;
    QStringList ticked;
    for (int row = 0; row < ListView1->topLevelItemCount(); ++row) {
        if (ListView1->topLevelItem(row)->checkState(0) == Qt::Checked)
            ticked << ListView1->topLevelItem(row)->text(1);
    }
    HistoryFiles::Delete(ticked);
    accept();
}
