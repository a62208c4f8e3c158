#pragma once
// T2chScript ("2chscript"): boards that run the 2ch scripts: subject.txt, dat files read by byte
// ranges, read.cgi and bbs.cgi. Its requests carry the 2ch agent (TDolibManager::UserAgent). A
// thread that fell off its board is looked for in the board's past-log folder ("kako"), compressed
// copy first.

#include "boards/BoardScript.h"

#include <QList>

class T2chScript : public TBoardScript {
public:
    using TBoardScript::TBoardScript;

    QString Agent() const override;
    void DownloadThread(TResDownloader *job, bool reload, bool firstMode, bool synchronous = false) override;

    // A place where a thread that fell off its board may be kept.
    struct TPastLogSource {
        QString Url;
        bool Offlaw = false;   // a raw-mode reply, led by a "+OK" or "-ERR" line
    };
    // The places to look, in order.
    virtual QList<TPastLogSource> PastLogSources(const TThreadItem *item) const;

    // The URL of a thread's copy in a past-log folder: the filled template with the folders made
    // from the key put before its file name ("1234567890" -> "1234/12345/", "123456789" -> "123/").
    static QString KakoUrl(const QString &filledTemplate, const QString &key);

protected:
    TPostForm ReplyForm(const TResUploader &job) const override;
    TPostForm NewThreadForm(const TThreadUploader &job) const override;

    // The copies of a thread in the past-log folder of its board: the template of the given section.
    QList<TPastLogSource> KakoSources(const TThreadItem *item, const QString &section) const;
};
