#include "boards/SubjectStore.h"

#include "boards/DatConv.h"
#include "boards/ThreadListing.h"
#include "core/Board.h"
#include "core/DatLine.h"
#include "core/Exceptions.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/JConvert.h"
#include "core/TavuEnviron.h"
#include "net/TavuHttp.h"

#include <QFile>

namespace {
const QString InfSection = QStringLiteral("SUBJECT");
}

QString TSubjectStore::TxtPath() const
{
    return board->GetLogDir() + QStringLiteral("subject.txt");
}

QString TSubjectStore::InfPath() const
{
    return board->GetLogDir() + QStringLiteral("subject.inf");
}

void TSubjectStore::AskConditionally(TTavuHttp *http) const
{
    if (!QFile::exists(TxtPath()))
        return;
    const TIniFile inf(InfPath());
    http->LastModified = inf.ReadString(InfSection, QStringLiteral("LAST_MODIFIED"));
    http->ETag = inf.ReadString(InfSection, QStringLiteral("ETAG"));
}

TThreadItem *TSubjectStore::ItemOfLine(const QString &text, int number) const
{
    TSubjectLine subject;
    if (!ParseSubjectLine(text, subject))
        return nullptr;
    const QString datName = DatConv::ExtractFileKey(subject.DatName) + QStringLiteral(".dat");
    if (!IsSafeFileName(datName))
        return nullptr;
    return TThreadListing::NewItem(board, datName, subject.Title, subject.Count, number);
}

void TSubjectStore::ReportStored(TThreadListing &listing) const
{
    const QList<QByteArray> stored = SplitLogLines(FileUtil::ReadFile(TxtPath()));
    for (qsizetype i = 0; i < stored.size(); ++i) {
        if (TThreadItem *item = ItemOfLine(jconvert::SjisToUnicode(stored[i]), int(i + 1)))
            listing.ReportStored(item);
    }
}

void TSubjectStore::Store(const QByteArray &text, const TTavuHttp &reply) const
{
    if (!TavuEnviron || !TavuEnviron->GetCached())
        return;
    TIniFile inf(InfPath());
    inf.WriteString(InfSection, QStringLiteral("LAST_MODIFIED"), reply.ReplyLastModified());
    inf.WriteString(InfSection, QStringLiteral("ETAG"), reply.ReplyETag());
    inf.WriteInteger(InfSection, QStringLiteral("SIZE"), text.size());
    try {
        FileUtil::WriteFileAtomic(TxtPath(), text);
        inf.UpdateFile();
    } catch (const EVarnelo &) {
        // The list is still shown; without validators the next download asks for it whole.
        QFile::remove(InfPath());
    }
}
