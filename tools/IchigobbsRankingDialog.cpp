#include "tools/IchigobbsRankingDialog.h"

#include "controls/BarsAndMenus.h"
#include "core/Board.h"

#include <QApplication>
#include <QEvent>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

TIchigobbsRankingDialog::TIchigobbsRankingDialog(const QString &rankingUrl, std::function<void(TBoard *)> openBoard,
                                                 QWidget *parent)
    : QWidget(parent, Qt::Tool), rankingUrl(rankingUrl), openBoard(std::move(openBoard))
{
    setWindowTitle(QStringLiteral("いちごびびえす板別ランキング"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setText(QStringLiteral("更新(&R)"));
    ListView1 = new QTreeWidget(this);
    ListView1->setRootIsDecorated(false);
    ListView1->setHeaderLabels({QStringLiteral("順位"), QStringLiteral("板名"), QStringLiteral("カウント"), QStringLiteral("ID")});
    layout->addWidget(SpeedButton1);
    layout->addWidget(ListView1, 1);
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, [this] { OpenRow(); });
    resize(360, 480);
}

bool TIchigobbsRankingDialog::SpeedButton1Click()
{
    ListView1->clear();
    QApplication::setOverrideCursor(Qt::BusyCursor);
    EventLog::AddLog(QStringLiteral("いちご板別ランキング取得中です・・・"));
    EventLog::AddLog(QStringLiteral("By %1 %2").arg(QLatin1String(TIchigobbsRanking::ProviderName), rankingUrl));
    QString error;
    const bool loaded = ranking.Load(rankingUrl, error);
    if (loaded) {
        EventLog::AddLog(QStringLiteral("取得完了:200"));
        for (const TRankingRow &row : ranking.Rows()) {
            auto *item = new QTreeWidgetItem(ListView1, {row.Rank, row.Board->Name, row.Count, row.Board->ID});
            item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        }
    } else {
        EventLog::AddLog(error);
    }
    QApplication::restoreOverrideCursor();
    return loaded;
}

void TIchigobbsRankingDialog::OpenRow()
{
    const int row = ListView1->indexOfTopLevelItem(ListView1->currentItem());
    const QList<TRankingRow> rows = ranking.Rows();
    TBoard *board = row >= 0 && row < rows.size() ? TIchigobbsRanking::FindBoard(rows[row].BoardId) : nullptr;
    if (board && openBoard)
        openBoard(board);
}

// Topmost while active; shrunk to its title bar while another window is.
void TIchigobbsRankingDialog::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    if (isActiveWindow()) {
        if (activeHeight > 0)
            resize(width(), activeHeight);
    } else if (isVisible()) {
        activeHeight = height();
        resize(width(), 0);
    }
}
