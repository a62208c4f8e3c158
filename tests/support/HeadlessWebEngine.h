#pragma once
// Test programs that hold web views run headless: the web engine needs the program's URL scheme
// registered and its way of compositing pages chosen before the application object exists, and as
// root it runs without its sandbox.

#include "render/EmbeddedWB.h"

#include <QtGlobal>

inline void PrepareHeadlessWebEngine()
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu");
    TEmbeddedWB::PrepareEngine();
}
