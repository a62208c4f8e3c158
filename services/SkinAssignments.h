#pragma once
// TSkinAssignments: skin.ini as the skin dialogs edit it. Which skin renders which view: the
// "default" section, the special views, one section per site (its id) and per board (site id,
// "_" and board id). Holds the file for the dialogs' lifetime; every change is written at once.
// Also lists the installed skins (the profile's "skin/" folder).

#include "core/IniFile.h"
#include "render/SkinSettings.h"

#include <QStringList>

class TSkinAssignments {
public:
    explicit TSkinAssignments(const QString &profileDir);

    // The views with a section of their own besides "default", in the order the dialog shows them.
    static QStringList SpecialSections();

    // The installed skins: every folder of "skin/" except "module" (any case), by name.
    QStringList SkinFolders() const;
    // The folder of a skin, with a trailing "/".
    QString SkinDir(const QString &name) const;
    // The name of the skin a section uses (the last folder of its SKINPATH); empty when the section
    // names no skin.
    QString DisplayName(const QString &section) const;
    // The installed skin the section uses, compared without regard to case; empty when none.
    QString SelectedSkin(const QString &section) const;
    bool HasSection(const QString &section) const;

    // The settings a section holds (its defaults when it has none).
    TSkinSettings Read(const QString &section) const;
    // Stores the settings as the section and writes skin.ini.
    void Assign(const QString &section, const TSkinSettings &settings);
    // Removes the section and writes skin.ini.
    void Erase(const QString &section);

private:
    QString profileDir;
    TIniFile ini;
};
