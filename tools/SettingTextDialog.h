#pragma once
// TSettingTextDialog: shows a board's SETTING.TXT as a key/value list, as plain text and, when the
// file names one, the board's title picture.

#include "services/SettingText.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QTableWidget;

class TSettingTextDialog : public QDialog {
    Q_OBJECT
public:
    explicit TSettingTextDialog(QWidget *parent = nullptr);

    // Fetches and shows the SETTING.TXT of the board at that URL; a failure is logged and leaves
    // the window empty. False on failure.
    bool LoadSettingTxt(const QString &boardUrl);
    const TSettingText &Settings() const { return settings; }

    QTableWidget *ValueListEditor1;
    QPlainTextEdit *Memo1;
    QLabel *EmbeddedWB1;   // the title picture

private:
    TSettingText settings;

    void Show();
    void ShowTitlePicture(const QString &url);
};
