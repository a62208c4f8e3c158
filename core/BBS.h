#pragma once
// TBBS: one board type. The base holds what config/bbs/<id>/bbs.ini says about the type: its display
// name, its code, the reply and new-thread capability bytes, the names of its read and post parameters
// and its URL templates, and builds the type's URLs from them. The handlers of the board types
// (boards/) derive from it and add the downloads and posts; a type without a handler answers every
// download and post with an error.
//
// Downloads and posts report only through the callbacks of their job records. An asynchronous call
// returns at once and the callbacks come later from the event loop of the calling thread; a
// synchronous one returns when the job is done (its callbacks have run) and raises EHttpException
// when the connection failed or the stop flag ended the wait. Any thread with an event loop may call.

#include "core/IniFile.h"

#include <QMap>
#include <QString>

#include <functional>

class TBoard;
class TResDownloader;
class TResUploader;
class TSite;
class TThreadItem;
class TThreadListDownloader;
class TThreadUploader;

// The names of a type's read and post parameters ([SCRIPT] PARAM_... of bbs.ini).
struct TScriptParam {
    QString PARAM_BBS;
    QString PARAM_NOFIRST;
    QString PARAM_DAT;
    QString PARAM_START;
    QString PARAM_END;
    QString PARAM_RES;
    QString PARAM_TRUE;
    QString PARAM_FALSE;
};

// The parts of a thread URL of a type (TBBS::ParseThreadUrl).
struct TThreadUrlParts {
    QString Base;        // scheme, host (lower case) and the path up to and including the read script
    QString Dir;         // the folder a board of the type needs besides its bbs name (JBBS); else empty
    QString BBS;
    QString Key;
    QString Start;       // the range parts the URL had; empty when absent
    QString End;
    bool NoFirst = false;
};

class TBBS {
public:
    // Bits of the reply capability byte.
    enum ResFlag : quint8 {
        RES_SAGE = 0x01,          // SAGE allowed
        RES_SAGE_IN_MAIL = 0x02,  // SAGE is written into the mail field
        RES_PRE = 0x04,           // PRE allowed
        RES_FIXED = 0x08,         // fixed width allowed
    };
    // Bits of the new-thread capability byte.
    enum ThreadFlag : quint8 {
        THREAD_SAGE = 0x01,
        THREAD_PRE = 0x04,
        THREAD_FIXED = 0x08,
        THREAD_PASSWORD = 0x10,   // a password is asked
    };

    // id: the type id; folder: config/bbs/<id>/ of the program folder (bbs.ini is read from it).
    TBBS(const QString &id, const QString &folder);
    virtual ~TBBS();
    TBBS(const TBBS &) = delete;
    TBBS &operator=(const TBBS &) = delete;

    QString ID;
    QString Folder;          // with a trailing "/"
    QString Name;            // [SCRIPT] NAME
    int CharSet = 0;         // [SCRIPT] CHARSET: 0 Shift_JIS, non-zero EUC-JP
    quint8 ResFlags = 0;     // [SCRIPT] RES
    quint8 ThreadFlags = 0;  // [SCRIPT] THREAD
    TScriptParam Param;

    bool IsEuc() const { return CharSet != 0; }
    bool HasBbsIni() const { return hasIni; }
    const TIniFile &Ini() const { return ini; }

    // ---- templates ----

    // The template of a section ("SUBJECT", "DAT", "READCGI", "SENDCGI", "NEWTHREADCGI") for a host:
    // the site's site.ini keyed by the host, then by "*", then bbs.ini keyed by the host, then by "*".
    // site may be null (bbs.ini only).
    QString GetTemplate(const QString &section, const QString &host, const TSite *site = nullptr) const;

    // Replaces every placeholder of values ("<host>" -> ...) ignoring case.
    static QString FillTemplate(const QString &text, const QMap<QString, QString> &values);

    // The placeholder values for a board and a thread key: <host>, <bbs>, <boardpath>, <dir>,
    // <key>, <dat> and this type's <PARAM_...> names. board may be null (only the parameter names).
    QMap<QString, QString> TemplateValues(const TBoard *board, const QString &key = QString()) const;

    // The template of a section for a board, filled for the board and the key.
    QString BoardUrl(const QString &section, const TBoard *board, const QString &key = QString()) const;

    // The host a board's URLs use: the host and port of its URL, else the host of its host path.
    static QString HostOf(const TBoard *board);

    // ---- what the type is ----

    virtual bool IsThreadListPaged() const;   // the listing is fetched page by page
    virtual bool IsWebPage() const;           // threads are shown as web pages
    virtual bool IsRemote() const;            // the type fetches from the network

    // ---- URLs ----

    // The canonical form of a thread URL of this type (docs/formats.md, "Canonical thread URL");
    // a URL that is not a thread URL of the type comes back unchanged.
    virtual QString NormalizeUrl(const QString &url) const;
    // Splits a thread URL (path or query form) of this type; false when it is not one.
    bool ParseThreadUrl(const QString &url, TThreadUrlParts &parts) const;
    // The read template, unfilled ("<host>", "<bbs>", "<boardpath>", "<dir>" and "<dat>/" left in),
    // as it applies to the board's host (board may be null: bbs.ini's "*").
    QString GetReadCgiBaseUrl(const TBoard *board = nullptr) const;
    // The canonical URL of a thread of the board; board and key may be empty.
    QString GetReadCgiUrl(const TBoard *board, const QString &key) const;
    // The URL a thread download fetches (the dat URL of the 2ch family).
    virtual QString GetThreadUrl(const TThreadItem *item) const;
    // The read URL of a thread as the server shows it, with an optional range text ("50", "1-10",
    // "l50", "10-n" ...).
    virtual QString GetReadUrl(const TThreadItem *item, const QString &range = QString()) const;
    // The read URL for responses first..last (0: open end); noFirst leaves response 1 out.
    QString GetReadUrlRange(const TThreadItem *item, int first, int last, bool noFirst) const;
    // The URL a browser tab shows for the thread.
    virtual QString GetBrowserUrl(const TThreadItem *item) const;
    // The URL new threads are posted to, and the one replies are posted to.
    virtual QString GetNewThreadCgiUrl(const TBoard *board) const;
    virtual QString GetSendCgiUrl(const TBoard *board, const QString &key) const;

    // ---- downloads and posts ----

    // The thread list of job->Board: each listed thread goes to job->OnThreadItem and, until it
    // answers false, to job->OnProgress; then OnDone (after OnError when it failed). reload asks for
    // the list without validators. A "not modified" answer sets job->NotModified and reports the
    // stored list to OnThreadItem only (the thread-list document shows its stored list itself).
    virtual void DownloadThreadList(TThreadListDownloader *job, bool reload, bool synchronous = false);
    // One further page of a listing fetched page by page, into the same job.
    virtual void DownloadThreadListNextPage(TThreadListDownloader *job, int page);
    // The new responses of job->Item(): each goes to the job (TResDownloader::DeliverRes), then the
    // end. reload asks without validators; firstMode asks for the whole thread.
    virtual void DownloadThread(TResDownloader *job, bool reload, bool firstMode, bool synchronous = false);
    // Posts a reply (a new thread); exactly one of the job's OnDone, OnError, OnCancel reports.
    virtual void PostRes(TResUploader *job);
    virtual void PostNewThread(TThreadUploader *job);

protected:
    // The message of the operations a type cannot do.
    static QString UnsupportedMessage();
    // Runs a report now (synchronous) or from the calling thread's event loop (asynchronous), so an
    // asynchronous operation that needs no request still returns before its callbacks run.
    static void Report(bool synchronous, std::function<void()> report);

private:
    TIniFile ini;
    bool hasIni = false;
};
