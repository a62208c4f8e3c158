#pragma once
// TTavuEnviron: the one environment registry of the run (global TavuEnviron).
// It owns the board-type list and the site list, points to the special sites and holds the flags
// that every request consults: offline, stop (set by stop-all, read from worker threads too) and
// the trace memo into which every HTTP job writes its request and reply headers.
// The board-type handlers live above core: they are made through a factory that the board module
// registers; without one, each type is a plain TBBS holding its bbs.ini data.

#include <QMutex>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>

class TBBS;
class TBBSList;
class TSite;
class TSiteList;

// Makes the handler of a board type: its id and its folder (config/bbs/<id>/, trailing "/").
// May return nullptr for an id it does not handle.
using TBBSFactory = std::function<TBBS *(const QString &id, const QString &folder)>;

class TTavuEnviron {
public:
    TTavuEnviron();
    ~TTavuEnviron();

    // Offline: nothing is sent; jobs report done at once.
    bool IsOffline() const { return offline.load(); }
    void SetOffline(bool on) { offline.store(on); }

    // Stop flag: every synchronous wait that sees it gives up with "切断しました。".
    bool IsStopped() const { return stopped.load(); }
    void SetStopped(bool on) { stopped.store(on); }
    static QString StoppedMessage() { return QStringLiteral("切断しました。"); }

    // Trace memo: the main window attaches its memo; lines written before that are kept.
    // Safe to call from any thread; the sink is called on the calling thread.
    void AddTrace(const QString &text);
    void SetTraceSink(std::function<void(const QString &)> sink);
    QStringList TraceLines() const;

    // Board types and sites. The site list refers to the types: CreateBBSList comes first and is
    // called once, before LoadSites.
    TBBSList *BBSList() const { return bbsList.get(); }
    TSiteList *SiteList() const { return siteList.get(); }
    TSite *FavoritesSite() const { return favoritesSite; }
    TSite *LocalSite() const { return localSite; }
    TSite *UserSite() const { return userSite; }
    TSite *RssSite() const { return rssSite; }

    void SetBBSFactory(TBBSFactory factory) { bbsFactory = std::move(factory); }
    // The ids of the built-in board types, in registration order.
    static QStringList BuiltinBBSIDs();
    // Registers the built-in types, then the user-defined ones of config/bbslist.ini.
    void CreateBBSList();
    // Loads config/sitelist.ini, each listed site with its boards, then the special sites
    // user, local, rss and favorites (favorites last).
    void LoadSites();
    // Registers a site installed in config/site/<siteId>/ of the program folder: sitelist.ini gets it
    // (unless it names it already, ignoring case) and the site is loaded into the site list. Returns
    // the site, nullptr when the id is no safe folder name or the folder has no site.ini. Raises
    // EFileError when sitelist.ini cannot be written.
    TSite *AddListedSite(const QString &siteId);
    // What CreateBBSList and LoadSites had to skip, one line each, for the log pane.
    QStringList LoadMessages() const { return loadMessages; }

    // Save mode (kpw.ini CACHED): while it is off nothing read is stored in the log tree.
    bool GetCached() const;
    // thisRunOnly: the "-n" start; the stored setting is not changed.
    void SetCached(bool on, bool thisRunOnly = false);

private:
    std::atomic<bool> offline{false};
    std::atomic<bool> stopped{false};
    mutable QMutex traceLock;
    QStringList trace;
    std::function<void(const QString &)> traceSink;

    std::unique_ptr<TBBSList> bbsList;     // declared before the sites, which refer to it
    std::unique_ptr<TSiteList> siteList;
    TSite *favoritesSite = nullptr;
    TSite *localSite = nullptr;
    TSite *userSite = nullptr;
    TSite *rssSite = nullptr;
    TBBSFactory bbsFactory;
    QStringList loadMessages;
    bool cachedWithoutConfig = true;

    TBBS *MakeBBS(const QString &id);
    void LoadListedSites();
    TSite *LoadSite(const QString &siteId, int kind);
    void NoteUnreadBoards(const TSite &site);
};

extern TTavuEnviron *TavuEnviron;
