#pragma once
// TKpw10ViewMode ("ヴァルネロ1.0風味"): asks whether the 1.0-style layout (TViewModePreset) is to be
// used. The check box shows whether it is on; OK switches it on or back off as the box says. The
// caller reloads the bars and the layout when Changed() is true.

#include <QDialog>

class QCheckBox;
class QPushButton;
class TViewModePreset;

class TKpw10ViewMode : public QDialog {
    Q_OBJECT
public:
    explicit TKpw10ViewMode(TViewModePreset &preset, QWidget *parent = nullptr);

    // "&OK": applies or restores as the check box says, then closes.
    void OKButtonClick();
    bool Changed() const { return changed; }

    QCheckBox *CheckBox1 = nullptr;   // "ヴァルネロ 1.0 風味にする"
    QPushButton *OKButton = nullptr;
    QPushButton *CloseButton = nullptr;   // "閉じる(&X)"

private:
    TViewModePreset &preset;
    bool changed = false;
};
