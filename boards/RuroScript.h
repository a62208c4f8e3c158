#pragma once
// TRuroScript: a board type that the user defines (config/bbslist.ini). Its bbs.ini gives the URL
// templates; its board scripts read the server's pages (docs/formats.md):
//   ParseThread.ruro  runs once per line of the thread-list page (SUBJECT) and reports threads;
//   ParseRes.ruro     runs once per line of a thread's page (DAT) and reports responses.
// A site may carry its own copy of a script (its site files, in their layers); else the type's
// folder has it. Posts go to SENDCGI and NEWTHREADCGI with the forms of the read.cgi boards.
//
// A thread's page is read whole each time; the responses the log already holds are passed over.
// A script error ends the download with the script's message (which names the line).

#include "boards/ReadCgiScript.h"

class TBoard;
class TRuroBas;

class TRuroScript : public TReadCgiScript {
public:
    using TReadCgiScript::TReadCgiScript;

    void DownloadThreadList(TThreadListDownloader *job, bool reload, bool synchronous = false) override;
    void DownloadThread(TResDownloader *job, bool reload, bool firstMode, bool synchronous = false) override;

    // The path of a board script for a board: the site's copy, else the type's; empty when neither
    // has it.
    QString ScriptPath(const TBoard *board, const QString &name) const;

    // The subject line ("key.dat<>title (count)") the thread-list script reports for one line of the
    // page, and the dat line the response script reports; empty when the script reports nothing.
    // number: the response's number (the script's ResNumber, else the one after last).
    static QString RunThreadScript(TRuroBas &script, const QString &line);
    static QString RunResScript(TRuroBas &script, const QString &line, int last, int &number);

private:
    // Sets what every run of a script of the board reads: OK, BoardURL, BBS.
    static void PrepareScript(TRuroBas &script, const TBoard *board);
    // The message of a download that cannot start: no board, or no script of that name.
    static QString ProblemMessage(const TBoard *board, const QString &name);
};
