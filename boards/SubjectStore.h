#pragma once
// TSubjectStore: the thread list a board keeps in its log folder: subject.txt (the list, Shift_JIS,
// CR LF) and subject.inf (section SUBJECT: LAST_MODIFIED, ETAG and SIZE, the bytes of subject.txt).
// A thread-list download asks with the stored validators, reports the stored list when the server
// answers "not modified", and stores a complete new list with the validators of its reply, in save
// mode only. The list is written first, so the validators never describe a list that was not stored.

#include <QByteArray>
#include <QString>

class TBoard;
class TTavuHttp;
class TThreadItem;
class TThreadListing;

class TSubjectStore {
public:
    explicit TSubjectStore(TBoard *board) : board(board) {}

    QString TxtPath() const;
    QString InfPath() const;

    // Puts the validators of the stored list on the request; nothing when no list is stored.
    void AskConditionally(TTavuHttp *http) const;
    // The item of one subject line ("key.dat<>title (n)", or the old "key.cgi,title(n)"), listed
    // at number; nullptr when the line is not one or names no safe file.
    TThreadItem *ItemOfLine(const QString &text, int number) const;
    // Reports the stored list, line by line, to the listing's per-thread callback.
    void ReportStored(TThreadListing &listing) const;
    // Stores the list (Shift_JIS, CR LF) with the validators of the reply that brought it, when
    // save mode is on. A list that cannot be written loses its validators, so the next download
    // asks for it whole.
    void Store(const QByteArray &text, const TTavuHttp &reply) const;

private:
    TBoard *board;
};
