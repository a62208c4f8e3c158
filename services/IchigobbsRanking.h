#pragma once
// TIchigobbsRanking: the per-board ranking page of the boards of the site "15ch". A line holding
// "<li><a " names a board by its link (href="<...>/<board id>/"); the next line holding "( <a "
// gives that board's count as its link text. Boards the site does not know are left out and take
// no rank.

#include <QList>
#include <QString>

class TBoard;
class TSite;

struct TRankingRow {
    QString Rank;     // "0001", "0002", ...
    TBoard *Board = nullptr;   // as the page was read; find it again by BoardId before later use
    QString BoardId;
    QString Count;
};

class TIchigobbsRanking {
public:
    // The ranking provider's short name in the log line.
    static constexpr const char *ProviderName = "15ch";

    // Fetches and reads the page. False with the error text for the log pane when the page could
    // not be read or names no board at all (a changed page); rows are then empty.
    bool Load(const QString &url, QString &error);
    // False when no line names a board.
    bool Parse(const QString &page, TSite *site);

    QList<TRankingRow> Rows() const { return rows; }
    // The board of that id in the site "15ch" as it is now (nullptr when gone).
    static TBoard *FindBoard(const QString &boardId);

private:
    QList<TRankingRow> rows;
};
