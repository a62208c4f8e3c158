#include "services/EventLog.h"

#include "core/TavuConfig.h"

#include <QCoreApplication>
#include <QHash>
#include <QMutex>
#include <QSoundEffect>
#include <QThread>
#include <QUrl>
#include <QtDebug>

namespace {

// Where AddLog(text) writes; the main window installs its log pane. Workers read it too.
struct TLogSinkHolder {
    QMutex Mutex;
    EventLog::TLogSink Sink;
};

TLogSinkHolder &LogSink()
{
    static TLogSinkHolder sink;
    return sink;
}

}  // namespace

namespace EventLog {

void AddLog(const QString &text)
{
    TLogSink sink;
    {
        const QMutexLocker lock(&LogSink().Mutex);
        sink = LogSink().Sink;
    }
    if (sink)
        sink(text);
    else
        qInfo().noquote() << text;
}

TLogSink SetLogSink(TLogSink sink)
{
    const QMutexLocker lock(&LogSink().Mutex);
    std::swap(LogSink().Sink, sink);
    return sink;
}

// ---- event sounds ----

QString EventSoundFile(int event)
{
    if (!TavuConfig)
        return QString();
    const TTavuConfig &c = *TavuConfig;
    const std::pair<bool, QString> sounds[] = {
        {c.SOUND_EXECTHREADLIST, c.SOUND_THREADLIST},
        {c.SOUND_EXECTHREADNEWRES, c.SOUND_THREADNEWRES},
        {c.SOUND_EXECTHREADNONEWRES, c.SOUND_THREADNONEWRES},
        {c.SOUND_EXECSEND, c.SOUND_SEND},
        {c.SOUND_EXECERROR, c.SOUND_ERROR},
        {c.SOUND_EXECUPDATECHECK, c.SOUND_UPDATECHECK},
        {c.SOUND_EXECROUND, c.SOUND_ROUND},
        {c.SOUND_EXECUPDATECHECK_NO, c.SOUND_UPDATECHECK_NO},
        {c.SOUND_EXECROUND_NO, c.SOUND_ROUND_NO},
    };
    if (event < 0 || event >= int(std::size(sounds)) || !sounds[event].first)
        return QString();
    return sounds[event].second;
}

void PlayEventSound(int event)
{
    const QString file = EventSoundFile(event);
    if (file.isEmpty() || !QCoreApplication::instance())
        return;
    QCoreApplication *app = QCoreApplication::instance();
    if (QThread::currentThread() != app->thread()) {
        QMetaObject::invokeMethod(app, [event] { PlayEventSound(event); }, Qt::QueuedConnection);
        return;
    }
    // One effect per file, kept for the run: an effect must live while it plays.
    static QHash<QString, QSoundEffect *> effects;
    QSoundEffect *&effect = effects[file];
    if (!effect) {
        effect = new QSoundEffect(app);
        effect->setSource(QUrl::fromLocalFile(file));
    }
    effect->play();
}

}  // namespace EventLog
