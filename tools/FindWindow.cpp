#include "tools/FindWindow.h"

#include "controls/HeaderFrame.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "services/ComposerFiles.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QString TitleHistory = QStringLiteral("findtext.txt");
const QString LogHistory = QStringLiteral("findlog.txt");
const QString AndHint = QStringLiteral("複数指定(AND)する場合はカンマで区切る");

QComboBox *HistoryCombo(const QString &file)
{
    auto *combo = new QComboBox;
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(ComposerFiles::LoadLines(file));
    combo->setCurrentIndex(-1);
    if (!TavuConfig->FINDDLGAUTOCOMPLETE)
        combo->setCompleter(nullptr);
    return combo;
}

void Record(QComboBox *combo, const QString &file)
{
    const QString text = combo->currentText();
    if (text.isEmpty())
        return;
    QStringList history = ComposerFiles::LoadLines(file);
    ComposerFiles::PushHistory(history, text);
    ComposerFiles::SaveLines(file, history);
    const QSignalBlocker blocker(combo);
    combo->clear();
    combo->addItems(history);
    combo->setCurrentText(text);
}

TBoard *BoardOf(const QTreeWidgetItem *row)
{
    return static_cast<TBoard *>(row->data(0, Qt::UserRole).value<void *>());
}

}  // namespace

TFindWindow::TFindWindow(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("検索"));
    auto *header = new THeaderFrame;
    header->SetTitle(QStringLiteral("ログ検索"));
    ComboBox1 = HistoryCombo(TitleHistory);
    ComboBox2 = HistoryCombo(LogHistory);

    auto *place = new QGroupBox(QStringLiteral("探す場所(&L)"));
    Radio0 = new QRadioButton(QStringLiteral("現在表示している板"));
    Radio1 = new QRadioButton(QStringLiteral("以下の一覧から選択"));
    auto *group = new QButtonGroup(place);
    group->addButton(Radio0, 0);
    group->addButton(Radio1, 1);
    connect(group, &QButtonGroup::idClicked, this, [this] { RadioGroup1Click(); });
    StaticText1 = new QLabel;
    auto *placeLayout = new QVBoxLayout(place);
    auto *currentRow = new QHBoxLayout;
    currentRow->addWidget(Radio0);
    currentRow->addWidget(StaticText1, 1);
    placeLayout->addLayout(currentRow);
    placeLayout->addWidget(Radio1);
    CheckBox1 = new QCheckBox(QStringLiteral("取得していないスレッドのタイトルも対象(&W)"));

    ListView1 = new QTreeWidget;
    ListView1->setHeaderLabels({QStringLiteral("板"), QStringLiteral("カテゴリ"), QStringLiteral("BBS")});
    ListView1->setRootIsDecorated(false);
    ListView1->setSortingEnabled(true);
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListView1, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        QMenu menu;
        menu.addAction(QStringLiteral("すべて選択(&A)"), this, [this] { SelectAll(true); });
        menu.addAction(QStringLiteral("すべて解除(&X)"), this, [this] { SelectAll(false); });
        menu.exec(ListView1->viewport()->mapToGlobal(pos));
    });

    auto *buttons = new QDialogButtonBox;
    BitBtn1 = buttons->addButton(QStringLiteral("検索開始(&S)"), QDialogButtonBox::AcceptRole);
    BitBtn2 = buttons->addButton(QStringLiteral("キャンセル(&C)"), QDialogButtonBox::RejectRole);
    connect(BitBtn1, &QPushButton::clicked, this, &TFindWindow::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(header);
    auto *titleLabel = new QLabel(QStringLiteral("スレッドタイトル(&M):"));
    titleLabel->setBuddy(ComboBox1);
    layout->addWidget(titleLabel);
    layout->addWidget(ComboBox1);
    auto *logLabel = new QLabel(QStringLiteral("ログに含まれる文字列(&C):"));
    logLabel->setBuddy(ComboBox2);
    layout->addWidget(logLabel);
    layout->addWidget(ComboBox2);
    layout->addWidget(new QLabel(AndHint));
    layout->addWidget(place);
    layout->addWidget(CheckBox1);
    layout->addWidget(ListView1, 1);
    layout->addWidget(buttons);
    resize(480, 560);
}

void TFindWindow::FillBoardList()
{
    ListView1->setUpdatesEnabled(false);
    ListView1->clear();
    const TSiteList *sites = TavuEnviron ? TavuEnviron->SiteList() : nullptr;
    for (int s = 0; sites && s < sites->Count(); ++s) {
        TSite *site = sites->Get(s);
        if (!site->Listed || site == TavuEnviron->FavoritesSite() || site->Kind == TSite::KIND_FAVORITES)
            continue;
        for (int b = 0; b < site->Boards->Count(); ++b) {
            TBoard *board = site->Boards->Get(b);
            if (!QFileInfo(board->GetLogDir()).isDir())
                continue;
            auto *row = new QTreeWidgetItem({board->Name, board->Category, site->NAME});
            row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
            row->setCheckState(0, Qt::Unchecked);
            row->setData(0, Qt::UserRole, QVariant::fromValue<void *>(board));
            ListView1->addTopLevelItem(row);
        }
    }
    ListView1->sortByColumn(0, Qt::AscendingOrder);
    // Board names and categories are read whole.
    ListView1->resizeColumnToContents(0);
    ListView1->resizeColumnToContents(1);
    ListView1->setUpdatesEnabled(true);
}

void TFindWindow::SetCurrentBoard(TBoard *board)
{
    currentBoard = board;
    if (board) {
        Radio0->setChecked(true);
        CheckBox1->setChecked(true);
        StaticText1->setText(QStringLiteral("「") + board->Name + QStringLiteral("」"));
    } else {
        Radio1->setChecked(true);
        CheckBox1->setChecked(false);
        StaticText1->setText(QStringLiteral("(選択されていません)"));
    }
    Radio0->setEnabled(board != nullptr);
    RadioGroup1Click();
}

void TFindWindow::TickCurrentBoard()
{
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = ListView1->topLevelItem(i);
        const TBoard *board = BoardOf(row);
        const bool current = currentBoard && board->ID == currentBoard->ID && board->Site == currentBoard->Site;
        row->setCheckState(0, current ? Qt::Checked : Qt::Unchecked);
    }
}

void TFindWindow::RadioGroup1Click()
{
    ListView1->setEnabled(Radio1->isChecked());
    if (Radio0->isChecked())
        TickCurrentBoard();
}

void TFindWindow::SelectAll(bool on)
{
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i)
        ListView1->topLevelItem(i)->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
}

QList<TBoard *> TFindWindow::ChosenBoards() const
{
    if (Radio0->isChecked())
        return currentBoard ? QList<TBoard *>{currentBoard} : QList<TBoard *>();
    QList<TBoard *> boards;
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        if (ListView1->topLevelItem(i)->checkState(0) == Qt::Checked)
            boards << BoardOf(ListView1->topLevelItem(i));
    }
    return boards;
}

void TFindWindow::BitBtn1Click()
{
    Record(ComboBox1, TitleHistory);
    Record(ComboBox2, LogHistory);
    accept();
}
