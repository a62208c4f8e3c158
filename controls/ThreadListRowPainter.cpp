#include "controls/ThreadListRowPainter.h"

#include "core/TavuConfig.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "render/TavuListDoc.h"
#include "services/ThreadListPane.h"

#include <QPainter>

namespace {

QColor Color(TColor color)
{
    return QColor::fromRgba(ColorToQColor(color));
}

}  // namespace

TThreadListRowPainter::TThreadListRowPainter(const QList<QPixmap> &glyphs, const QStringList &columns,
                                             const TTavuConfig &config)
    : glyphs(glyphs), columns(columns), config(config)
{
}

const TThreadItem *TThreadListRowPainter::Item(const TTavuListDoc *doc, int row)
{
    if (!doc || row < 0 || row >= doc->Items()->Count())
        return nullptr;
    return doc->Items()->Get(row);
}

void TThreadListRowPainter::PrepareRow(QPainter &canvas, const TTavuListDoc *doc, int row, bool selected) const
{
    const ThreadListPane::TRowStyle style = ThreadListPane::RowStyle(Item(doc, row), row, selected, config);
    canvas.setBrush(Color(style.Background));
    canvas.setPen(Color(style.Text));
    QFont font = canvas.font();
    font.setBold(style.Bold);
    canvas.setFont(font);
}

void TThreadListRowPainter::DrawCell(QPainter &canvas, const TTavuListDoc *doc, int row, int column,
                                     const QRect &rect, bool selected) const
{
    canvas.fillRect(rect, canvas.brush());
    const TThreadItem *item = Item(doc, row);
    if (!item)
        return;
    const QRect textRect = rect.adjusted(2, 0, -2, 0);
    const int flags = Qt::AlignVCenter | Qt::TextSingleLine;
    if (column == 0) {
        if (!selected)
            canvas.setPen(Color(ThreadListPane::RowStyle(item, row, false, config).NumberText));
        canvas.drawText(textRect, flags | Qt::AlignLeft, ThreadListPane::NumberText(*item));
        return;
    }
    const QString id = columns.value(column - 1);
    const ThreadListPane::TColumnInfo info = ThreadListPane::ColumnInfo(id);
    if (info.Kind == ThreadListPane::ckIcon) {
        const int mark = ThreadListPane::CellMark(*item, id);
        if (mark >= 0 && mark < glyphs.size())
            canvas.drawPixmap(rect.topLeft(), glyphs.at(mark));
        return;
    }
    const QString text = ThreadListPane::CellText(*item, id, config.SHOWCOUNTGAP);
    const Qt::Alignment alignment = info.Kind == ThreadListPane::ckRight ? Qt::AlignRight : Qt::AlignLeft;
    canvas.drawText(textRect, flags | alignment, canvas.fontMetrics().elidedText(text, Qt::ElideRight, textRect.width()));
}

void TThreadListRowPainter::DrawHeadlineSeparator(QPainter &canvas, const TTavuListDoc *doc, int row,
                                                  const QRect &rect, int width, const QColor &color) const
{
    if (!doc || doc->Mode != TTavuListDoc::lmHeadline || row < 1 || !Item(doc, row))
        return;
    const TThreadItemList *items = doc->Items();
    if (items->Get(row)->Number < items->Get(row - 1)->Number) {
        canvas.setPen(color);
        canvas.drawLine(0, rect.top(), width, rect.top());
    }
}

QString TThreadListRowPainter::Tip(const TTavuListDoc *doc, int row) const
{
    const TThreadItem *item = Item(doc, row);
    if (!config.THREADLISTSHOWTOOLTIP || !item)
        return QString();
    return ThreadListPane::InfoTip(*item);
}
