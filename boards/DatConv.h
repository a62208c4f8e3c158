#pragma once
// DatConv: the conversions between what board servers send and the program's dat lines: the thread
// key of a file name, the responses of a read.cgi page, the numbered raw lines of Machi BBS and JBBS,
// and the response made from a dat line as a download hands it on.
// Server text is hostile: nothing here makes a path; a malformed entry is skipped, never guessed.

#include <QByteArray>
#include <QList>
#include <QString>

class TRes;
class TThreadItem;

namespace DatConv {

// The thread key of a text: the file name without its folder and without everything from its
// first "." ("1234567890.dat" and "dat/1234567890.dat.gz" both give "1234567890").
QString ExtractFileKey(const QString &text);

// One response of a page or a numbered listing: its number on the server and its dat line.
struct TNumberedLine {
    int Number = 0;
    QString DatLine;
};

// The responses of a read.cgi page: each "<dt>n ：name：date<dd>message" entry, the mail from its
// "mailto:" link, the page title on response 1. Entries without a number are skipped.
QList<TNumberedLine> HtmlToDat(const QString &page);

// A raw line "n<>name<>mail<>date<>message<>title[<>id]" (Machi BBS offlaw, JBBS raw mode) as a dat
// line; the id, when given, joins the date as " ID:". False when the line has no number or too few
// fields.
bool RawLineToDat(const QString &line, TNumberedLine &out);

// The response of one dat line received for the item; bytes are the line as stored (Shift_JIS).
TRes *MakeRes(const QString &line, const QByteArray &bytes, int number, const TThreadItem *item);

}  // namespace DatConv
