#pragma once
// TViewModePreset: the "1.0 風味" layout of the tool bars, popup menus, tool-bar bands and tab bars,
// switched on and back off. Switching on copies the presets def/toolbar_kpw10.ini and
// def/popup_kpw10.ini over the profile's toolbar.ini and popup.ini (a missing preset is skipped),
// writes the preset band layout into kpw.ini section COOLBAR1 and sets SHORTCUTBARPOS, THREADTAB
// POSITION and TOOLBARPOS, BROWSERTAB POSITION and TOOLBARPOS. What it replaces is kept first (the
// two files as toolbar.kpw10.bak and popup.kpw10.bak, the values in kpw10.bak), so switching off
// puts the user's own layout back. No window: the caller reloads the bars afterwards.

#include <QString>

class TTavuConfig;

class TViewModePreset {
public:
    TViewModePreset(TTavuConfig &config, const QString &defDir, const QString &profileDir);

    // Whether the preset is on (what it replaced is kept).
    bool IsActive() const;
    // Switches the preset on; nothing when it is on already.
    void Apply();
    // Puts back what Apply replaced; nothing when the preset is off.
    void Restore();

private:
    TTavuConfig &config;
    QString defDir;
    QString profileDir;

    QString StateFile() const;
    void KeepFile(const QString &name);
    void RestoreFile(const QString &name);
    void UsePreset(const QString &preset, const QString &name);
};
