#pragma once
// TDatLog: the lines of a thread's log as they are stored, taken from its response list (TResList::
// DatLog) so that they can be written later, also on another thread: the lines share their bytes
// with the responses, and nothing here reaches back to the list.

#include <QByteArray>
#include <QList>
#include <QString>

class TIniFile;

struct TDatLog {
    QList<QByteArray> Lines;   // without their line breaks
    QByteArray LineBreak;      // CR LF, or LF in the log-compatibility mode
    struct TErased {
        int Index;
        int Number;
    };
    QList<TErased> Erased;     // the erased responses

    // Stores the lines at path. When the first `stored` of them are the log at path, as they are
    // written here, only the ones after them are appended and synced to disk before this returns,
    // so that whatever is saved after the log (its .inf) never counts lines the disk may not hold;
    // an append that fails is taken back. Otherwise (stored is 0, or another program changed the
    // log, or it holds other line breaks) the log is written whole, atomically. Returns the index
    // from which the lines were written. Raises EFileError when the log cannot be written.
    int Write(const QString &path, int stored) const;
    // Marks the erased responses from index first on in section "ERASE" ("RES<n>" = 1) of an .inf.
    // Marks already there stay. True when a mark was added.
    bool MarkErased(TIniFile &inf, int first) const;

private:
    QByteArray Bytes(qsizetype first, qsizetype last) const;
    bool Holds(const QString &path, int stored) const;
};
