#include "core/ResUploader.h"

#include "core/ThreadItem.h"

TResUploader::TResUploader(TThreadItem *item) : item(item)
{
    if (item)
        item->AddRef();
}

TResUploader::~TResUploader()
{
    if (item)
        item->Release();
}
