#pragma once
// TThreadExporter: writes the log of one thread into a file of a folder, as a page rendered through
// a skin (TTavuHtmlStrings) or as dat lines (TTavuDatStrings). The responses pass through the
// rendering trio of the thread flow (given as Render), so the response rules apply as in a tab.
//
// The file is named by the thread key or by the title, followed by the extension; the name keeps
// no character a file system refuses or reads as a folder, so a title never names another folder.
// A page refers to its skin's files (SKINPATH) by a path relative to the page, so it opens in any
// browser without the program.
// A dat export of a whole thread gives back its stored log byte for byte: erased responses stay
// as lines and nothing is renumbered. No window.

#include "render/SkinSettings.h"

#include <QString>
#include <functional>

class IResultView;
class TResList;
class TThreadItem;

class TThreadExporter {
public:
    enum TFormat { efHtml = 0, efDat = 1 };

    TFormat Format = efHtml;
    bool TitleAsName = false;     // "スレッドタイトルをファイル名" (else the thread key)
    QString Extension;            // with its dot
    QString Folder;               // with or without a trailing "/"
    TSkinSettings Skin;           // HTML: the skin of the view "export_dialog"
    std::function<void(IResultView *view, TResList *list)> Render;

    // The file the thread goes to.
    QString FileNameFor(const TThreadItem *item) const;
    // A name made safe for a file: separators, characters file systems refuse and control
    // characters removed, blanks around it trimmed; cut between two characters to at most
    // maxBytes in the file system's encoding.
    static QString SafeFileName(const QString &name, int maxBytes = 255);

    // Writes the thread (list: the responses to write; nullptr: those of its stored log). Returns
    // the file written, empty when the thread has no stored responses. Raises EFileError when the
    // file cannot be written.
    QString Export(TThreadItem *item, TResList *list) const;

private:
    void WriteHtml(TThreadItem *item, TResList *list, const QString &path) const;
    void WriteDat(TThreadItem *item, TResList *list, const QString &path) const;
};
