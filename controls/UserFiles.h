#pragma once
// The small list files of the profile folder and the procedures that read and write them: the
// first-run seeding from the program's def/ folder, the read and post histories, the URL history
// of the address box, the web-search menu, the board-type bar, the favorites folder files, the
// bookmark index, and the listings of the thread logs stored in a board's log folder.
//
// Every file is Shift_JIS text with CR LF line ends, loaded whole and written whole (atomically);
// a missing file is an empty list.

#include "controls/ActionCatalogue.h"
#include "core/JConvert.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class QComboBox;
class QMenu;
class QToolBar;
class TSearchEngineMenuItem;
class TSite;
class TSiteList;
class TTavuListDoc;
class TTextList;
class TThreadItem;

namespace UserFiles {

// ---- seeding ----

// Seeds the profile folder from the def folder, never overwriting a file: shortcut.txt,
// toolbar.ini, aalist.txt, search.txt, column.txt, popup.ini and bbs.txt (the sites a new
// profile offers in the site list), the skin folder (when the
// profile has none) with its module subfolder, and the event sounds of def/sound/ (when the
// profile has no newres.wav). Then an old default of the "Google検索" entry of search.txt is
// replaced by the current one. A missing seed file is skipped.
void PrepareUserFiles(const QString &profileDir, const QString &defDir);
void PrepareUserFiles();   // the configuration's profile folder and the program's def/

// ---- histories ----

// One line of readhist.txt or sendhist.txt: site id, board id, thread key, title and the time
// ("yyyy/MM/dd hh:mm:ss"), joined by TAB. A TAB or line break inside a field becomes a blank, so
// that a title can never shift fields or add lines.
QString HistoryLine(const TThreadItem *item, const QDateTime &when);
// Puts the thread's line at the top of the history file (after removing its older lines when
// removeDuplicates is set); nothing when enabled is false. With HISTRELOAD on, the history
// window is then told to reload.
void AddHistoryLine(TThreadItem *item, const QString &fileName, bool removeDuplicates, bool enabled);
// AddHistoryLine done later, on the save queue's thread (TSaveQueue); the reload and a failure's
// log line come afterwards.
void QueueHistoryLine(TThreadItem *item, const QString &fileName, bool removeDuplicates, bool enabled);
// The history window's reload, called after a history line was added (empty: none).
void SetHistoryReload(std::function<void()> reload);

// The URL history of the address box (urllog.txt), most recent first, at most 20 entries.
// While SAVEHIST is on: the URL moves to (or is put at) the top, the list is cut to 20 and saved
// through the save queue.
void AddUrlLog(QStringList &list, const QString &url);
void AddUrlLog(QComboBox *addressBox, const QString &url);   // its items are the list

// ---- web-search menu (search.txt) ----

struct TSearchEntry {
    bool Separator = false;   // a line "-"
    QString Name;
    QString Url;              // holds "%s" where the search text goes
};
// The entries of search.txt ("name=URL template" or "-"; other lines are left out).
QList<TSearchEntry> ReadSearchFile(const QString &fileName);
// Rebuilds the menu: the actions actSelectionCopy and actSelectionFilter, a separator, then one
// TSearchEngineMenuItem per entry, whose click calls search.
void LoadSearchMenu(QMenu *menu, const QString &fileName, const TActionList &actions,
                    const std::function<void(TSearchEngineMenuItem *)> &search);

// The code the engine of a URL template reads its search text in, as the template names it with
// one of the query keys "ie", "ei", "enc", "encoding", "charset" or "inputencoding" ("EUC-JP",
// "Shift_JIS", "UTF-8", "ISO-2022-JP" and their usual spellings); UTF-8 when it names none.
jconvert::Code SearchTextCode(const QString &urlTemplate);
// The URL of a search: the text in the template's code, percent-encoded, in place of "%s".
QString SearchUrl(const QString &urlTemplate, const QString &text);

// ---- board-type bar (bbsbar.txt) ----

struct TBBSBarEntry {
    TSite *Site = nullptr;
    QString Caption;
};
// The buttons of bbsbar.txt ("SITEID<TAB>caption"); lines naming no known site are left out.
QList<TBBSBarEntry> ReadBBSBar(const QString &fileName, const TSiteList &sites);
// Rebuilds the bar: hidden while SHOWBBSTOOLBAR is off; otherwise one TBBSToolButton per entry
// (with the site's picture while BBSTOOLBARSHOWIMAGE is on), each followed by a separator; a
// click calls select with the button's site.
void LoadBBSBar(QToolBar *toolBar, const QString &fileName, const TSiteList &sites,
                const TImageList &siteImages, const std::function<void(TSite *)> &select);

// ---- thread logs ----

// Deletes a thread's stored log. A favorite is asked about first (only with PRMPTDELETEFAV on;
// otherwise the answer is yes): yes takes it out of the favorites too; no keeps it a favorite
// with a fresh .inf.
void DeleteThreadLog(TThreadItem *item);
// Fills the board tab with every thread log of the folder (empty: the board's log folder). A log
// that subject.dat does not list is marked as a past log.
void ListLocalLogs(TTavuListDoc *doc, const QString &folder = QString());
// Adds to the board tab the stored threads of its board that the tab does not hold, as past logs.
void AddFallenThreads(TTavuListDoc *doc);

// Whether the first three runs of digits of the text (year, month, day; a run that ends the text
// does not count) give today's date. A two-digit year of 90 or more is 19xx, else 20xx.
bool IsToday(const QString &text, const QDate &today = QDate::currentDate());

// ---- favorites and bookmarks ----

// Removes the thread from every favorites folder file (config/site/favorites/fav*.txt; a file is
// saved only when a line went) and clears its favorite flag.
void RemoveFromFavoriteFiles(TThreadItem *item);

// When the thread has no bookmark left: removes its lines ("SITEID/board id/key=...") from the
// bookmark index and saves the index to the file.
void RemoveBookmarkEntry(TThreadItem *item, TTextList &index, const QString &fileName);

}  // namespace UserFiles
