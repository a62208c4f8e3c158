// The collapsible splitter: the grip collapses and reopens the pane, a drag across the minimum size
// opens or closes it, and a splitter without its pane ignores the grip.

#include "controls/TavuSplitter.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

namespace {

struct TSplitterFixture {
    TSplitterFixture()
    {
        splitter.resize(600, 300);
        splitter.addWidget(new QLabel(QStringLiteral("板一覧")));
        splitter.addWidget(new QLabel(QStringLiteral("本体")));
        splitter.setSizes({180, 414});
        splitter.show();
        QApplication::processEvents();
    }

    TTavuSplitterHandle *Handle() { return static_cast<TTavuSplitterHandle *>(splitter.handle(1)); }

    void ClickGrip()
    {
        const QPoint grip = Handle()->GripRect().center();
        QTest::mousePress(Handle(), Qt::LeftButton, {}, grip);
        QTest::mouseRelease(Handle(), Qt::LeftButton, {}, grip);
    }

    // Drags the handle by dx pixels, away from the grip.
    void Drag(int dx)
    {
        const QPoint start(Handle()->width() / 2, 3);
        QTest::mousePress(Handle(), Qt::LeftButton, {}, start);
        QMouseEvent move(QEvent::MouseMove, QPointF(start + QPoint(dx, 0)),
                         QPointF(Handle()->mapToGlobal(start + QPoint(dx, 0))), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(Handle(), &move);
        QTest::mouseRelease(Handle(), Qt::LeftButton, {}, start + QPoint(dx, 0));
    }

    TTavuSplitter splitter{Qt::Horizontal};
};

}  // namespace

TEST(TavuSplitterTest, GripClosesToMinSizeAndReopensToTheSameSize)
{
    TSplitterFixture f;
    QSignalSpy opened(&f.splitter, &TTavuSplitter::OnOpen);
    QSignalSpy closed(&f.splitter, &TTavuSplitter::OnClose);
    const int before = f.splitter.PaneSize();
    ASSERT_GT(before, f.splitter.MinSize);

    f.ClickGrip();
    EXPECT_EQ(f.splitter.PaneSize(), f.splitter.MinSize);
    EXPECT_FALSE(f.splitter.IsOpen());
    EXPECT_EQ(closed.count(), 1);

    f.ClickGrip();
    EXPECT_EQ(f.splitter.PaneSize(), before);
    EXPECT_TRUE(f.splitter.IsOpen());
    EXPECT_EQ(opened.count(), 1);
}

TEST(TavuSplitterTest, DraggingAcrossTheMinimumOpensAndClosesOnce)
{
    TSplitterFixture f;
    QSignalSpy opened(&f.splitter, &TTavuSplitter::OnOpen);
    QSignalSpy closed(&f.splitter, &TTavuSplitter::OnClose);
    f.splitter.Close();
    ASSERT_EQ(closed.count(), 1);

    f.Drag(120);
    EXPECT_GT(f.splitter.PaneSize(), f.splitter.MinSize);
    EXPECT_TRUE(f.splitter.IsOpen());
    EXPECT_EQ(opened.count(), 1);
    f.Drag(30);   // a further drag of an open pane says nothing
    EXPECT_EQ(opened.count(), 1);

    const int beforeDrag = f.splitter.PaneSize();
    f.Drag(-1000);
    EXPECT_EQ(f.splitter.PaneSize(), f.splitter.MinSize);
    EXPECT_FALSE(f.splitter.IsOpen());
    EXPECT_EQ(closed.count(), 2);
    f.ClickGrip();   // the grip gives back the size from before the drag
    EXPECT_EQ(f.splitter.PaneSize(), beforeDrag);
}

TEST(TavuSplitterTest, PaneOnTheOtherSideAndMissingPane)
{
    TSplitterFixture f;
    f.splitter.PaneIndex = 1;   // the pane is the second one
    const int before = f.splitter.PaneSize();
    f.ClickGrip();
    EXPECT_EQ(f.splitter.sizes().value(1), f.splitter.MinSize);
    EXPECT_GT(f.splitter.sizes().value(0), 500);
    f.ClickGrip();
    EXPECT_EQ(f.splitter.sizes().value(1), before);

    f.splitter.widget(1)->hide();   // no neighbouring pane: the grip does nothing
    QSignalSpy closed(&f.splitter, &TTavuSplitter::OnClose);
    f.splitter.GripClick();
    EXPECT_EQ(closed.count(), 0);
    EXPECT_TRUE(f.splitter.IsOpen());
}

TEST(TavuSplitterTest, GripIsHotUnderTheMouse)
{
    TSplitterFixture f;
    TTavuSplitterHandle *handle = f.Handle();
    EXPECT_EQ(handle->GripRect().height(), 40);
    QTest::mouseMove(handle, handle->GripRect().center());
    EXPECT_TRUE(handle->IsHot());
    EXPECT_EQ(handle->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(handle, QPoint(handle->width() / 2, 2));
    EXPECT_FALSE(handle->IsHot());
}
