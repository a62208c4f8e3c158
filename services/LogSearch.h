#pragma once
// The search through the stored thread logs, apart from its window: the terms of a search box,
// the test of one log against them, the walk through the log folders of the chosen boards, and a
// worker that runs that walk off the GUI thread, reporting its progress and stopping when asked.
//
// A thread matches when its title holds every title term and its log text every log term (case
// ignored, as the response search finds text); an empty box imposes nothing. Threads listed in a
// board's subject.txt that have no log yet are examined by title when asked. A thread is reported
// once, whatever lists it twice.

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>

class QThread;

namespace LogSearch {

// The terms of a search box: separated by commas and blanks (the full-width blank too); a
// double-quoted group is one term. Empty terms are dropped.
QStringList SplitTerms(const QString &text);

// Finds all of a set of terms in a text, case ignored. Text given as the Shift_JIS bytes of a log
// is first scanned as bytes, and decoded only when every term may stand in it.
class TTermSet {
public:
    explicit TTermSet(const QStringList &terms);
    bool IsEmpty() const { return lowered.isEmpty(); }
    bool FoundIn(const QString &text) const;
    bool FoundInSjis(const QByteArray &bytes) const;

private:
    QStringList lowered;
    QList<QByteArray> byteForms;   // the lowered Shift_JIS bytes of each term; empty: not scannable
    bool lowerBytes = false;       // some term's bytes hold a letter byte: the text is scanned lowered
};

// One board to search.
struct TScope {
    QString LogDir;   // with its trailing "/"
    int Tag = 0;      // the caller's index of the board
};

struct TQuery {
    QStringList TitleTerms;
    QStringList LogTerms;
    bool Unfetched = false;   // also the titles of subject.txt's threads that have no log
};

// One thread found.
struct THit {
    int Tag = 0;          // the board's
    QString DatName;      // "<key>.dat"
    QString Title;
    bool Fetched = true;  // it has a log
};

// Whether the walk goes on: given the files examined so far and their total; false stops it.
using TProgress = std::function<bool(int done, int total)>;

// Searches the boards in order: every "*.dat" of the log folder, then (with Unfetched) the lines
// of its subject.txt. A board whose folder was searched already is skipped.
QList<THit> Search(const QList<TScope> &scopes, const TQuery &query, const TProgress &progress);

// Runs Search on a thread of its own. Progress and Finished come on the thread that made it.
class TLogSearchWorker : public QObject {
    Q_OBJECT
public:
    TLogSearchWorker(QList<TScope> scopes, TQuery query, QObject *parent = nullptr);
    ~TLogSearchWorker() override;   // asks the walk to stop and waits for it

    void Start();
    void Cancel() { cancelled = true; }
    bool IsCancelled() const { return cancelled; }
    bool IsRunning() const;

signals:
    void Progress(int done, int total);
    // The hits so far when cancelled.
    void Finished(const QList<LogSearch::THit> &hits, bool cancelled);

private:
    QList<TScope> scopes;
    TQuery query;
    std::atomic<bool> cancelled{false};
    std::atomic<int> lastReported{-1};
    QThread *thread = nullptr;
    QList<THit> hits;
};

}  // namespace LogSearch
