#pragma once
// TIchigobbsRankingDialog: the per-board ranking of the boards of the site "15ch". "更新(&R)"
// fetches it; a double click on a row opens that board's thread list.

#include "services/IchigobbsRanking.h"

#include <QWidget>
#include <functional>

class QTreeWidget;
class QToolButton;

class TIchigobbsRankingDialog : public QWidget {
    Q_OBJECT
public:
    // openBoard opens a board's thread list in the main window.
    TIchigobbsRankingDialog(const QString &rankingUrl, std::function<void(TBoard *)> openBoard,
                            QWidget *parent = nullptr);

    // Fetches the ranking and shows it; a failure is logged and leaves the list empty.
    bool SpeedButton1Click();

    QToolButton *SpeedButton1;
    QTreeWidget *ListView1;

protected:
    void changeEvent(QEvent *event) override;

private:
    QString rankingUrl;
    std::function<void(TBoard *)> openBoard;
    TIchigobbsRanking ranking;
    int activeHeight = 0;

    void OpenRow();
};
