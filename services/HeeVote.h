#pragma once
// THeeVote: the request and the reply of the outside vote service for a thread. The request is the
// configured template with "<THREADURL/>" and "<THREADNAME/>" filled in as they are; the reply page
// shows the thread's count in a table row ending in "へぇ</td></tr>", after the row's link.

#include <QString>

class THeeVote {
public:
    static QString VoteUrl(const QString &urlTemplate, const QString &title, const QString &threadUrl);
    // The count the page shows (the last such row); false when no row holds one.
    static bool Score(const QString &page, QString &score);
    // Sends the vote; false with the error text for the log pane when no count came back.
    static bool Send(const QString &url, QString &score, QString &error);
};
