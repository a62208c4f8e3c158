#pragma once
// TResUploader: the record of one reply post, carried between the main window and the board type.
// It owns the post data and holds one reference to the thread. Exactly one of OnDone, OnError and
// OnCancel reports the outcome.

#include "core/SendData.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class TBBS;
class TBoard;
class TSite;
class TThreadItem;

class TResUploader {
public:
    // Takes one reference to the item (when given).
    explicit TResUploader(TThreadItem *item = nullptr);
    virtual ~TResUploader();   // releases the item's reference
    TResUploader(const TResUploader &) = delete;
    TResUploader &operator=(const TResUploader &) = delete;

    TThreadItem *Item() const { return item; }

    TBBS *BBS = nullptr;
    TSite *Site = nullptr;
    TBoard *Board = nullptr;
    QPointer<QObject> Composer;   // the composer window that sent the post
    int CodePage = 0;
    std::unique_ptr<TSendData> Data = std::make_unique<TSendData>();

    std::function<void(TResUploader *, bool failed)> OnDone;
    // pageText: the server's answer page, shown to the user.
    std::function<void(TResUploader *, int code, const QString &message, const QString &pageText)> OnError;
    std::function<void(TResUploader *, const QString &message)> OnCancel;

private:
    TThreadItem *item = nullptr;
};
