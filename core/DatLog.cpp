#include "core/DatLog.h"

#include "core/Exceptions.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"

#include <QFile>

#include <unistd.h>

void TDatLog::Write(const QString &path) const
{
    if (First == 0) {
        FileUtil::WriteFileAtomic(path, Bytes());
        return;
    }
    if (!Continues(path))
        throw EFileError(QStringLiteral("ログが他のプログラムに書き換えられたため、新しいレスを追記できません: %1").arg(path));
    const QByteArray appended = Bytes();
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
}

bool TDatLog::MarkErased(TIniFile &inf) const
{
    const QString section = QStringLiteral("ERASE");
    bool marked = false;
    for (const int number : Erased) {
        const QString key = QStringLiteral("RES%1").arg(number);
        if (!inf.ReadBool(section, key)) {
            inf.WriteBool(section, key, true);
            marked = true;
        }
    }
    return marked;
}

QByteArray TDatLog::Bytes() const
{
    QByteArray bytes;
    for (const QByteArray &line : Lines)
        bytes += line + LineBreak;
    return bytes;
}

bool TDatLog::Continues(const QString &path) const
{
    if (First == 0)
        return false;
    QFile log(path);
    if (!log.open(QIODevice::ReadOnly) || log.size() != StoredSize)
        return false;
    const QByteArray last = LastStored + LineBreak;
    return log.seek(StoredSize - last.size()) && log.read(last.size()) == last;
}
