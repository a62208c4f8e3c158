#pragma once
// TExtractLinkDialog ("リンク抽出"): lists the links of the queued threads or posts, ticks them by
// file type, by URL text or by hand, and hands the ticked URLs to the clipboard or a downloader
// (TLinkExtraction does the work). Activating a ".jpg" row opens the Exif view of that picture.
// The window frees itself when closed.

#include "tools/LinkExtraction.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;
class TExifViewForm;

class TExtractLinkDialog : public QDialog {
    Q_OBJECT
public:
    explicit TExtractLinkDialog(QWidget *parent = nullptr);

    void AddThread(TThreadItem *item) { extraction.AddThread(item); }
    void AddResList(TThreadItem *item, const QList<TRes *> &posts) { extraction.AddResList(item, posts); }
    void ExtractLinks() { extraction.ExtractLinks(); }
    void Prepare() { FillList(); }

    QTabWidget *PageControl1;
    QComboBox *ComboBox1;
    QLineEdit *Edit1;
    QCheckBox *CheckBox1;
    QCheckBox *CheckBox2;
    QCheckBox *CheckBox3;
    QRadioButton *InsideButton;
    QRadioButton *OutsideButton;
    QPushButton *Button3;
    QPushButton *Button5;
    QPushButton *Button4;
    QTreeWidget *ListView1;
    QComboBox *ComboBox2;
    QPushButton *Button1;
    QPushButton *Button2;
    QTextBrowser *WebBrowser2;
    QLabel *StatusBar1;

    void FillList();
    void Button1Click();
    QStringList TickedUrls() const;
    TExifViewForm *ShowExif(QTreeWidgetItem *row);

private:
    void Tick(const QList<int> &links, bool on);
    void TickAll(bool on);
    void CopySelectedUrls();
    void ShowLinkPage();

    TLinkExtraction extraction;
    QList<TLinkType> types;
    QList<TDownloadTarget> targets;
    QString profileDir;
};
