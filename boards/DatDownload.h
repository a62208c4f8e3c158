#pragma once
// TDatDownload: the new responses of a thread of the 2ch family from its dat file.
//
// Only what is new is fetched: If-Modified-Since or If-None-Match from the .inf, and a Range from one
// byte before the stored size (never together with gzip, which a compressing server would range
// over). The job checks that a range reply begins with the stored log's last line feed. A reply
// that does not continue the stored log (another first byte, a 416, a whole file that is shorter or
// that differs in a stored line) leaves the log untouched and asks the user to fetch the thread
// again. A whole file sent for a ranged request delivers only the lines after the stored ones. An
// unfinished last line is held back (the next fetch asks for it again). The validators change, in
// the item only, when save mode is on, so the caller stores them with the log they describe.
//
// A thread gone from the board (404, a redirect, a 203 page) is looked for in its past-log copies
// (T2chScript::PastLogSources); when found there the item is marked as a past log.

#include "boards/2chScript.h"
#include "boards/BoardRequest.h"

#include <QByteArrayList>

class TResDownloader;
class TThreadItem;

// Hands one dat line received for the job's thread on as its response `number`; bytes are the
// line as stored. Response 1 gives an untitled thread its title.
void DeliverDatLine(TResDownloader *job, const QString &line, const QByteArray &bytes, int number,
                    qint64 maximum, qint64 position);

class TDatDownload : public TBoardRequest {
    Q_OBJECT
public:
    // pastLogOnly: the thread is read from its past-log copies only (the past-log store).
    TDatDownload(const T2chScript *bbs, TResDownloader *job, bool reload, bool firstMode, bool pastLogOnly);

protected:
    void Start() override;

private:
    const T2chScript *bbs;
    TResDownloader *job;
    TThreadItem *item;
    TBoard *board;
    bool reload;
    bool firstMode;
    bool pastLogOnly;
    QByteArrayList stored;                           // the stored log's lines
    qint64 storedSize = 0;                           // their size on the server, when known
    QList<T2chScript::TPastLogSource> pastLogs;     // copies still to try
    bool pastLogsListed = false;

    // The step running now.
    bool onPastLog = false;
    bool offlaw = false;          // a raw-mode reply: a "+OK" or "-ERR" line comes first
    bool offlawChecked = false;
    bool offlawOk = false;
    int bodyLines = 0;            // complete lines of the body
    qint64 bodyBytes = 0;         // their bytes as the server sent them, line ends included
    int delivered = 0;
    bool changed = false;         // the body contradicts the stored log
    bool notDat = false;          // the body is a page, not dat lines
    bool tooMany = false;         // more responses than any thread holds
    int lastCode = 0;
    QString lastMessage;
    QString lastDetail;

    void StartStep(const QString &url, bool differential);
    void TakeLine(const QByteArray &line);
    void StepDone(bool failed);
    bool NextPastLog();
    bool IsGone(int status) const;
    QByteArray StoredForm(const QByteArray &line) const;
    void Fail(int code, const QString &message, const QString &detail = QString());
    void Succeed();
};
