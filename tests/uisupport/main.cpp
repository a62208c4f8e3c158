// The window-side tests run headless (support/HeadlessWebEngine.h).

#include "support/HeadlessWebEngine.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWidget>

namespace {

// A key clicked through QTest on a widget leaves its modifiers behind as the application's keyboard
// state until the next key event, and the program reads that state (Shift held turns round whether
// a link asks before it opens). Every test starts with no key held.
class TNoKeyHeld : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo &) override
    {
        QWidget sink;
        QTest::keyRelease(&sink, Qt::Key_Shift);
    }
};

}  // namespace

int main(int argc, char **argv)
{
    PrepareHeadlessWebEngine();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new TNoKeyHeld);
    return RUN_ALL_TESTS();
}
