#pragma once
// Text matching over responses and what is built on it: the finder shared by every search of the
// window, the match of one response by field, the highlight of the matches in a body, the replies
// to one response, the responses of one ID, the links of responses, and the dialog of the
// board-wide search (the search views themselves are in mainwindow/SearchViews.h).
//
// Lists handed out here hold copies of the responses; the responses of a tab are never changed by
// a search.

#include <QList>
#include <QString>
#include <functional>

class TRes;
class TResList;

namespace ResSearch {

// Which field of a response a search looks at.
enum TResMatchMode {
    rmAll,         // name, else mail, else ID, else body: the first hit wins
    rmName,        // part of the name
    rmNameExact,   // the whole name (trimmed, tags stripped, case ignored)
    rmMail,        // the whole mail field (case ignored)
    rmBody,        // part of the body
    rmID,          // the whole ID (case ignored)
};

// One search: the text, the field, and how the matches are found and shown.
struct TResSearch {
    QString Text;
    TResMatchMode Mode = rmAll;
    bool Fold = true;        // full-width and half-width characters match each other
    bool Highlight = true;   // the matches are written between FILTERTAG1 and FILTERTAG2
    bool NewOnly = false;    // only the responses of the last download (filtered tab)
};

// The 1-based position of the needle in the text, case ignored (0 when absent, or when the needle
// is empty). With fold, full-width letters, digits and kana count as their half-width forms.
int FindTextPos(const QString &needle, const QString &text, bool fold);

// The HTML text with every case-insensitive occurrence of the needle written as prefix, the
// occurrence as it stands, suffix. Tags and character references are left whole.
QString HighlightText(const QString &html, const QString &needle, const QString &prefix, const QString &suffix);

// Whether the response matches the text in the field the mode names.
bool MatchRes(const TRes &res, const QString &text, bool fold, TResMatchMode mode);

// True when the anchor text stands in the body not followed by a further digit (">>1" is in
// "&gt;&gt;1 ok" but not in "&gt;&gt;12").
bool ContainsAnchor(const QString &anchor, const QString &body);

// Appends to out a copy of every response of the list; the copies that refer to response resNo
// by an anchor are visible and popup, the others neither. Returns how many refer to it.
int CollectReplies(const TResList &list, int resNo, TResList &out);

// Appends to out a copy of every response of the list, visible exactly when its ID is id (a
// marker a server puts after an ID, such as "(主)", does not count).
void MarkResById(const TResList &list, TResList &out, const QString &id);

// One link found in a response.
struct TLinkItem {
    QString Extension;   // lower case, with its dot, without the query (".jpg")
    QString URL;
    QString FileName;
    const TRes *Res = nullptr;          // the response it was found in
    const TResList *ResList = nullptr;  // the list that holds it
};

// Appends the links of the visible, not erased responses of the list (only new ones with
// newOnly) that links does not hold yet. A link written without its leading "h" gets it.
void ExtractLinks(const TResList &list, QList<TLinkItem> &links, bool newOnly);

// The dialog that asks for the text and field of a board-wide search: true on OK with the search
// filled. The dialog installs itself here; without it the command does nothing.
using TResSearchDialogHandler = std::function<bool(TResSearch &search)>;
TResSearchDialogHandler SetResSearchDialog(TResSearchDialogHandler dialog);
const TResSearchDialogHandler &ResSearchDialog();

}  // namespace ResSearch
