#pragma once
// TReboneDialog ("復元"): lists the erased posts of one thread, or a set of erased threads, and
// brings back those the user ticks (EraseRestore clears their marks). Cancel changes nothing.

#include <QDialog>
#include <QList>

class QPushButton;
class QStackedWidget;
class QTreeWidget;
class TRes;
class TResList;
class THeaderFrame;
class TThreadItem;

class TReboneDialog : public QDialog {
    Q_OBJECT
public:
    explicit TReboneDialog(QWidget *parent = nullptr);
    ~TReboneDialog() override;   // releases the items it holds

    // Post mode: one row per post that is erased and not hidden by a rule.
    void SetResList(TThreadItem *item, TResList *list);
    // Thread mode: one more erased thread (a reference taken).
    void AddThread(TThreadItem *item);
    bool IsThreadMode() const { return threadMode; }

    void CheckAll(bool on);
    // OK: the ticked rows are restored; the dialog closes with OK (an .inf that cannot be written
    // is reported and the dialog stays).
    void Button6Click();

    THeaderFrame *Header = nullptr;
    QStackedWidget *Pages = nullptr;
    QTreeWidget *ListView1 = nullptr;   // posts
    QTreeWidget *ListView2 = nullptr;   // threads
    QPushButton *Button6 = nullptr;     // "&OK"
    QPushButton *Button7 = nullptr;     // "キャンセル(&C)"

private:
    bool threadMode = false;
    TThreadItem *item = nullptr;
    QList<TRes *> posts;
    QList<TThreadItem *> threads;

    QTreeWidget *NewList(const QStringList &columns);
    QList<int> TickedRows(QTreeWidget *list) const;
};
