#pragma once
// ThreadTestEnv: a temporary data root with the configuration and a registry holding one site
// ("test") with two boards ("news" and a local folder "local1"), for the thread-item tests.
// The globals TavuConfig and TavuEnviron point at them while the object lives.

#include "support/TempDataRoot.h"

#include "core/Board.h"
#include "core/BoardList.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuAction.h"
#include "core/TavuActionList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/ThreadItem.h"

#include <memory>

class ThreadTestEnv {
public:
    ThreadTestEnv()
    {
        config = std::make_unique<TTavuConfig>();
        registry = std::make_unique<TTavuEnviron>();
        oldConfig = std::exchange(TavuConfig, config.get());
        oldEnviron = std::exchange(TavuEnviron, registry.get());
        site = new TSite(QStringLiteral("test"), TSite::KIND_NORMAL, registry->BBSList());
        site->NAME = QStringLiteral("テスト");
        registry->SiteList()->Add(site);
        news = AddBoard(QStringLiteral("news"), root.Path() + QStringLiteral("log/test/news/"));
        local = AddBoard(QStringLiteral("local1"), root.Path() + QStringLiteral("mylocal/"));
    }
    ~ThreadTestEnv()
    {
        TavuConfig = oldConfig;
        TavuEnviron = oldEnviron;
    }

    // A new item bound to the board "news" with the key (one reference, owned by the caller).
    TThreadItem *NewItem(const QString &key, const QString &title = QString()) const
    {
        auto *item = new TThreadItem;
        item->SetLocation(QStringLiteral("test"), QStringLiteral("news"), key, title);
        return item;
    }

    TempDataRoot root;
    std::unique_ptr<TTavuConfig> config;
    std::unique_ptr<TTavuEnviron> registry;
    TSite *site = nullptr;
    TBoard *news = nullptr;
    TBoard *local = nullptr;

private:
    TTavuConfig *oldConfig = nullptr;
    TTavuEnviron *oldEnviron = nullptr;

    TBoard *AddBoard(const QString &id, const QString &folder)
    {
        auto *board = new TBoard;
        board->ID = id;
        board->BBSName = id;
        board->Name = id;
        board->Site = site;
        board->LogFolder = folder;
        site->Boards->Add(board);
        return board;
    }
};

// Adds to rules one that erases the threads of "news" whose title holds word.
inline void EraseTitlesWith(TTavuActionList &rules, const QString &word)
{
    auto rule = std::make_unique<TTavuAction>();
    rule->Target = TTavuAction::THREADTITLE;
    rule->Value1 = word;
    rule->Boards.Add(QStringLiteral("test"), QStringLiteral("news"));
    rules.Add(std::move(rule));
}

// Holds a thread item's creation reference and releases it at the end of a test.
struct ItemRef {
    explicit ItemRef(TThreadItem *item) : item(item) {}
    ~ItemRef() { item->Release(); }
    TThreadItem *operator->() const { return item; }
    TThreadItem *get() const { return item; }
    TThreadItem *item;
};
