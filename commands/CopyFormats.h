#pragma once
// The texts the copy commands put on the clipboard: a thread's URL and title lines, and a response
// as quoted or plain lines with its header. No window is needed to build them.

#include <QString>

class TRes;
class TThreadItem;

namespace CopyFormats {

enum TThreadCopy { tcUrl, tcTitle, tcTitleUrl };
enum TResCopy { rcText, rcQuoted, rcID, rcHandle, rcMail, rcUrlText, rcUrlQuoted, rcUrl };

// The thread's title as copied: with "＠" and the board name when COPYWITHBOARDNAME is on.
QString ThreadTitle(const TThreadItem &item);
// The URL line, the title line, or both (each ended by a line break).
QString ThreadText(const TThreadItem &item, TThreadCopy kind);
// A web page's URL, title, or title, line break, URL, line break.
QString PageText(const QString &title, const QString &url, TThreadCopy kind);
// What the selected-response copies put on the clipboard for the response of the thread.
QString ResText(const TThreadItem &item, const TRes &res, TResCopy kind);

}  // namespace CopyFormats
