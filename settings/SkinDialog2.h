#pragma once
// TSkinDialog2 ("スキンの設定"): chooses the skin of one section of skin.ini. Lists the installed
// skins, tells or lets the user set the template format, previews a sample thread through the
// chosen skin and its options (with the page's HTML text beside it), and writes the section on OK.

#include "render/SkinSettings.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QListWidget;
class QPlainTextEdit;
class QSpinBox;
class QTextBrowser;
class TSkinAssignments;

class TSkinDialog2 : public QDialog {
    Q_OBJECT
public:
    TSkinDialog2(TSkinAssignments &skins, QWidget *parent = nullptr);

    // Reads the section's settings and selects the skin it uses.
    void SetSection(const QString &section);
    // The chosen skin's folder (no trailing "/"); empty when none is chosen.
    QString GetSkinPath() const;

    QListWidget *SkinList;
    QButtonGroup *FormatGroup;
    QCheckBox *IDPopupCheck;
    QCheckBox *RenderImageCheck;
    QCheckBox *NewOnlyCheck;
    QSpinBox *ImageSizeEdit;
    QTextBrowser *Preview;
    QPlainTextEdit *HtmlSource;   // the page "HTMLソース": the HTML text of the preview
    QString PreviewHtml;   // the page last rendered into the preview

    void OKButtonClick();

private:
    TSkinAssignments &skins;
    QString section;
    TSkinSettings settings;

    QString SelectedName() const;
    void SkinListClick();
    void FormatClick(int format);
    void SetFormat(int format);
    void ShowSettings();
    void RenderPreview();
    void OpenFolder();
};
