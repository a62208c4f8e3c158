#pragma once
// TSkinSettings: which skin renders a view and with which options, as skin.ini in the profile
// folder stores them (one section per assignment: "default", a view such as "export_dialog",
// a site id, or site id + "_" + board id). Shared by the browser tabs and the rendered-HTML lists.

#include <QString>

class TIniFile;

struct TSkinSettings {
    QString SkinPath;                 // the skin's folder, with a trailing "/"
    bool Katjusha = false;            // templates use the "&MESSAGE" tags
    bool Varnelo10 = false;           // templates use the "<MESSAGE>" tags
    bool IDPopup = true;              // poster IDs become "tavu://res/?id=" links
    bool RenderImage = false;         // image links are shown as pictures in the page
    bool RenderImageNewOnly = false;  // ... only in new responses
    int ImageSize = 24;               // the height of a shown picture, in lines of text (em)
    // What the SKINPATH tag writes; empty: the skin folder as a file: URL. An exported page uses a
    // path relative to where it is saved, so that it finds the skin's pictures and style sheets
    // wherever it is opened. Not stored in skin.ini.
    QString SkinUrl;

    // The section that applies to a board: site id + "_" + board id when skin.ini has it,
    // else the site id when it has that, else "default".
    static QString SectionForBoard(const TIniFile &ini, const QString &siteId, const QString &boardId);

    // The values a section starts from: the profile's "skin/default/" folder, and for the HTML
    // export no ID popups (an exported page has nothing to pop up).
    static TSkinSettings Defaults(const QString &section, const QString &profileDir);

    // Reads one section (key names in any case). A SKINPATH that is only a folder name means
    // a skin in the profile's "skin/" folder; "\" is taken as "/".
    static TSkinSettings Read(const TIniFile &ini, const QString &section, const QString &profileDir);

    // Writes every key of a section, as the skin dialog stores it.
    void Write(TIniFile &ini, const QString &section) const;
};
