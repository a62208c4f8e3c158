#pragma once
// TColumnList: column.txt as the column dialog reorders it. One column key per line, left to right
// after the fixed first column; lines are kept as they were read (an unknown key too).

#include <QList>
#include <QStringList>

class TColumnList {
public:
    explicit TColumnList(const QString &fileName);   // reads the file when it exists

    QStringList Lines;

    // The name the dialog shows for a line's key (compared without regard to case); empty for an
    // unknown key.
    static QString NameOf(const QString &key);

    // Moves every selected row one place up (or down), keeping their order; a selected row at the
    // top (bottom) stays while the others still move. Returns the rows selected afterwards.
    QList<int> MoveUp(const QList<int> &selected);
    QList<int> MoveDown(const QList<int> &selected);

    // Writes every line, Shift_JIS, CR LF, atomically.
    void Save() const;

private:
    QString fileName;
};
