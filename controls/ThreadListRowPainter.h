#pragma once
// TThreadListRowPainter: how the thread-list view draws the rows of a thread-list document: the
// colours and font of a row, each of its cells (the number, the texts, the marks), the line that
// starts each source list of a headline, and the tip of a row. It is given the document and the
// looks (the marks' pictures, the columns of column.txt, the configuration) and knows no window.

#include <QList>
#include <QPixmap>
#include <QString>
#include <QStringList>

class QColor;
class QPainter;
class QRect;
class TTavuConfig;
class TTavuListDoc;
class TThreadItem;

class TThreadListRowPainter {
public:
    // The looks are read at every drawing, so a change of them shows at the next one.
    TThreadListRowPainter(const QList<QPixmap> &glyphs, const QStringList &columns, const TTavuConfig &config);

    // The canvas's brush (the background), pen (the text) and font for the cells of the row.
    void PrepareRow(QPainter &canvas, const TTavuListDoc *doc, int row, bool selected) const;
    // Fills the cell with the brush and draws what it shows: column 0 the listing number (in the
    // number's own colour unless the row is selected), the others the columns of column.txt.
    void DrawCell(QPainter &canvas, const TTavuListDoc *doc, int row, int column, const QRect &rect,
                  bool selected) const;
    // In a headline the rows of each source list start with a line in the colour, width wide.
    void DrawHeadlineSeparator(QPainter &canvas, const TTavuListDoc *doc, int row, const QRect &rect, int width,
                               const QColor &color) const;
    // The tip of the row: empty with THREADLISTSHOWTOOLTIP off or for no such row.
    QString Tip(const TTavuListDoc *doc, int row) const;

private:
    const QList<QPixmap> &glyphs;
    const QStringList &columns;
    const TTavuConfig &config;

    static const TThreadItem *Item(const TTavuListDoc *doc, int row);
};
