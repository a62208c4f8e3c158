// The render tests run headless (support/HeadlessWebEngine.h).

#include "support/HeadlessWebEngine.h"

#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char **argv)
{
    PrepareHeadlessWebEngine();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
