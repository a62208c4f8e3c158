#pragma once
// TDatLog: the lines of a thread's log as they are stored, taken from its response list (TResList::
// DatLogFor) so that they can be written later, also on another thread: the lines share their bytes
// with the responses, and nothing here reaches back to the list.
//
// A log that grows holds only the lines after the stored ones, with what tells that the stored log
// is still the one on disk (its size and its last line): an update costs the same however long the
// thread is. A log taken from its first line is written whole.

#include <QByteArray>
#include <QList>
#include <QString>

class TIniFile;

struct TDatLog {
    int First = 0;             // the index of the first line held; 0: the whole log
    QList<QByteArray> Lines;   // the lines from First on, without their line breaks
    QByteArray LineBreak;      // CR LF, or LF in the log-compatibility mode
    QList<int> Erased;         // the numbers of the erased responses among the lines held
    qint64 StoredSize = 0;     // the bytes of the lines before First, as Write writes them
    QByteArray LastStored;     // the line before First

    // The log at path is the lines before First as Write writes them (its size is theirs and it
    // ends with the last of them), so the lines held can be appended to it. False for a whole log.
    bool Continues(const QString &path) const;
    // Stores the lines at path. From First on they are appended to the log and synced to disk
    // before this returns, so that whatever is saved after the log (its .inf) never counts lines the
    // disk may not hold; an append that fails is taken back. A whole log is written atomically.
    // Raises EFileError when the log cannot be written, and, writing nothing, when the log at path
    // no longer is the lines before First (another program changed it since).
    void Write(const QString &path) const;
    // Marks the erased responses held in section "ERASE" ("RES<n>" = 1) of an .inf. Marks already
    // there stay. True when a mark was added.
    bool MarkErased(TIniFile &inf) const;

private:
    QByteArray Bytes() const;
};
