#pragma once
// The main function of a test executable: a Qt application object (so event loops, sockets and
// timers work) around the GoogleTest runner. Tests always run headless.

#include <gtest/gtest.h>

#include <QtGlobal>

#define VARNELO_TEST_MAIN(AppClass)                                  \
    int main(int argc, char **argv)                                  \
    {                                                                \
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))           \
            qputenv("QT_QPA_PLATFORM", "offscreen");                 \
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");                 \
        AppClass app(argc, argv);                                    \
        ::testing::InitGoogleTest(&argc, argv);                      \
        return RUN_ALL_TESTS();                                      \
    }
