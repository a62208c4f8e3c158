#pragma once
// TRssScript ("rssscript"): RSS feeds read as boards. A board's URL is its feed (RSS 1.0, RSS 2.0 or
// Atom); the feed's items are its threads, and each thread holds one response made of its item: the
// author (else the feed's title), the date, the text of the item's description and its link.
//
// The code of a feed is the one its XML declaration names, else UTF-8 when it starts with a byte
// order mark, else the one detected from its bytes (the board's code page when nothing can be
// told). Feed text is never shown as HTML: descriptions lose their tags and are escaped, and only
// http and https links are kept.
//
// An item is known by a key made from its id (guid, Atom id), else its link, else its title and
// date, so it keeps its log when the feed is fetched again. A thread is read once: while its log
// holds the response, nothing is fetched.

#include "core/BBS.h"

#include <QDateTime>
#include <QList>
#include <QString>

class TRssScript : public TBBS {
public:
    using TBBS::TBBS;

    struct TFeedItem {
        QString Title;
        QString Link;
        QString Id;
        QString Author;
        QString Description;   // as the feed has it (may be HTML)
        QDateTime Date;        // invalid when the item has none
    };
    struct TFeed {
        QString Title;
        QString Description;
        QList<TFeedItem> Items;
    };

    // The text of a feed's bytes (see above for the code).
    static QString DecodeFeed(const QByteArray &bytes, int codePage);
    // Parses a feed. Raises EVarnelo when the text is not a feed or not well-formed.
    static TFeed ParseFeed(const QString &text);
    // The thread key of an item: "rss" and 16 hexadecimal digits.
    static QString ItemKey(const TFeedItem &item);
    // The dat line of an item's response.
    static QString ItemDatLine(const TFeedItem &item, const TFeed &feed);

    void DownloadThreadList(TThreadListDownloader *job, bool reload, bool synchronous = false) override;
    void DownloadThread(TResDownloader *job, bool reload, bool firstMode, bool synchronous = false) override;
    // The feed is what a thread download fetches.
    QString GetThreadUrl(const TThreadItem *item) const override;
};
