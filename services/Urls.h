#pragma once
// Recognising URLs: which thread of a known board, or which board of a known site, a URL names, and
// the outside browser. Opening a URL in the main window (its OpenThreadUrl and OpenWebPage) is
// built on these.

#include <QString>

class TBoard;
class TResList;
class TSite;
class TThreadItem;

namespace Urls {

// The parameters a thread URL carries, read with the parameter names of the board's type.
struct TBoardUrlParts {
    QString BBS;          // the board's bbs name
    QString Key;          // the thread key
    int ResNo = 0;        // the response to show: the start value, else the response value
    int From = 0;         // the range asked for: the response value for both, else start and end
    int To = 0;
    bool NoFirst = false; // leave response 1 out of a popup
};

// Splits a thread URL of the board's type into its parameters; false when the URL carries no bbs
// name or no key.
bool ParseBoardUrl(const QString &url, const TBoard *board, TBoardUrlParts &parts);

// True when the URL names a thread of a known board. item must be a fresh item owned by the caller;
// it is bound to the thread (its stored title and counts when the log exists, else the title of the
// board's stored subject list). resList, unless null, receives copies of the thread's stored
// responses, those of the range the URL names marked visible (a caller that opens the thread has
// its log read there instead). resNo is the response to show.
bool MatchBoardUrl(const QString &url, TResList *resList, TThreadItem &item, int &resNo, TSite *&site,
                   TBoard *&board);

// Copies every response of source into target, numbered from 1; a copy is visible when it lies in
// [from, to], or when it is response 1 and noFirst is off. Without a range the last MAXPOPUPCOUNT
// responses are visible; with only an end, the MAXPOPUPCOUNT responses up to it.
void FillPopupResList(const TResList &source, TResList &target, int from, int to, bool noFirst);

// True when some site has a board whose URL equals the URL exactly (sites in list order, first hit)
// and that board is not a web page.
bool IsBoardUrl(const QString &url, TBoard *&board);

// Hands the URL to the outside browser: the desktop's default one, or the program of URL
// BROWSERPATH with the URL as its one argument. Only http, https and ftp URLs go out.
void OpenUrlExternal(const QString &url);

}  // namespace Urls
