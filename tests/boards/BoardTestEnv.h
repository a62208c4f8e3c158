#pragma once
// BoardTestEnv: a temporary data root (seeded with the shipped board types), the configuration and a
// registry whose board types are the handlers of boards/, with one site "test" whose boards live on
// a BoardServer: "news" (2chscript), "live" (dolibscript), "game/1234" (shitarabajbbs, EUC-JP),
// "cgi" (a user-defined type "readcgitest" made by TReadCgiScript, whose bbs.ini has no DAT
// template, so its threads are read from read.cgi pages) and the special sites. The globals point
// at them while the object lives.
//
// Downloads and posts run as the main window runs them: Download keeps the stored responses and
// the new ones in one list and, when the job did not fail and brought something new, saves the log
// and the .inf in save mode.

#include "support/BoardServer.h"
#include "support/TempDataRoot.h"
#include "support/WaitLimit.h"

#include "boards/BoardTypes.h"
#include "boards/ReadCgiScript.h"
#include "core/BBS.h"
#include "core/BBSList.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/JConvert.h"
#include "core/Res.h"
#include "core/ResDownloader.h"
#include "core/ResList.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "core/ThreadListDownloader.h"

#include <QCoreApplication>
#include <memory>

class BoardTestEnv {
public:
    BoardTestEnv() : root(true)
    {
        server.AddBoard(QStringLiteral("news"));
        server.AddBoard(QStringLiteral("live"));
        server.AddBoard(QStringLiteral("cgi"));
        server.AddBoard(QStringLiteral("1234"), BoardServer::Jbbs, QStringLiteral("game"));
        WriteSite();
        WriteReadCgiType();
        config = std::make_unique<TTavuConfig>();
        registry = std::make_unique<TTavuEnviron>();
        oldConfig = std::exchange(TavuConfig, config.get());
        oldEnviron = std::exchange(TavuEnviron, registry.get());
        BoardTypes::Install(registry.get());
        registry->CreateBBSList();
        registry->LoadSites();
        site = registry->SiteList()->FindBySiteID(QStringLiteral("test"));
    }
    ~BoardTestEnv()
    {
        TavuConfig = oldConfig;
        TavuEnviron = oldEnviron;
    }

    TBoard *Board(const QString &id) const { return site->Boards->FindByID(id); }

    // A new item of a board's thread (one reference, owned by the caller), its .inf read.
    TThreadItem *NewItem(const QString &boardId, const QString &key) const
    {
        auto *item = new TThreadItem;
        item->SetLocation(site->SITEID, boardId, key, QString());
        item->LoadInfo();
        return item;
    }

    struct Fetch {
        bool done = false;
        bool failed = false;
        bool notModified = false;
        int doneCalls = 0;
        int errorCode = 0;
        QString errorMessage;
        QList<int> numbers;      // numbers of the responses delivered
        QStringList bodies;
    };

    // Downloads the thread of item as the main window does and waits for the end.
    Fetch Download(TThreadItem *item, bool reload = false, bool synchronous = false)
    {
        Fetch fetch;
        auto *list = new TResList(item);
        item->LoadResList(*list);
        const int stored = list->Count();
        auto *job = new TResDownloader(item);
        job->BBS = item->BBS;
        job->Site = item->Site;
        job->Board = item->GetBoard();
        job->ResList = list;
        job->SetCacheReady();
        job->OnRes = [&fetch, list](TResDownloader *, TRes *res, int, int) {
            fetch.numbers << res->Number;
            fetch.bodies << res->Body;
            list->Add(res);
        };
        job->OnError = [&fetch](TResDownloader *, int code, const QString &message, const QString &) {
            fetch.errorCode = code;
            fetch.errorMessage = message;
        };
        job->OnDone = [&fetch, list, item, stored](TResDownloader *done, bool failed) {
            ++fetch.doneCalls;
            fetch.done = true;
            fetch.failed = failed;
            fetch.notModified = done->NotModified;
            if (!failed && !done->NotModified && TavuEnviron->GetCached()) {
                list->AppendDat(item->GetLogFile(), stored);
                item->COUNT = list->Count();
                item->SaveInfo();
            }
            delete list;
            delete done;
        };
        item->BBS->DownloadThread(job, reload, false, synchronous);
        WaitFor([&fetch] { return fetch.done; });
        return fetch;
    }

    struct Listing {
        bool done = false;
        bool failed = false;
        bool notModified = false;
        QStringList keys;        // reported to OnThreadItem
        int progressItems = 0;   // reported to OnProgress
        QList<int> counts;
    };

    Listing List(TBoard *board, bool reload = false)
    {
        Listing listing;
        TThreadListDownloader job;
        job.BBS = board->BBS;
        job.Site = board->Site;
        job.Board = board;
        job.OnThreadItem = [&listing](TThreadListDownloader *, TThreadItem *item) {
            listing.keys << item->GetKey();
            listing.counts << item->AGECOUNT;
        };
        job.OnProgress = [&listing](TThreadListDownloader *, TThreadItem *item, int, int) {
            listing.progressItems += item ? 1 : 0;
            return true;
        };
        job.OnDone = [&listing](TThreadListDownloader *done, bool failed) {
            listing.done = true;
            listing.failed = failed;
            listing.notModified = done->NotModified;
        };
        board->BBS->DownloadThreadList(&job, reload, false);
        WaitFor([&listing] { return listing.done; });
        return listing;
    }

    // Runs the event loop until the condition holds (at most timeoutMs).
    static bool WaitFor(const std::function<bool()> &condition, int timeoutMs = WaitLimitMs)
    {
        return ::WaitFor(condition, timeoutMs);
    }

    TempDataRoot root;
    BoardServer server;
    std::unique_ptr<TTavuConfig> config;
    std::unique_ptr<TTavuEnviron> registry;
    TSite *site = nullptr;

private:
    TTavuConfig *oldConfig = nullptr;
    TTavuEnviron *oldEnviron = nullptr;

    void WriteReadCgiType()
    {
        BoardTypes::AddMaker(QStringLiteral("readcgitest"), [](const QString &id, const QString &folder) -> TBBS * {
            return new TReadCgiScript(id, folder);
        });
        root.Write(QStringLiteral("config/bbslist.ini"), "[BBSLIST]\r\nCOUNT=1\r\nBBS1=readcgitest\r\n");
        root.Write(QStringLiteral("config/bbs/readcgitest/bbs.ini"),
                   "[SCRIPT]\r\nNAME=readcgi\r\nRES=3\r\nTHREAD=1\r\nPARAM_BBS=bbs\r\nPARAM_NOFIRST=nofirst\r\n"
                   "PARAM_DAT=key\r\nPARAM_START=st\r\nPARAM_END=to\r\nPARAM_RES=res\r\nPARAM_TRUE=true\r\n"
                   "PARAM_FALSE=false\r\n[SUBJECT]\r\n*=http://<host>/<bbs>/subject.txt\r\n[READCGI]\r\n"
                   "*=http://<host>/test/read.cgi/<bbs>/<dat>/\r\n[SENDCGI]\r\n*=http://<host>/test/bbs.cgi\r\n");
    }

    void WriteSite()
    {
        root.Write(QStringLiteral("config/sitelist.ini"), "[SITE]\r\nCOUNT=1\r\nSITE1=test\r\n");
        const QString host = server.Host();
        root.Write(QStringLiteral("config/site/test/site.ini"),
                   jconvert::UnicodeToSjis(QStringLiteral("[SITE]\r\nSITEID=test\r\nNAME=テスト\r\nBBSTYPE=2chscript\r\n"
                                                          "CHARSET=SJIS\r\n")));
        root.Write(QStringLiteral("config/site/test/board.dat"),
                   jconvert::UnicodeToSjis(QStringLiteral("2\r\nテスト\r\n"
                                                          "\t%1\tnews\tニュース\r\n"
                                                          "\t%1\tlive\t実況\t\tdolibscript\r\n"
                                                          "\t%1/game\t1234\tゲーム\t\tshitarabajbbs\tEUC\r\n"
                                                          "\t%1\tcgi\t読み込み\t\treadcgitest\r\n")
                                               .arg(host)));
    }
};

// Holds a thread item's creation reference and releases it at the end of a test.
struct ItemRef {
    explicit ItemRef(TThreadItem *item) : item(item) {}
    ~ItemRef() { item->Release(); }
    TThreadItem *operator->() const { return item; }
    TThreadItem *get() const { return item; }
    TThreadItem *item;
};
