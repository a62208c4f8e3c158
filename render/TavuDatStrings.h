#pragma once
// TTavuDatStrings: a thread written back as dat lines (name<>mail<>date<>message<>title), kept in
// memory and saved to a file (the DAT export and "save as DAT" of a thread tab). It is a result
// view filled by the rendering trio of the thread flow.
//
// Every response that passes is written, hidden ones too, in response order, so line n of the
// file is always response n. In dat mode each line is the response as stored in the log and the
// file ends its lines with LF alone, as a board server's dat does; otherwise the lines are built
// from the fields as shown (after the replace rules) and end with CR LF.

#include "render/ResultView.h"

#include <QByteArray>
#include <QMap>
#include <QString>

class TSite;

class TTavuDatStrings : public IResultView {
public:
    TSite *Site = nullptr;
    QString BoardID;
    bool DatMode = true;
    // The line end to write; empty: LF in dat mode, CR LF otherwise. An export that must give
    // back the stored log byte for byte uses the log's own line end.
    QByteArray LineBreak;

    void BeginView(TResList *list) override;
    void HideRes(TRes *res, const TTavuAction *rule) override;
    bool TakesRes(const TRes *res) const override;
    void AppendRes(TRes *res) override;
    bool EndView() override;

    // The file's bytes: Shift_JIS lines in response order.
    QByteArray Bytes() const;
    // Writes Bytes() atomically, replacing the file. Raises EFileError on failure.
    void SaveToFile(const QString &path) const;

private:
    QMap<int, QByteArray> lines;   // by response number
};
