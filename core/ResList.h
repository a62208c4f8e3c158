#pragma once
// TResList: the responses of one thread, in order; response n of a full list is at index n - 1.
//
// The list owns its responses. Created for a thread item it holds one reference to the item
// (released on destruction). It also keeps the numbers of responses hidden by a chain rule
// together with that rule, so that responses that refer to them are hidden the same way.

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringView>
#include <memory>
#include <vector>

struct TDatLog;
class TRes;
class TThreadItem;
class TTavuAction;

class TResList {
public:
    explicit TResList(TThreadItem *item = nullptr);
    ~TResList();
    TResList(const TResList &) = delete;
    TResList &operator=(const TResList &) = delete;

    TThreadItem *Item() const { return item; }

    // Takes ownership of the response.
    void Add(TRes *res);
    TRes *Get(int index) const { return items[size_t(index)].get(); }
    // The response with that number; nullptr when the list has none.
    TRes *FindByNumber(int number) const;
    int Count() const { return int(items.size()); }
    void Clear();

    // Appends the responses of a stored log (Shift_JIS bytes, lines ended by CR LF or LF), numbered on
    // from the last one. Every line gives one response, broken lines included; the line break after
    // the last line is optional.
    void LoadDat(const QByteArray &log);
    // Appends one response parsed from a dat line received from a server (already decoded).
    TRes *AddDatLine(const QString &line);

    // Writes every response back as the log file at path (atomically; lines end with CR LF, or with
    // LF alone in the log-compatibility mode). Erased responses keep their text in the log; their
    // numbers are marked in section "ERASE" ("RES<n>" = 1) of the .inf beside the log. Existing marks
    // are never removed here: restoring a response clears its mark in the .inf.
    // Raises EFileError when the log or the .inf cannot be written.
    void SaveDat(const QString &path) const;
    // Saves a list whose first `stored` responses are the log at path: only the responses after them
    // are appended, and synced to disk before it returns, so that whatever is saved after the log (its
    // .inf) never counts lines the disk may not hold. A log that is not exactly those responses as
    // SaveDat writes them (another program changed it, it holds other line breaks) is written whole
    // with SaveDat. An append that fails is taken back before the error is raised; one cut short by
    // the end of the program leaves whole lines and at most one torn last line, which
    // TThreadItem::CutTornAppend takes off before the log is read again. Erased responses among the
    // appended ones are marked as SaveDat marks them. Raises EFileError when the log or the .inf
    // cannot be written.
    void AppendDat(const QString &path, int stored) const;
    // The lines to store at path, to be written later (TThreadLogSave), when the first `stored`
    // responses are the log there: only the lines after them, with the size and the last line of
    // the stored ones that tell whether the log on disk still is them (TDatLog::Continues); the
    // stored lines are built only to count the bytes of those made in memory. Every line, for a
    // whole log, when the log at path is not them as SaveDat writes them (another program changed
    // it, it holds other line breaks), or `stored` is 0.
    TDatLog DatLogFor(const QString &path, int stored) const;

    // Chain hiding: response numbers hidden by a rule that asks to hide the responses referring to them.
    QMap<int, TTavuAction *> HiddenNumbers;

private:
    TThreadItem *item = nullptr;
    std::vector<std::unique_ptr<TRes>> items;
    // The bytes of the lines read with the responses (TRes::DatLine, which never changes), and how
    // many responses were made in memory without one: the size of the stored lines is known
    // without going through them, unless one of them has to be built from its fields.
    qint64 datLineBytes = 0;
    int builtLines = 0;

    // A response carrying the item's board type, site, board and title.
    TRes References() const;
    TRes *AppendLine(QStringView text, QByteArray bytes, const TRes &references);
    void Tally(const TRes &res);
    // The lines from index `from` on, with the size and the last line of the ones before; every
    // line from 0 (or from past the end).
    TDatLog DatLog(int from) const;
    qint64 LineBytesBefore(int index) const;
    void Store(const QString &path, int stored) const;
};
