// The window-side tests run headless. The main window holds web views: the program's URL scheme
// and its way of compositing pages come before the application object, as in the program; as root
// the web engine runs without its sandbox.
#include "render/EmbeddedWB.h"

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
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu");
    TEmbeddedWB::PrepareEngine();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new TNoKeyHeld);
    return RUN_ALL_TESTS();
}
