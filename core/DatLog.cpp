#include "core/DatLog.h"

#include "core/Exceptions.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"

#include <QFile>

#include <unistd.h>

int TDatLog::Write(const QString &path, int stored) const
{
    if (stored <= 0 || stored > Lines.size() || !Holds(path, stored)) {
        FileUtil::WriteFileAtomic(path, Bytes(0, Lines.size()));
        return 0;
    }
    const QByteArray appended = Bytes(stored, Lines.size());
    // Unbuffered: bytes a failed write could not pass on must not wait in a buffer that closing the
    // file writes after the log has been cut back.
    QFile log(path);
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        throw EFileError(QStringLiteral("ファイルを書き込めません: %1").arg(path));
    const qint64 before = log.size();
    if (log.write(appended) != appended.size() || ::fdatasync(log.handle()) != 0) {
        // The part that was written goes: the log stays the stored lines. Should even that fail, the
        // next load cuts the torn last line (TThreadItem::CutTornAppend).
        log.resize(before);
        throw EFileError(QStringLiteral("ファイルを書き込めません: %1").arg(path));
    }
    return stored;
}

bool TDatLog::MarkErased(TIniFile &inf, int first) const
{
    const QString section = QStringLiteral("ERASE");
    bool marked = false;
    for (const TErased &erased : Erased) {
        const QString key = QStringLiteral("RES%1").arg(erased.Number);
        if (erased.Index >= first && !inf.ReadBool(section, key)) {
            inf.WriteBool(section, key, true);
            marked = true;
        }
    }
    return marked;
}

QByteArray TDatLog::Bytes(qsizetype first, qsizetype last) const
{
    QByteArray bytes;
    for (qsizetype i = first; i < last; ++i)
        bytes += Lines[i] + LineBreak;
    return bytes;
}

// The log at path is the first `stored` lines as Write writes them: its size is theirs and it ends
// with the last of them.
bool TDatLog::Holds(const QString &path, int stored) const
{
    qint64 size = 0;
    for (qsizetype i = 0; i < stored; ++i)
        size += Lines[i].size() + LineBreak.size();
    QFile log(path);
    if (!log.open(QIODevice::ReadOnly) || log.size() != size)
        return false;
    const QByteArray last = Bytes(stored - 1, stored);
    return log.seek(size - last.size()) && log.read(last.size()) == last;
}
