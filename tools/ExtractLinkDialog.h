#pragma once
// TExtractLinkDialog ("リンク抽出"): lists the links of the queued threads or posts, ticks them by
// file type, by URL text or by hand, and hands the ticked URLs to the clipboard or a downloader
// (TLinkExtraction does the work). Clicking a row (or Enter) shows the post that holds the link,
// with the posts that answer it, in the preview browser below the list, drawn with the skin of
// the view "linkextract_dialog". The window stays on top while active, rolls up to its caption while another
// window is active, keeps its bounds in kpw.ini (EXTRACTLINK_*) and frees itself when closed.

#include "services/LinkExtraction.h"

#include <QDialog>
#include <functional>
#include <memory>

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
class TRollUp;
class TTavuBrowser;
struct TWindowBounds;

class TExtractLinkDialog : public QDialog {
    Q_OBJECT
public:
    explicit TExtractLinkDialog(QWidget *parent = nullptr);
    ~TExtractLinkDialog() override;

    void AddThread(TThreadItem *item) { extraction.AddThread(item); }
    void AddResList(TThreadItem *item, const QList<TRes *> &posts) { extraction.AddResList(item, posts); }
    void ExtractLinks() { extraction.ExtractLinks(); }
    void Prepare() { FillList(); }

    // Opens a URL in the main window (a thread, a board or a web page), set by the window's command.
    std::function<void(const QString &url)> OpenInWindow;

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
    QWidget *BrowserPanel;
    TTavuBrowser *Preview = nullptr;   // made on the first preview

    void FillList();
    void Button1Click();
    QStringList TickedUrls() const;
    // The link's post and the posts that refer to it by an anchor, in the preview.
    void ShowPreview(QTreeWidgetItem *row);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TWindowBounds Bounds() const;
    void CreatePreview();
    void Tick(const QList<int> &links, bool on);
    void TickAll(bool on);
    void CopySelectedUrls();
    void ShowLinkPage();

    TLinkExtraction extraction;
    QList<TLinkType> types;
    QList<TDownloadTarget> targets;
    QString profileDir;
    std::unique_ptr<TRollUp> rollUp;
};
