#pragma once
// TSendData: the fields of one post (a reply or a new thread), and the filling of a post template.
//
// A post template is the form text of a board type's post (for example
// "bbs=<bbs>&key=<key>&time=<time>&FROM=<name>&mail=<mail>&MESSAGE=<message>"). FillTemplate
// replaces its placeholders, ignoring case, by the fields form-encoded in the board's code page:
//   <name> <mail> <message> <subject> <password> <bbs> <key> <time> <url>
// <time> is the moment the post data was made, in seconds since 1970.

#include <QString>

class TBoard;

class TSendData {
public:
    TSendData();

    QString ReadUrl;     // the thread's read URL kept by the composer
    QString Name;
    QString Mail;
    QString Body;        // lines joined with CR LF
    QString Extra;       // the second text the composer keeps for the board type
    bool Sage = false;
    bool Pre = false;
    bool Touhaba = false;    // fixed width
    QString BBS;         // the board id the server knows
    QString Key;         // the thread key (replies only)
    QString Param1;      // the board type's send (or new-thread) parameter texts
    QString Param2;
    QString Param3;
    TBoard *Board = nullptr;
    QString Subject;     // new threads only
    QString Password;    // new threads only
    qint64 Time = 0;     // seconds since 1970, set at creation

    // The template with the placeholders above replaced; codePage 0 Shift_JIS, 1 EUC-JP, 2 UTF-8.
    QString FillTemplate(const QString &text, int codePage) const;
};
