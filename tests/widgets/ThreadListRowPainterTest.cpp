// The painter of the thread-list rows: the number cell's own colour, the marks' pictures, rows
// beyond the list, the line between the source lists of a headline and the tips of rows.

#include "uisupport/PostEnv.h"

#include "controls/ThreadListRowPainter.h"
#include "core/TavuConfig.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "render/TavuListDoc.h"
#include "services/ThreadListPane.h"
#include "support/TempDataRoot.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

using PostTest::ItemRef;

namespace {

// A document of threads with the listing numbers and counts (new responses on each).
std::unique_ptr<TTavuListDoc> Listing(const QList<int> &numbers, int mode = TTavuListDoc::lmBoard)
{
    auto *items = new TThreadItemList;
    for (int number : numbers) {
        ItemRef item(new TThreadItem);
        item->Number = number;
        item->AGECOUNT = 15;
        item->COUNT = 10;
        item->READ = 10;
        items->Add(item.get());
    }
    auto doc = std::make_unique<TTavuListDoc>(items);
    doc->Mode = mode;
    return doc;
}

QPixmap Glyph(Qt::GlobalColor color)
{
    QPixmap glyph(16, 16);
    glyph.fill(color);
    return glyph;
}

struct TPainterTest : ::testing::Test {
    TempDataRoot root;
    TTavuConfig config;
    QList<QPixmap> glyphs;
    QStringList columns{QStringLiteral("UPDATE")};
    TThreadListRowPainter painter{glyphs, columns, config};
    QImage image{120, 60, QImage::Format_ARGB32};

    TPainterTest() { image.fill(Qt::white); }
};

}  // namespace

TEST_F(TPainterTest, TheNumberTakesItsOwnColourUnlessTheRowIsSelected)
{
    auto doc = Listing({1});
    doc->Items()->Get(0)->COLOR = 0x0000FF;   // red, as the .inf stores it
    doc->Items()->Get(0)->BOLD = true;
    QPainter canvas(&image);
    painter.PrepareRow(canvas, doc.get(), 0, false);
    EXPECT_EQ(canvas.pen().color(), QColor(Qt::red));
    EXPECT_TRUE(canvas.font().bold());
    painter.DrawCell(canvas, doc.get(), 0, 0, QRect(0, 0, 40, 16), false);
    EXPECT_NE(canvas.pen().color(), QColor(Qt::red));

    painter.PrepareRow(canvas, doc.get(), 0, true);
    const QColor selectedText = canvas.pen().color();
    painter.DrawCell(canvas, doc.get(), 0, 0, QRect(0, 0, 40, 16), true);
    EXPECT_EQ(canvas.pen().color(), selectedText);
}

// The mark of the UPDATE column (more responses: picture 2) at the cell's corner; a mark without
// a picture and a row beyond the list leave only the row's background.
TEST_F(TPainterTest, MarksShowTheirPictureAndRowsBeyondTheListOnlyTheBackground)
{
    auto doc = Listing({1});
    glyphs = {Glyph(Qt::blue), Glyph(Qt::blue), Glyph(Qt::red)};
    QPainter canvas(&image);
    canvas.setBrush(Qt::green);
    painter.DrawCell(canvas, doc.get(), 0, 1, QRect(20, 0, 20, 16), false);
    painter.DrawCell(canvas, doc.get(), 1, 1, QRect(20, 20, 20, 16), false);
    painter.DrawCell(canvas, nullptr, 0, 1, QRect(60, 0, 20, 16), false);
    glyphs.removeLast();
    painter.DrawCell(canvas, doc.get(), 0, 1, QRect(60, 20, 20, 16), false);
    canvas.end();
    EXPECT_EQ(image.pixelColor(25, 5), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(25, 25), QColor(Qt::green));
    EXPECT_EQ(image.pixelColor(65, 5), QColor(Qt::green));
    EXPECT_EQ(image.pixelColor(65, 25), QColor(Qt::green));
}

TEST_F(TPainterTest, AHeadlineDrawsALineWhereTheNextSourceListStarts)
{
    auto headline = Listing({1, 2, 1}, TTavuListDoc::lmHeadline);
    auto board = Listing({1, 2, 1});
    QPainter canvas(&image);
    for (int row = 0; row < 3; ++row)
        painter.DrawHeadlineSeparator(canvas, headline.get(), row, QRect(0, row * 20, 50, 16), 50, Qt::black);
    for (int row = 0; row < 3; ++row)
        painter.DrawHeadlineSeparator(canvas, board.get(), row, QRect(60, row * 20, 50, 16), 110, Qt::black);
    canvas.end();
    EXPECT_EQ(image.pixelColor(10, 0), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(10, 20), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(10, 40), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(80, 40), QColor(Qt::white));
}

TEST_F(TPainterTest, TipsFollowTheSettingAndOnlyForListedRows)
{
    auto doc = Listing({1});
    EXPECT_EQ(painter.Tip(doc.get(), 0), ThreadListPane::InfoTip(*doc->Items()->Get(0)));
    EXPECT_TRUE(painter.Tip(doc.get(), 1).isEmpty());
    EXPECT_TRUE(painter.Tip(nullptr, 0).isEmpty());
    config.THREADLISTSHOWTOOLTIP = false;
    EXPECT_TRUE(painter.Tip(doc.get(), 0).isEmpty());
}
