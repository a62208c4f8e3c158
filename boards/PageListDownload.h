#pragma once
// TPageListDownload: the thread list of a board whose server sends another page than a subject.txt:
// a listing page of links (MegaBBS), a feed (RSS), a page read by a board script (user-defined
// types). A parser turns the lines of the page into subject lines ("key.dat<>title (n)"), and each
// becomes a thread item reported as it comes (dat names that are not safe file names are passed
// over).
//
// The first page of a list is asked for with the validators of the board's subject.inf; a complete
// answer is stored, when save mode is on, as subject.txt (the subject lines, Shift_JIS) with its
// validators, and a "not modified" answer reports the stored list. The further pages of a listing
// fetched page by page are asked for without validators and are not stored.

#include "boards/BoardRequest.h"
#include "boards/SubjectStore.h"
#include "boards/ThreadListing.h"

#include <QByteArray>
#include <QStringList>

#include <memory>

class TBoard;
class TThreadListDownloader;

class TPageListParser {
public:
    virtual ~TPageListParser() = default;
    // The subject lines that one line of the page gives (the line as it came, without its line
    // break). Raises EVarnelo to end the list with that message.
    virtual QStringList ParseLine(const QByteArray &line) = 0;
    // The subject lines that the end of the page gives (a page read whole).
    virtual QStringList ParseEnd() { return {}; }
};

class TPageListDownload : public TBoardRequest {
    Q_OBJECT
public:
    struct TPage {
        QString Url;
        QString Agent;
        bool Reload = false;      // ask without validators
        bool FirstPage = true;    // conditional and stored; else a further page of a paged listing
        int FirstNumber = 1;      // the listing number of the page's first thread
    };

    TPageListDownload(TThreadListDownloader *job, const TPage &page, std::unique_ptr<TPageListParser> parser);
    ~TPageListDownload() override;

protected:
    void Start() override;

private:
    TThreadListDownloader *job;
    TBoard *board;
    TPage page;
    std::unique_ptr<TPageListParser> parser;
    TThreadListing listing;
    TSubjectStore store;
    QStringList subjects;        // the subject lines so far
    QString parseError;          // the parser's message, once it failed

    void TakeLine(const QByteArray &line, qint64 received, qint64 total);
    void Report(const QStringList &lines, qint64 received, qint64 total);
    void Finished(bool failed);
    void StoreList();
};
