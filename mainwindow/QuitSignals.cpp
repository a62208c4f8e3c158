#include "mainwindow/QuitSignals.h"

#include <QSocketNotifier>
#include <QtDebug>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

const int HandledSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The pipe the handler writes to: [0] read by the notifier, [1] written by the handler.
int signalPipe[2] = {-1, -1};

void WriteSignal(int signal)
{
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &number, 1);
    errno = saved;
}

void SetHandler(void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : HandledSignals)
        ::sigaction(signal, &action, nullptr);
}

}  // namespace

TQuitSignals::TQuitSignals(QObject *parent) : QObject(parent)
{
    Q_ASSERT(signalPipe[0] < 0);
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        qWarning() << "signals keep their default handling: no pipe";
        signalPipe[0] = signalPipe[1] = -1;
        return;
    }
    notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &TQuitSignals::ReadSignals);
    SetHandler(WriteSignal);
}

TQuitSignals::~TQuitSignals()
{
    if (!notifier)
        return;
    SetHandler(SIG_DFL);
    delete notifier;
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

void TQuitSignals::ReadSignals()
{
    unsigned char number = 0;
    while (::read(signalPipe[0], &number, 1) == 1)
        emit Received(number);
}
