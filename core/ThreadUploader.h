#pragma once
// TThreadUploader: the record of one new-thread post: a post record for a board (no thread yet),
// with the thread-list document it was started from and the text the composer fetched before it
// was shown.

#include "core/ResUploader.h"

class TThreadUploader : public TResUploader {
public:
    TThreadUploader() = default;

    QPointer<QObject> Doc;     // the thread-list document
    QString PrefetchedText;
};
