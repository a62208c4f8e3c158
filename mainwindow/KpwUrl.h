#pragma once
// Recognising and opening URLs: a thread of a known board opens as a thread tab (with its stored log
// when there is one), a board of a known site as its thread list, anything else as a web page in a
// browser tab or in the outside browser, as the settings say.
//
// Used by the command line and the second copy's hand-over, the address box, links clicked in
// threads, the board tree's web-page boards and the tool windows.

#include <QString>

class TBoard;
class TResList;
class TSite;
class TThreadItem;

namespace Kpwfunc {

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
// board's stored subject list). resList receives copies of the thread's stored responses, those of
// the range the URL names marked visible. resNo is the response to show.
bool MatchBoardUrl(const QString &url, TResList &resList, TThreadItem &item, int &resNo, TSite *&site,
                   TBoard *&board);

// Copies every response of source into target, numbered from 1; a copy is visible when it lies in
// [from, to], or when it is response 1 and noFirst is off. Without a range the last MAXPOPUPCOUNT
// responses are visible; with only an end, the MAXPOPUPCOUNT responses up to it.
void FillPopupResList(const TResList &source, TResList &target, int from, int to, bool noFirst);

// True when some site has a board whose URL equals the URL exactly (sites in list order, first hit)
// and that board is not a web page.
bool IsBoardUrl(const QString &url, TBoard *&board);

// Opens the URL: a thread of a known board as a thread tab, a board of a known site as its thread
// list, anything else as a web page (OpenUrl). fromViewer: the preview browser asks the main window
// to open the URL inside the program.
void OpenThreadUrl(const QString &url, bool fromViewer = false);

// Opens a web page as URL OPENINVARNELO says: 0 and 2 a new browser tab showing the page, 1 the
// outside browser, anything else nothing.
void OpenUrl(const QString &url, const QString &caption, bool activate = true, bool fromViewer = false);

// Hands the URL to the outside browser: the desktop's default one, or the program of URL
// BROWSERPATH with the URL as its one argument. Only http, https and ftp URLs go out.
void OpenUrlExternal(const QString &url);

}  // namespace Kpwfunc
