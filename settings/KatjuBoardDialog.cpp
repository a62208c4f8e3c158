#include "settings/KatjuBoardDialog.h"

#include "controls/BoardTreeImages.h"
#include "controls/Dialogs.h"
#include "core/Exceptions.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

TKatjuBoardDialog::TKatjuBoardDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("2channel.brdの取り込み"));
    BuildForm();
}

void TKatjuBoardDialog::BuildForm()
{
    Edit1 = new QLineEdit;
    // Enter in the field loads the typed path; it never reaches the buttons of the dialog.
    auto *load = new QAction(Edit1);
    load->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    load->setShortcutContext(Qt::WidgetShortcut);
    static_cast<QWidget *>(Edit1)->addAction(load);
    connect(load, &QAction::triggered, this, &TKatjuBoardDialog::Edit1Enter);
    SpeedButton1 = new QPushButton(QStringLiteral("･･"));
    SpeedButton1->setAutoDefault(false);
    ListView1 = new QTreeWidget;
    ListView1->setRootIsDecorated(false);
    ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView1->setHeaderLabels({QStringLiteral("BBS"), QStringLiteral("カテゴリ"), QStringLiteral("板名"),
                                QStringLiteral("板ID"), QStringLiteral("パス")});
    ListView1->setContextMenuPolicy(Qt::ActionsContextMenu);
    const struct {
        const char *caption;
        bool checked, selectedOnly;
    } commands[] = {{"すべて選択(&A)", true, false},
                    {"すべて解除(&X)", false, false},
                    {"選択している項目をチェックする(&C)", true, true},
                    {"選択している項目を解除する(&Z)", false, true}};
    for (const auto &command : commands) {
        auto *action = new QAction(QString::fromUtf8(command.caption), ListView1);
        connect(action, &QAction::triggered, this, [this, command] { SetChecked(command.checked, command.selectedOnly); });
        ListView1->addAction(action);
    }
    ProgressBar1 = new QProgressBar;
    BitBtn1 = new QPushButton(QStringLiteral("OK"));
    BitBtn2 = new QPushButton(QStringLiteral("キャンセル"));

    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(Edit1);
    fileRow->addWidget(SpeedButton1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(ProgressBar1);
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fileRow);
    layout->addWidget(ListView1);
    layout->addLayout(buttons);
    resize(640, 420);

    connect(SpeedButton1, &QPushButton::clicked, this, &TKatjuBoardDialog::SpeedButton1Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TKatjuBoardDialog::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void TKatjuBoardDialog::SpeedButton1Click()
{
    QFileDialog dialog(this, QString(), QFileInfo(TavuConfig->KATJUBOARDPATH).path());
    dialog.setNameFilters({QStringLiteral("ボード一覧ファイル (*.brd)"), QStringLiteral("すべてのファイル (*.*)")});
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    OpenBrdFile(dialog.selectedFiles().constFirst());
}

void TKatjuBoardDialog::Edit1Enter()
{
    const QString path = Edit1->text().trimmed();
    if (!path.isEmpty())
        OpenBrdFile(path);
}

void TKatjuBoardDialog::OpenBrdFile(const QString &path)
{
    Edit1->setText(path);
    LoadBrdFile(path);
    TavuConfig->KATJUBOARDPATH = path;
}

void TKatjuBoardDialog::LoadBrdFile(const QString &path)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const KatjuBoardList::TLoadResult result =
        KatjuBoardList::Load(path, *TavuEnviron->SiteList(), TavuEnviron->UserSite(), boards);
    FillList();
    QApplication::restoreOverrideCursor();
    if (result == KatjuBoardList::lrMissing)
        Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("ファイルが無いよ。"), Dialogs::mbOK);
    else if (result == KatjuBoardList::lrBadFormat)
        Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("ファイルの形式がおかしいよ。"), Dialogs::mbOK);
}

void TKatjuBoardDialog::FillList()
{
    ListView1->setUpdatesEnabled(false);
    ListView1->clear();
    ProgressBar1->setRange(0, std::max<int>(1, boards.size()));
    const int step = std::max<int>(1, boards.size() / 100);   // the bar repaints at each value it is given
    for (int i = 0; i < boards.size(); ++i) {
        const TKatjuBoard &entry = boards.at(i);
        auto *row = new QTreeWidgetItem(ListView1, {entry.SiteCaption, entry.Category, entry.Name, entry.BoardID, entry.Host});
        row->setCheckState(0, Qt::Unchecked);
        row->setData(0, Qt::UserRole, i);
        const int image = entry.Site && entry.Site->ImageIndex >= 0 ? entry.Site->ImageIndex : 0;
        row->setIcon(0, BoardTreeImages::SiteImages().value(image));
        if (entry.Registered) {
            for (int column = 0; column < ListView1->columnCount(); ++column)
                row->setForeground(column, palette().brush(QPalette::Disabled, QPalette::Text));
        }
        if ((i + 1) % step == 0)
            ProgressBar1->setValue(i + 1);
    }
    ProgressBar1->setValue(0);
    ListView1->resizeColumnToContents(0);   // the owning site shows whole
    ListView1->setUpdatesEnabled(true);
}

// A tick told to the view row by row makes it find the row's place from the top each time, which
// grows with the square of the rows: the rows are ticked quietly and the view painted once.
void TKatjuBoardDialog::SetChecked(bool checked, bool selectedOnly)
{
    {
        const QSignalBlocker quiet(ListView1->model());
        for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
            QTreeWidgetItem *row = ListView1->topLevelItem(i);
            if (!selectedOnly || row->isSelected())
                row->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
        }
    }
    ListView1->viewport()->update();
}

void TKatjuBoardDialog::BitBtn1Click()
{
    QList<const TKatjuBoard *> chosen;
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = ListView1->topLevelItem(i);
        if (row->checkState(0) == Qt::Checked)
            chosen << &boards.at(row->data(0, Qt::UserRole).toInt());
    }
    try {
        KatjuBoardList::Import(chosen, TavuEnviron->UserSite(), *TavuEnviron->BBSList());
    } catch (const EVarnelo &e) {
        Dialogs::ShowMessage(Dialogs::mkError, e.Message);
        return;
    }
    accept();
}
