// The program: one copy runs per user and program folder; a later copy hands its command line to
// it and ends.
//
// Start order: the program's URL scheme (before the application object), the application with
// Qt's Japanese texts, the single-instance check (a later copy hands over and ends before it
// touches the profile), the program folder's shipped files, the configuration, the registry, the
// HTTP job list, the past-log and Be login modules, the splash, the main window, the event loop.
// Everything is freed in the reverse order; the configuration saves once more as it goes.
//
// The end of the desktop session and the signals a session or a process manager sends (SIGTERM,
// SIGINT, SIGHUP) close the window as the user does, without the exit question, so that what the
// run changed is saved. The signals are taken from before the single-instance check on: a signal
// that comes while a message box is open closes the box, and one that comes before the window
// exists ends the program once it can, so that the lock is always freed. Once the window exists, its
// boxes wait for the event loop: a quit asked for in a box shown before it runs would be lost.

#include "boards/Be2chManager.h"
#include "boards/DolibManager.h"
#include "controls/Dialogs.h"
#include "core/DataRoot.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "mainwindow/QtTranslations.h"
#include "mainwindow/QuitSignals.h"
#include "mainwindow/SingleInstance.h"
#include "flows/StartupSequence.h"
#include "mainwindow/VarneloWindow.h"
#include "net/TavuHttpList.h"
#include "render/EmbeddedWB.h"
#include "settings/SplashWindow.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>

namespace {

// Sets a global for the lifetime of the object and clears it afterwards.
template <typename T>
class TGlobal {
public:
    TGlobal(T *&global, T *object) : global(global), object(object) { global = object; }
    ~TGlobal()
    {
        global = nullptr;
        delete object;
    }
    TGlobal(const TGlobal &) = delete;
    TGlobal &operator=(const TGlobal &) = delete;

private:
    T *&global;
    T *object;
};

}  // namespace

int main(int argc, char **argv)
{
    TEmbeddedWB::PrepareEngine();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("varnelo"));
    Dialogs::SetMessageCaption(QStringLiteral("ヴァルネロ２β"));
    QApplication::setQuitOnLastWindowClosed(false);
    QtTranslations::InstallQtTranslations();

    TVarneloWindow *window = nullptr;
    bool quitting = false;
    TQuitSignals quitSignals;
    QObject::connect(&quitSignals, &TQuitSignals::Received, [&] {
        quitting = true;
        if (auto *box = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            box->reject();
        if (window)
            window->EndSession();
    });

    const QStringList arguments = app.arguments().mid(1);
    TSingleInstance instance;
    if (!instance.Start(arguments)) {
        instance.TellUser();
        return 0;
    }

    DataRoot::Seed();
    TGlobal<TTavuConfig> config(TavuConfig, new TTavuConfig);
    TGlobal<TTavuEnviron> environ(TavuEnviron, new TTavuEnviron);
    TGlobal<TTavuHttpList> httpList(TavuHttpList, new TTavuHttpList);

    TDolibManager dolib;   // each makes itself the global of its module
    TBe2chManager be;

    auto *splash = new TSplashWindow;
    splash->ShowSplash();
    window = new TVarneloWindow(splash);
    window->SetCommandLine(arguments);
    QObject::connect(&instance, &TSingleInstance::HandOver, window, &TVarneloWindow::ReceiveHandOver);
    instance.Listen();
    // Every event loop ends, a message box's too, however the window was closed.
    QObject::connect(window, &TVarneloWindow::Closed, &app, [] { QCoreApplication::exit(0); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, window, &TVarneloWindow::EndSession);
    window->show();
    QTimer::singleShot(0, window, [&instance] { instance.TellUser(); });

    const int result = quitting ? 0 : app.exec();
    delete window;
    return result;
}
