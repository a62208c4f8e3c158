#include "boards/RuroScript.h"

#include "boards/DatConv.h"
#include "boards/NumberedDownload.h"
#include "boards/PageListDownload.h"
#include "boards/RuroBas.h"
#include "core/Board.h"
#include "core/DatLine.h"
#include "core/ResDownloader.h"
#include "core/Site.h"
#include "core/Tavutils.h"
#include "core/ThreadItem.h"
#include "core/ThreadListDownloader.h"

#include <QFileInfo>

namespace {

const QString ThreadScriptName = QStringLiteral("ParseThread.ruro");
const QString ResScriptName = QStringLiteral("ParseRes.ruro");

// A text of a script made fit for one field of a line: no line breaks, no field separator.
QString FieldText(QString text, const QString &lineBreak)
{
    text.remove(QLatin1Char('\r'));
    text.replace(QLatin1Char('\n'), lineBreak);
    return text.replace(QLatin1String("<>"), QLatin1String("&lt;&gt;"));
}

void ClearVariables(TRuroBas &script, std::initializer_list<const char *> names)
{
    for (const char *name : names)
        script.SetVariable(QString::fromLatin1(name), QString());
}

// One line of a page to a script; true when the script reports something for it.
bool RunOnLine(TRuroBas &script, const QString &line)
{
    script.SetVariable(QStringLiteral("Data"), line);
    script.SetVariable(QStringLiteral("ParseOk"), false);
    script.Run();
    return script.GetBool(QStringLiteral("ParseOk"));
}

// The thread list: ParseThread.ruro over each line of the page.
class TScriptListParser : public TPageListParser {
public:
    TScriptListParser(std::unique_ptr<TRuroBas> script, int codePage) : script(std::move(script)), codePage(codePage) {}

    QStringList ParseLine(const QByteArray &line) override
    {
        const QString subject = TRuroScript::RunThreadScript(*script, Tavutils::ConvertToSjis(codePage, line));
        return subject.isEmpty() ? QStringList() : QStringList{subject};
    }

private:
    std::unique_ptr<TRuroBas> script;
    int codePage;
};

// A thread's page: ParseRes.ruro over each of its lines.
QList<DatConv::TNumberedLine> ParsePage(TRuroBas &script, const QString &page)
{
    QList<DatConv::TNumberedLine> lines;
    int last = 0;
    for (QString line : page.split(QLatin1Char('\n'))) {
        line.remove(QLatin1Char('\r'));
        DatConv::TNumberedLine entry;
        entry.DatLine = TRuroScript::RunResScript(script, line, last, entry.Number);
        if (entry.DatLine.isEmpty())
            continue;
        last = entry.Number;
        lines << entry;
    }
    return lines;
}

}  // namespace

QString TRuroScript::ScriptPath(const TBoard *board, const QString &name) const
{
    const QString ofSite = board && board->Site ? board->Site->FindFile(name) : QString();
    if (!ofSite.isEmpty())
        return ofSite;
    const QString ofType = Folder + name;
    return QFileInfo(ofType).isFile() ? ofType : QString();
}

QString TRuroScript::ProblemMessage(const TBoard *board, const QString &name)
{
    return board ? QStringLiteral("板のスクリプト %1 がありません。").arg(name) : QStringLiteral("板が見つかりません。");
}

void TRuroScript::PrepareScript(TRuroBas &script, const TBoard *board)
{
    script.SetVariable(QStringLiteral("OK"), true);
    script.SetVariable(QStringLiteral("BoardURL"), board->URL);
    script.SetVariable(QStringLiteral("BBS"), board->BBSName);
    script.SetVariable(QStringLiteral("TempData"), QString());
}

QString TRuroScript::RunThreadScript(TRuroBas &script, const QString &line)
{
    ClearVariables(script, {"ThreadKey", "ThreadTitle", "ResCount"});
    if (!RunOnLine(script, line))
        return QString();
    const QString key = script.GetString(QStringLiteral("ThreadKey")).trimmed();
    qint64 count = 0;
    script.GetVariable(QStringLiteral("ResCount")).ToInteger(count);
    if (key.isEmpty())
        return QString();
    return key + QStringLiteral(".dat<>") + FieldText(script.GetString(QStringLiteral("ThreadTitle")), QStringLiteral(" "))
           + QStringLiteral(" (%1)").arg(qMax<qint64>(0, count));
}

QString TRuroScript::RunResScript(TRuroBas &script, const QString &line, int last, int &number)
{
    ClearVariables(script, {"ResNumber", "Name", "Mail", "Date", "Body"});
    if (!RunOnLine(script, line))
        return QString();
    qint64 given = 0;
    const bool numbered = script.GetVariable(QStringLiteral("ResNumber")).ToInteger(given) && given > 0;
    number = numbered && given <= INT_MAX ? int(given) : last + 1;
    const auto field = [&script](const char *name, const QString &lineBreak) {
        return FieldText(script.GetString(QString::fromLatin1(name)), lineBreak);
    };
    return ComposeDatLine(field("Name", QStringLiteral(" ")), field("Mail", QStringLiteral(" ")),
                          field("Date", QStringLiteral(" ")), field("Body", QStringLiteral("<br>")),
                          number == 1 ? field("ThreadTitle", QStringLiteral(" ")) : QString());
}

void TRuroScript::DownloadThreadList(TThreadListDownloader *job, bool reload, bool synchronous)
{
    const QString path = ScriptPath(job->Board, ThreadScriptName);
    if (!job->Board || path.isEmpty()) {
        const QString message = ProblemMessage(job->Board, ThreadScriptName);
        return Report(synchronous, [job, message] {
            if (job->OnError)
                job->OnError(job, -1, message, QString());
            if (job->OnDone)
                job->OnDone(job, true);
        });
    }
    auto script = std::make_unique<TRuroBas>();
    script->LoadSource(path);
    PrepareScript(*script, job->Board);
    TPageListDownload::TPage page;
    page.Url = BoardUrl(QStringLiteral("SUBJECT"), job->Board);
    page.Agent = Agent();
    page.Reload = reload;
    auto parser = std::make_unique<TScriptListParser>(std::move(script), CodePageOf(job->Board));
    TBoardRequest::Run(new TPageListDownload(job, page, std::move(parser)), synchronous);
}

void TRuroScript::DownloadThread(TResDownloader *job, bool, bool, bool synchronous)
{
    TThreadItem *item = job->Item();
    const TBoard *board = job->Board ? job->Board : item ? item->GetBoard() : nullptr;
    const QString path = ScriptPath(board, ResScriptName);
    if (!item || !board || path.isEmpty()) {
        const QString message = ProblemMessage(item ? board : nullptr, ResScriptName);
        return Report(synchronous, [job, message] {
            job->DeliverError(-1, message, QString());
            job->DeliverDone(true);
        });
    }
    auto script = std::make_shared<TRuroBas>();
    script->LoadSource(path);
    PrepareScript(*script, board);
    script->SetVariable(QStringLiteral("ThreadKey"), item->GetKey());
    const int stored = int(StoredLines(item).size());
    const QString url = BoardUrl(QStringLiteral("DAT"), board, item->GetKey());
    auto parse = [script](const QString &page) { return ParsePage(*script, page); };
    TBoardRequest::Run(new TNumberedDownload(this, job, url, stored, parse), synchronous);
}
