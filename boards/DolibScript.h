#pragma once
// TDolibScript ("dolibscript"): 2ch's own boards. While the past-log service is logged in, a
// thread that fell off its board is read first through the raw-mode script with the session id
// (the "OFFLAW" template), and posts carry the session id.

#include "boards/2chScript.h"

class TDolibScript : public T2chScript {
public:
    using T2chScript::T2chScript;

    QList<TPastLogSource> PastLogSources(const TThreadItem *item) const override;

protected:
    TPostForm ReplyForm(const TResUploader &job) const override;
    TPostForm NewThreadForm(const TThreadUploader &job) const override;
};
