#pragma once
// TInfoDialog ("お知らせ"): the threads and posts that notice rules hit. A modeless, always-on-top
// window the main window makes on the first hit and keeps; a double click takes the user to the
// hit: a thread row selects the thread in the thread list, a post row shows the post in the
// current thread tab (or alone in the preview when the tab does not show it), and opens the
// thread at that post when no tab of that thread is current.
//
// Every row holds a reference to its thread, so a row never outlives what it points to; a post
// row finds its post again by number.

#include <QDialog>

class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class TRes;
class TResList;
class TThreadItem;
class TThreadListServices;
class TReadingServices;
class TSearchViewServices;
class TTabServices;

class TInfoDialog : public QDialog {
    Q_OBJECT
public:
    explicit TInfoDialog(TTabServices &tabs, TReadingServices &reading, TSearchViewServices &searchViews,
                         TThreadListServices &threadList,
                         QWidget *parent = nullptr);
    ~TInfoDialog() override;

    void AddThreadNotice(const QString &text, int imageIndex, TThreadItem *item);
    void AddResNotice(const QString &text, int imageIndex, TThreadItem *item, const TRes &res);
    void Clear();

    // Where a post of a notice stands in a response list.
    enum TResPlace { rpNotFound, rpShown, rpErased, rpNGWord, rpNotShown };
    static TResPlace Locate(const TResList *list, int number, const TRes **found);

    void ThreadRowDoubleClick(QTreeWidgetItem *row);
    void ResRowDoubleClick(QTreeWidgetItem *row);

    QTabWidget *PageControl1 = nullptr;
    QTreeWidget *qorExtListView1 = nullptr;   // threads
    QTreeWidget *qorExtListView2 = nullptr;   // posts
    QPushButton *Button2 = nullptr;           // "閉じる(&C)"

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    TTabServices &tabs;
    TReadingServices &reading;
    TSearchViewServices &searchViews;
    TThreadListServices &threadList;

    static TThreadItem *ItemOf(const QTreeWidgetItem *row);
    void ClearRows(QTreeWidget *list);
};
