#pragma once
// TBBSDialog ("BBS選択"): steps through the sites one at a time, shows each site's icon, background,
// name, link and comment, and lets the user choose which sites are shown. The check box changes the
// site's shown flag (TSite::Listed) at once; the caller saves the flags.
//
// Stepping skips the favorites, local, RSS and user sites: they are always shown.

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class TSiteList;

class TBBSDialog : public QDialog {
    Q_OBJECT
public:
    explicit TBBSDialog(QWidget *parent = nullptr);

    // The index of the site shown (in the registry's site list).
    int CurrentIndex() const { return current; }
    // Shows the site at the index.
    void ShowSite(int index);
    // "次へ >" (step 1) and "< 戻る" (step -1).
    void Step(int step);

    // The index of the next normal site from index in the direction of step, wrapping around at
    // the ends; index itself when the list has no other normal site.
    static int StepSiteIndex(const TSiteList &sites, int index, int step);

    QLabel *Image1 = nullptr;   // the site's icon
    QLabel *Image3 = nullptr;   // the site's background picture
    QLabel *Label1 = nullptr;   // NAME
    QLabel *Label2 = nullptr;   // the site's URL; a click opens it in the outside browser
    QLabel *Label3 = nullptr;   // comment.txt
    QCheckBox *CheckBox1 = nullptr;
    QPushButton *SpeedButton1 = nullptr;   // "< 戻る"
    QPushButton *SpeedButton2 = nullptr;   // "次へ >"
    QPushButton *Button2 = nullptr;        // "&OK"
    QPushButton *Button1 = nullptr;        // "キャンセル(&C)"

private:
    int current = 0;
};
