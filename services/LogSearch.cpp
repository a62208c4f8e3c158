#include "services/LogSearch.h"

#include "core/DatLine.h"
#include "core/IniFile.h"
#include "core/JConvert.h"
#include "core/TextList.h"
#include "core/ThreadItem.h"

#include <QByteArrayMatcher>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QThread>

namespace LogSearch {

namespace {

// ASCII letters in lower case; every other byte as it is (so Shift_JIS trail bytes change the same
// way in the text and in the terms, and a match is never lost).
QByteArray AsciiLower(QByteArray bytes)
{
    for (char &c : bytes) {
        if (c >= 'A' && c <= 'Z')
            c = char(c + ('a' - 'A'));
    }
    return bytes;
}

// The bytes of a term the byte scan may look for: empty when a letter of the term has another case
// outside ASCII (the byte scan could not see that match) or when Shift_JIS cannot hold the term.
QByteArray ScannableForm(const QString &lowered)
{
    for (const QChar c : lowered) {
        if (c.unicode() >= 0x80 && (c.toUpper() != c || c.toLower() != c))
            return QByteArray();
    }
    const QByteArray bytes = jconvert::UnicodeToSjis(lowered);
    if (bytes.contains("&#"))
        return QByteArray();
    return AsciiLower(bytes);
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The title of a logged thread: TITLE of its .inf, else the title of the log's first line.
QString LoggedTitle(const QString &datPath, const QByteArray &log)
{
    const QString infPath = TThreadItem::InfPathOf(datPath);
    if (QFile::exists(infPath)) {
        const QString title = TIniFile(infPath).ReadString(QStringLiteral("LOG"), QStringLiteral("TITLE"));
        if (!title.isEmpty())
            return title;
    }
    QByteArray first = log.isNull() ? ReadFile(datPath) : log;
    const qsizetype end = first.indexOf('\n');
    first = first.left(end < 0 ? first.size() : end);
    if (first.endsWith('\r'))
        first.chop(1);
    return ParseDatLine(jconvert::SjisToUnicode(first)).Title;
}

// The walk over the boards.
class TWalk {
public:
    TWalk(const TQuery &query, const TProgress &progress)
        : titles(query.TitleTerms), logs(query.LogTerms), unfetched(query.Unfetched), progress(progress)
    {
    }

    QList<THit> Run(const QList<TScope> &scopes)
    {
        QList<QStringList> files;
        for (const TScope &scope : scopes) {
            files << TThreadItem::LogFilesIn(scope.LogDir);
            total += int(files.last().size());
        }
        QSet<QString> searched;
        for (int i = 0; i < scopes.size() && going; ++i) {
            const QString dir = QDir::cleanPath(scopes[i].LogDir);
            if (searched.contains(dir))
                continue;
            searched.insert(dir);
            SearchBoard(scopes[i], files[i]);
        }
        return hits;
    }

private:
    TTermSet titles;
    TTermSet logs;
    bool unfetched;
    TProgress progress;
    int total = 0;
    int done = 0;
    bool going = true;
    QList<THit> hits;

    void SearchBoard(const TScope &scope, const QStringList &datFiles)
    {
        QSet<QString> seen;
        for (const QString &name : datFiles) {
            if (!going)
                return;
            seen.insert(name.toLower());
            ExamineLog(scope, name);
            ++done;
            if (progress && !progress(done, total))
                going = false;
        }
        if (unfetched && going)
            ExamineSubjects(scope, seen);
    }

    void ExamineLog(const TScope &scope, const QString &name)
    {
        const QString path = scope.LogDir + name;
        QByteArray log;
        if (!logs.IsEmpty()) {
            log = ReadFile(path);
            if (!logs.FoundInSjis(log))
                return;
        }
        const QString title = LoggedTitle(path, log);
        if (titles.FoundIn(title))
            hits << THit{scope.Tag, name, title, true};
    }

    // Threads listed but not fetched: only a search without log terms can find them.
    void ExamineSubjects(const TScope &scope, QSet<QString> &seen)
    {
        if (!logs.IsEmpty())
            return;
        TTextList subject;
        subject.LoadFromFile(scope.LogDir + QStringLiteral("subject.txt"));
        for (const QString &line : std::as_const(subject.Lines)) {
            TSubjectLine parsed;
            if (!ParseSubjectLine(line, parsed) || seen.contains(parsed.DatName.toLower()))
                continue;
            seen.insert(parsed.DatName.toLower());
            if (titles.FoundIn(parsed.Title))
                hits << THit{scope.Tag, parsed.DatName, parsed.Title, false};
        }
    }
};

}  // namespace

QStringList SplitTerms(const QString &text)
{
    QString blanked = text;
    blanked.replace(QChar(0x3000), QLatin1Char(' '));
    QStringList terms = TTextList::SplitCommaText(blanked);
    terms.removeAll(QString());
    return terms;
}

TTermSet::TTermSet(const QStringList &terms)
{
    for (const QString &term : terms) {
        if (term.isEmpty())
            continue;
        lowered << term.toLower();
        byteForms << ScannableForm(lowered.last());
        // a letter byte of a term (a letter, or a trail byte that reads as one) has to be met in
        // either case in the text
        lowerBytes = lowerBytes || std::any_of(byteForms.last().begin(), byteForms.last().end(), [](char c) {
                         return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
                     });
    }
}

bool TTermSet::FoundIn(const QString &text) const
{
    if (lowered.isEmpty())
        return true;
    const QString low = text.toLower();
    return std::all_of(lowered.begin(), lowered.end(), [&low](const QString &term) { return low.contains(term); });
}

bool TTermSet::FoundInSjis(const QByteArray &bytes) const
{
    if (lowered.isEmpty())
        return true;
    const QByteArray scanned = lowerBytes ? AsciiLower(bytes) : bytes;
    for (const QByteArray &form : byteForms) {
        if (!form.isEmpty() && QByteArrayMatcher(form).indexIn(scanned) < 0)
            return false;
    }
    return FoundIn(jconvert::SjisToUnicode(bytes));
}

QList<THit> Search(const QList<TScope> &scopes, const TQuery &query, const TProgress &progress)
{
    return TWalk(query, progress).Run(scopes);
}

// ---- worker ----

TLogSearchWorker::TLogSearchWorker(QList<TScope> scopes, TQuery query, QObject *parent)
    : QObject(parent), scopes(std::move(scopes)), query(std::move(query))
{
}

TLogSearchWorker::~TLogSearchWorker()
{
    cancelled = true;
    if (thread) {
        thread->wait();
        delete thread;
    }
}

bool TLogSearchWorker::IsRunning() const
{
    return thread && thread->isRunning();
}

void TLogSearchWorker::Start()
{
    thread = QThread::create([this] {
        hits = Search(scopes, query, [this](int done, int total) {
            const int percent = total > 0 ? done * 100 / total : 100;
            if (lastReported.exchange(percent) != percent)
                QMetaObject::invokeMethod(this, [this, done, total] { emit Progress(done, total); }, Qt::QueuedConnection);
            return !cancelled.load();
        });
    });
    connect(thread, &QThread::finished, this, [this] { emit Finished(hits, cancelled.load()); });
    thread->start();
}

}  // namespace LogSearch
