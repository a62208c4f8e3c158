#pragma once
// TWindowEnv: the main window on a temporary program folder (seeded with the shipped files), with
// the configuration, the registry and the HTTP job list it needs, and message boxes answered by the
// test. The program starts offline, so nothing reaches the network.

#include "WindowParts.h"
#include "support/TempDataRoot.h"
#include "support/WaitLimit.h"

#include "controls/Dialogs.h"
#include "core/FileUtil.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "flows/StartupSequence.h"
#include "mainwindow/ListPane.h"
#include "mainwindow/VarneloWindow.h"
#include "net/TavuHttpList.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QTimer>
#include <cstdlib>
#include <functional>
#include <memory>

// The main window the running test made, for helpers that are handed no environment (the window's
// own procedures take it).
inline TVarneloWindow &TestWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<TVarneloWindow *>(widget))
            return *window;
    }
    std::abort();   // a helper that needs the window was called before the test made one
}

class TWindowEnv {
public:
    // prepare runs once the profile folder is known, before the window exists.
    explicit TWindowEnv(const std::function<void(TWindowEnv &)> &prepare = {})
        : handlers([this](Dialogs::TMsgKind, const QString &text, Dialogs::TMsgButtons) {
              Messages.append(text);
              return Answer;
          },
                   [](QDialog &) { return 0; })
    {
        TavuConfig = config.get();
        TavuEnviron = registry.get();
        TavuHttpList = jobs.get();
        config->APPSTATE = true;   // offline: the tests talk to no server
        if (prepare)
            prepare(*this);
        Window = new TVarneloWindow;
    }

    ~TWindowEnv()
    {
        Destroy();
        TavuHttpList = nullptr;
        TavuEnviron = nullptr;
        TavuConfig = nullptr;
    }

    QString Profile(const QString &name) const { return config->GetProfileDir() + name; }
    void WriteProfile(const QString &name, const QByteArray &bytes) const
    {
        FileUtil::WriteFileAtomic(Profile(name), bytes);
    }

    void Start() { Part<TStartupSequence>(Window)->Run(); }
    // Closes the window as the user does; false when it stayed open.
    bool Close() { return Window->close(); }
    void Destroy()
    {
        delete Window;
        Window = nullptr;
    }

    QStringList LogLines() const
    {
        return Part<QPlainTextEdit>(Window, "Memo1")->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    // Processes events until the condition holds; false when it still does not after a generous
    // wait (a worker thread on a loaded machine may take long).
    static bool WaitUntil(const std::function<bool()> &condition)
    {
        return WaitFor(condition);
    }

    static void Pump(int ms)
    {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    }

    TempDataRoot Root{true};
    std::unique_ptr<TTavuConfig> config = std::make_unique<TTavuConfig>();
    std::unique_ptr<TTavuEnviron> registry = std::make_unique<TTavuEnviron>();
    std::unique_ptr<TTavuHttpList> jobs = std::make_unique<TTavuHttpList>();
    QStringList Messages;
    Dialogs::TMsgResult Answer = Dialogs::mrYes;
    TVarneloWindow *Window = nullptr;

private:
    Dialogs::TScopedDialogHandlers handlers;
};
