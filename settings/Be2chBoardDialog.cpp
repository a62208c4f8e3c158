#include "settings/Be2chBoardDialog.h"

#include "controls/Dialogs.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/Exceptions.h"
#include "core/IniFile.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuEnviron.h"
#include "core/Tavutils.h"

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QString BeSection = QStringLiteral("BE");
const QString CharsetSection = QStringLiteral("CHARSET");

TBoard *RowBoard(const QTreeWidgetItem *row)
{
    return row ? static_cast<TBoard *>(row->data(0, Qt::UserRole).value<void *>()) : nullptr;
}

QTreeWidget *BoardList()
{
    auto *list = new QTreeWidget;
    list->setRootIsDecorated(false);
    list->setHeaderLabels({QStringLiteral("カテゴリ"), QStringLiteral("板"), QStringLiteral("文字コード")});
    return list;
}

}  // namespace

TBe2chBoardDialog::TBe2chBoardDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("BE@2chのボード一覧設定"));
    site = TavuEnviron->SiteList()->FindBySiteID(QStringLiteral("2ch"));
    BuildForm();
    Fill();
}

void TBe2chBoardDialog::BuildForm()
{
    ListView1 = BoardList();
    ListView2 = BoardList();
    SpeedButton1 = new QPushButton(QStringLiteral("BE対象板に加える"));
    SpeedButton2 = new QPushButton(QStringLiteral("BE対象板から外す"));
    Button6 = new QPushButton(QStringLiteral("&OK"));
    Button7 = new QPushButton(QStringLiteral("キャンセル(&C)"));

    auto *charsetMenu = new QMenu(QStringLiteral("文字コード変更"), this);
    for (int codePage = 0; codePage < 3; ++codePage) {
        connect(charsetMenu->addAction(Tavutils::CharsetToName(codePage)), &QAction::triggered, this,
                [this, codePage] { SetCharset(codePage); });
    }
    ListView2->setContextMenuPolicy(Qt::ActionsContextMenu);
    ListView2->addAction(charsetMenu->menuAction());

    auto *moves = new QVBoxLayout;
    moves->addStretch();
    moves->addWidget(SpeedButton1);
    moves->addWidget(SpeedButton2);
    moves->addStretch();
    auto *lists = new QHBoxLayout;
    lists->addWidget(ListView1);
    lists->addLayout(moves);
    lists->addWidget(ListView2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button6);
    buttons->addWidget(Button7);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addLayout(buttons);
    connect(SpeedButton1, &QPushButton::clicked, this, &TBe2chBoardDialog::SpeedButton1Click);
    connect(SpeedButton2, &QPushButton::clicked, this, &TBe2chBoardDialog::SpeedButton2Click);
    connect(Button6, &QPushButton::clicked, this, &TBe2chBoardDialog::Button6Click);
    connect(Button7, &QPushButton::clicked, this, &QDialog::reject);
}

void TBe2chBoardDialog::Fill()
{
    if (!site)
        return;
    const QString path = site->FindFile(QStringLiteral("be.ini"));
    const TIniFile ini(path);
    for (int i = 0; i < site->Boards->Count(); ++i) {
        TBoard *board = site->Boards->Get(i);
        AddRow(!path.isEmpty() && ini.ReadBool(BeSection, board->ID) ? ListView2 : ListView1, board);
    }
}

void TBe2chBoardDialog::AddRow(QTreeWidget *list, TBoard *board)
{
    auto *row = new QTreeWidgetItem(list, {board->Category, board->Name, Tavutils::CharsetToName(board->CodePage)});
    row->setData(0, Qt::UserRole, QVariant::fromValue(static_cast<void *>(board)));
}

void TBe2chBoardDialog::MoveSelected(QTreeWidget *from, QTreeWidget *to)
{
    QTreeWidgetItem *row = from->currentItem();
    if (!row || !row->isSelected())
        return;
    to->addTopLevelItem(from->takeTopLevelItem(from->indexOfTopLevelItem(row)));
}

void TBe2chBoardDialog::SpeedButton1Click()
{
    MoveSelected(ListView1, ListView2);
}

void TBe2chBoardDialog::SpeedButton2Click()
{
    MoveSelected(ListView2, ListView1);
}

void TBe2chBoardDialog::SetCharset(int codePage)
{
    QTreeWidgetItem *row = ListView2->currentItem();
    if (TBoard *board = RowBoard(row)) {
        board->CodePage = codePage;
        row->setText(2, Tavutils::CharsetToName(codePage));
    }
}

void TBe2chBoardDialog::SaveBeIni(TSite *site, const QList<const TBoard *> &boards)
{
    TIniFile ini(site->PrepareOwnFile(QStringLiteral("be.ini")));
    ini.EraseSection(BeSection);
    ini.EraseSection(CharsetSection);
    for (const TBoard *board : boards) {
        ini.WriteBool(BeSection, board->ID, true);
        if (board->CodePage != site->CodePage)
            ini.WriteString(CharsetSection, board->ID, Tavutils::CharsetToName(board->CodePage));
    }
    ini.UpdateFile();
}

void TBe2chBoardDialog::Button6Click()
{
    if (site) {
        QList<const TBoard *> boards;
        for (int i = 0; i < ListView2->topLevelItemCount(); ++i)
            boards << RowBoard(ListView2->topLevelItem(i));
        try {
            SaveBeIni(site, boards);
        } catch (const EVarnelo &e) {
            Dialogs::ShowMessage(Dialogs::mkError, e.Message);
            return;
        }
    }
    accept();
}
