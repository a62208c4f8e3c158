// log_saver: saves a thread log over and over as the thread flow saves it, for the crash tests.
//
//   log_saver <log path> <dat file> <seed>
//
// The dat file holds the thread as its server sends it (LF line ends). The saver starts from the log
// stored at the path, then forever: takes one to three more lines of the dat, appends them to the log
// and then writes its .inf (SIZE, COUNT and READ describing those lines) with the thread flow's save
// (TThreadLogSave), printing a line after each write; once the log is whole it deletes it for a fresh fetch (keeping the .inf) and starts again.
// A test kills it at some point and checks what the next fetch makes of the files.

#include "core/DatLine.h"
#include "core/FileUtil.h"
#include "core/JConvert.h"
#include "core/ResList.h"
#include "core/ThreadItem.h"
#include "core/ThreadLogSave.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <cstdio>

namespace {

void Report(const char *what)
{
    std::fputs(what, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// The byte offsets just past each line of the dat.
QList<qint64> LineEnds(const QByteArray &dat)
{
    QList<qint64> ends;
    for (qsizetype at = dat.indexOf('\n'); at >= 0; at = dat.indexOf('\n', at + 1))
        ends << at + 1;
    return ends;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return 2;
    const QString log = args[1];
    const QByteArray dat = FileUtil::ReadFile(args[2]);
    const QList<QByteArray> lines = SplitLogLines(dat);
    const QList<qint64> ends = LineEnds(dat);
    QRandomGenerator random(args[3].toUInt());

    TThreadItem *item = new TThreadItem;
    item->SetLogFile(log);
    item->LoadInfo();
    TResList list(item);
    item->LoadResList(list);
    TThreadLogSave::SetStepHook([](TThreadLogSave::TStep step) {
        if (step == TThreadLogSave::BeforeInfo)
            Report("log");
        return true;
    });
    for (;;) {
        if (list.Count() >= lines.size()) {
            item->DeleteLog(TThreadItem::KeepInf);
            list.Clear();
            Report("deleted");
        }
        const int stored = list.Count();
        const int count = qMin(int(lines.size()), stored + 1 + int(random.bounded(3)));
        while (list.Count() < count)
            list.AddDatLine(jconvert::SjisToUnicode(lines[list.Count()]));
        item->SIZE = ends[count - 1];
        item->COUNT = item->READ = count;
        if (!TThreadLogSave(list, stored, *item).Run().isEmpty())
            return 1;
        Report("inf");
    }
}
