#pragma once
// Parsers of the two line formats of the board servers.
//
// Dat line (one response): name<>mail<>date<>message<>title, the title only on line 1. The old
// form separates the fields with "," and writes a comma inside a field as "＠｀".
// Subject line (one thread of a listing): key.dat<>title (count); the count may be written with
// ASCII or full-width digits and parentheses; the old form uses "," in place of "<>".
//
// Server text is not trusted: a line with missing fields still gives what it has, never throws,
// and the dat name of a subject line is accepted only as a safe file name.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

struct TDatFields {
    QString Name;
    QString Mail;
    QString Date;   // the whole date field, with its " ID:", " BE:", " IMG:" parts
    QString Body;
    QString Title;
    bool Complete = false;   // all of name, mail, date and message were present
};

// Splits one dat line (without its line break) into its fields.
TDatFields ParseDatLine(QStringView line);

// The dat line of the given fields in the "<>" form (title written only when not empty).
QString ComposeDatLine(const QString &name, const QString &mail, const QString &date,
                       const QString &body, const QString &title);

// The lines of a stored log, without their line breaks (CR LF or LF). A final line break does not
// start another line; every other line, empty ones included, is returned.
QList<QByteArray> SplitLogLines(const QByteArray &log);

// The line break of stored logs: CR LF, or LF alone in the log-compatibility mode.
QByteArray LogLineBreak();

struct TSubjectLine {
    QString DatName;   // "1234567890.dat"
    QString Title;
    int Count = 0;     // 0 when the line carries no count
};

// Parses one subject line; false when it has no separator or its dat name is not a safe file name.
bool ParseSubjectLine(QStringView line, TSubjectLine &out);

// True for a name that may become a file name in a log folder (a safe name of the log tree:
// ASCII letters, digits, "_", "-", ".", "@", "+", not starting with ".").
bool IsSafeFileName(QStringView name);
