#pragma once
// TNumberedDownload: the new responses of a thread whose server sends them numbered: the raw lines
// of Machi BBS and JBBS ("n<>name<>mail<>date<>message<>title<>id") or the entries of a read.cgi
// page. The request asks for the responses after the stored ones; the whole answer is read before
// anything is delivered, so a broken answer delivers nothing. Responses the log already holds are
// passed over; a number missing in between keeps its place as an empty response, so response n
// stays line n of the log.

#include "boards/BoardRequest.h"
#include "boards/DatConv.h"

#include <QByteArray>

#include <functional>

class TBoard;
class TBoardScript;
class TResDownloader;

class TNumberedDownload : public TBoardRequest {
    Q_OBJECT
public:
    // The highest response number taken; an entry numbered above it is malformed and passed over,
    // so a hostile number cannot make the log grow by empty responses without bound.
    static constexpr int MaxResNumber = 100000;

    // url asks for the responses from storedCount + 1 on; rawLines: the answer is raw lines (an
    // unfinished last line is left for the next fetch), else a read.cgi page.
    TNumberedDownload(const TBoardScript *bbs, TResDownloader *job, const QString &url, int storedCount, bool rawLines);
    // A page that the given parser reads (the whole page as text); the parser may raise EVarnelo,
    // which ends the download with its message.
    using TPageParser = std::function<QList<DatConv::TNumberedLine>(const QString &page)>;
    TNumberedDownload(const TBoardScript *bbs, TResDownloader *job, const QString &url, int storedCount,
                      TPageParser parser);

protected:
    void Start() override;

private:
    const TBoardScript *bbs;
    TResDownloader *job;
    TBoard *board;
    QString url;
    int storedCount;
    bool rawLines;
    TPageParser parser;
    QByteArray body;

    void Finished(bool failed);
    void Fail(int code, const QString &message, const QString &detail = QString());
};
