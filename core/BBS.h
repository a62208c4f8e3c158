#pragma once
// TBBS: one board type. The base holds what config/bbs/<id>/bbs.ini says about the type: its display
// name, its code, the reply and new-thread capability bytes, the names of its read and post parameters
// and its URL templates. The handlers of the board types derive from it and add the downloads and posts.

#include "core/IniFile.h"

#include <QMap>
#include <QString>

class TBoard;
class TSite;

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

private:
    TIniFile ini;
    bool hasIni = false;
};
