#pragma once
// TBe2chBoardDialog ("BE@2chのボード一覧設定"): which boards of the site "2ch" take part in the Be
// membership service, and per taking-part board a charset other than the site's; kept in the site's
// be.ini (sections "BE" and "CHARSET"), which the board-list update reads back.

#include <QDialog>
#include <QList>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class TBoard;
class TSite;

class TBe2chBoardDialog : public QDialog {
    Q_OBJECT
public:
    explicit TBe2chBoardDialog(QWidget *parent = nullptr);

    void SpeedButton1Click();        // the selected board takes part
    void SpeedButton2Click();        // the selected board leaves
    void SetCharset(int codePage);   // the selected taking-part board's charset, at once
    void Button6Click();             // writes be.ini; OK

    // Writes be.ini of the site: "BE"/<id> for each board, "CHARSET"/<id> where its charset is not the
    // site's. Raises EFileError when the file cannot be written.
    static void SaveBeIni(TSite *site, const QList<const TBoard *> &boards);

    QTreeWidget *ListView1 = nullptr;   // boards not taking part
    QTreeWidget *ListView2 = nullptr;   // boards taking part
    QPushButton *SpeedButton1 = nullptr;
    QPushButton *SpeedButton2 = nullptr;
    QPushButton *Button6 = nullptr;     // "&OK"
    QPushButton *Button7 = nullptr;     // "キャンセル(&C)"

private:
    TSite *site = nullptr;

    void BuildForm();
    void Fill();
    static void AddRow(QTreeWidget *list, TBoard *board);
    static void MoveSelected(QTreeWidget *from, QTreeWidget *to);
};
