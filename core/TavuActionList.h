#pragma once
// TTavuActionList: an ordered list of rules, the response rules of ngres.txt or the thread rules of
// ngthread.txt. It owns its rules. The record format of the files is in docs/formats.md.
//
// Matching goes through the rules in order from a given index; a rule takes part when it is
// enabled, has not expired and names the board. A rule found expired is switched off (it stays in
// the list and in the file). Every hit counts on the rule (hit count, last hit date).
//
// A line of the file that cannot be read is kept aside with a message and written back unchanged
// at the end of the file, so that a save loses nothing.

#include "core/TavuAction.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class TRes;
class TResList;
class TThreadItem;

// One rule that acted on a response or a thread.
struct TActionHit {
    TTavuAction *Rule = nullptr;
    bool Chained = false;   // hidden because it refers to a response that Rule hid
};

class TTavuActionList {
public:
    TTavuActionList() = default;
    TTavuActionList(const TTavuActionList &) = delete;
    TTavuActionList &operator=(const TTavuActionList &) = delete;

    // Replaces the list with the rules of the file, after copying the file to its ".bak" (the same
    // name with the extension ".bak"). False when the file does not exist (the list is then empty).
    bool LoadFromFile(const QString &path);
    // Writes every rule, then the lines that could not be read; atomic. Raises EFileError.
    void SaveToFile(const QString &path) const;
    // One message per line of the last load that could not be read.
    const QStringList &LoadMessages() const { return messages; }

    void Add(std::unique_ptr<TTavuAction> rule);
    TTavuAction *Get(int index) const;
    int Count() const { return static_cast<int>(rules.size()); }
    int IndexOf(const TTavuAction *rule) const;   // -1 when absent
    void Delete(int index);                       // frees the rule
    void Clear();

    // From index from on, the index of the next rule that takes part for the board and matches;
    // -1 when none. The hit is counted on the rule.
    int MatchRes(int from, const QString &siteId, const QString &boardId, const TRes &res,
                 const QDateTime &now = QDateTime::currentDateTime());
    // The same for a thread; rules for new threads only pass over threads not new in the listing.
    int MatchThread(int from, const QString &siteId, const QString &boardId, const TThreadItem &item,
                    const QDateTime &now = QDateTime::currentDateTime());

    // Applies the response rules to a response of the list, once: a response whose rule mark is
    // set is not matched again. Going through the matching rules in order:
    //   ABONE hides the response (Hidden) and stops; with Chain its number is kept in the list's
    //   hidden numbers with the rule. REPLACE replaces in the fields. RESMARK, in a view
    //   (inView), encloses the message in "<B>" and "</B>". Other actions are only reported.
    // Then, each time: a response that refers (">>n", ">>n-m", ">>n,m") to a response hidden by a
    // chain rule still in this list is hidden with that rule and its number kept too.
    // Returns the rules that acted, in order, for the caller to finish (view, log, notices,
    // bookmarks).
    QList<TActionHit> ApplyToRes(TResList &list, TRes &res, const QString &siteId,
                                 const QString &boardId, bool inView,
                                 const QDateTime &now = QDateTime::currentDateTime());

    // Applies the thread rules to a thread, in memory: REPLACE (title), SETCOLOR (Value2 a colour),
    // SETREVERSE, SETBOLD, SETKAKOLOG, SETPRIORITY (Value2 a number); ABONE stops going through the
    // rules. Other actions are only reported. Returns the rules that acted, in order.
    QList<TActionHit> ApplyToThread(TThreadItem &item, const QString &siteId, const QString &boardId,
                                    const QDateTime &now = QDateTime::currentDateTime());

private:
    std::vector<std::unique_ptr<TTavuAction>> rules;
    QStringList unreadLines;
    QStringList messages;

    bool TakesPart(TTavuAction &rule, const QString &siteId, const QString &boardId,
                   const QDateTime &now);
};
