#pragma once
// TExportDialog ("ログ出力"): writes the logs of one or more threads into a folder, as HTML through
// the skin of the view "export_dialog" or as dat lines. The main window hands over either the
// thread of the current tab with the responses the tab shows, or the threads selected in the
// thread list (their stored logs are read). The format, file naming, extensions, separator and
// folder are kept in kpw.ini (EXPORT_*), the skin in skin.ini.
//
// The writing itself is TThreadExporter's; a progress bar and "[n/count] title" show how far the
// export is.

#include "services/ThreadExporter.h"

#include <QDialog>
#include <QList>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class TResList;
class TThreadItem;

class TExportDialog : public QDialog {
    Q_OBJECT
public:
    explicit TExportDialog(QWidget *parent = nullptr);
    ~TExportDialog() override;

    // The threads to write (the dialog holds a reference to each); list: the responses of the one
    // thread shown in a tab (not owned), or nullptr.
    void SetThreads(const QList<TThreadItem *> &items, TResList *list = nullptr);
    // The rendering trio of the thread flow.
    std::function<void(IResultView *view, TResList *list)> Render;

    // The extension field follows the chosen format.
    void FormatChange();
    // "･･" beside the skin: the skin of the view "export_dialog" is chosen (TSkinDialog2).
    void SkinButtonClick();
    // "出力先" browse button.
    void FolderButtonClick();
    // "&OK": the export; the dialog closes when it ran.
    void OKButtonClick();

    QRadioButton *HtmlRadio = nullptr;    // "HTML形式"
    QRadioButton *DatRadio = nullptr;     // "DAT形式"
    QLineEdit *SeparatorEdit = nullptr;
    QLineEdit *SkinEdit = nullptr;        // "使用するスキン(&S) :"
    QPushButton *SkinButton = nullptr;    // "･･"
    QComboBox *FileNameCombo = nullptr;   // "出力ファイル名"
    QLineEdit *ExtEdit = nullptr;         // "出力拡張子"
    QLineEdit *FolderEdit = nullptr;      // "出力先"
    QPushButton *FolderButton = nullptr;
    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;
    QProgressBar *ProgressBar = nullptr;
    QLabel *StatusLabel = nullptr;

signals:
    // Each thread as its turn comes: its ordinal (from 1) and the status text shown.
    void Progress(int position, const QString &text);

private:
    QList<TThreadItem *> items;
    TResList *list = nullptr;

    void StoreSettings();
    void ExportAll(const TThreadExporter &exporter);
};
