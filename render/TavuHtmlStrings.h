#pragma once
// TTavuHtmlStrings: a thread rendered as one HTML page through a skin, kept in memory and saved
// to a file (the HTML export and "save as HTML" of a thread tab). It is a result view: the rendering
// trio of the thread flow fills it, with the response rules applied.
//
// Only responses whose first flag of the first display triplet is set are written; writing one
// sets the first flag of its second triplet. Responses hidden by a rule are left out.

#include "render/ResultView.h"
#include "render/SkinSettings.h"

#include <QString>
#include <memory>

class TIniFile;
class TSite;
class TTavuResWriter;

class TTavuHtmlStrings : public IResultView {
public:
    TTavuHtmlStrings();
    ~TTavuHtmlStrings() override;
    TTavuHtmlStrings(const TTavuHtmlStrings &) = delete;
    TTavuHtmlStrings &operator=(const TTavuHtmlStrings &) = delete;

    TSkinSettings Skin;          // skin folder, template format, ID popups, pictures
    TResList *ResList = nullptr; // the thread's responses (not owned)
    TSite *Site = nullptr;
    QString BoardID;

    // Reads Skin from skin.ini: the section of a view when one is named ("export_dialog"),
    // otherwise the section of the board (Site and BoardID, falling back to the site's and to
    // "default"). The first form reads skin.ini of the profile folder.
    void ReadSkinSettings(const QString &view = QString());
    void ReadSkinSettings(const TIniFile &skinIni, const QString &view = QString());

    void BeginView(TResList *list) override;
    void HideRes(TRes *res, const TTavuAction *rule) override;
    bool TakesRes(const TRes *res) const override;
    void AppendRes(TRes *res) override;
    bool EndView() override;

    // The page written so far.
    const QString &Text() const { return html; }
    // Writes the page as Shift_JIS with CR LF line breaks (characters Shift_JIS cannot hold as
    // numeric references), replacing the file atomically. Raises EFileError on failure.
    void SaveToFile(const QString &path) const;

private:
    std::unique_ptr<TTavuResWriter> writer;
    QString html;
    int appended = 0;
};
