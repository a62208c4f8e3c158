#pragma once
// TSkinDialog2 ("スキンの設定"): chooses the skin of one section of skin.ini (a view such as
// "export_dialog", a site or a board) with its options, and shows a sample thread rendered
// through it. The skins are the folders of the profile's skin/ folder (not "module"); a click on
// one detects its template format. OK writes the section's seven keys and skin.ini.

#include "render/SkinSettings.h"

#include <QDialog>
#include <memory>

class QButtonGroup;
class QCheckBox;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class TResList;
class TTavuBrowser;
class TThreadItem;

class TSkinDialog2 : public QDialog {
    Q_OBJECT
public:
    explicit TSkinDialog2(QWidget *parent = nullptr);
    ~TSkinDialog2() override;

    // The skin folders of the profile, in file-system order.
    static QStringList SkinNames(const QString &profileDir);

    // Reads the section into the controls and selects its skin.
    void SetSection(const QString &section);
    // The chosen skin's folder (profile folder + "skin/" + name, no trailing "/"); empty: none.
    QString GetSkinPath() const;
    // The settings as the controls show them.
    TSkinSettings Settings() const;

    // A skin was clicked: its format is detected and the preview drawn.
    void SkinListClick();
    void RenderPreview();
    // "&OK": writes the section (nothing without a chosen skin) and closes.
    void OKButtonClick();

    QListWidget *SkinList = nullptr;
    QButtonGroup *FormatGroup = nullptr;   // "ヴァルネロ２" 0, "ヴァルネロ1.0" 1, "かちゅ～しゃ" 2
    QCheckBox *IDPopupCheck = nullptr;
    QCheckBox *RenderImageCheck = nullptr;
    QCheckBox *NewOnlyCheck = nullptr;
    QSpinBox *ImageSizeEdit = nullptr;
    QTabWidget *Pages = nullptr;
    TTavuBrowser *Browser = nullptr;       // "プレビュー"
    QPlainTextEdit *SourceView = nullptr;  // "HTMLソース"
    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;

private:
    QString section;
    QString profileDir;
    TThreadItem *sample = nullptr;

    void FillSample();
};
