#pragma once
// TDebugForm ("DebugForm"): the loaded thread items with their reference counts, following their
// changes live. A row whose item has been released to 0 keeps its last text and no item. The form
// unhooks the items it still watches when it goes, so no item calls into a closed form.

#include <QWidget>

class QTreeWidget;
class QTreeWidgetItem;
class TThreadItem;
class TThreadItemList;

class TDebugForm : public QWidget {
    Q_OBJECT
public:
    explicit TDebugForm(QWidget *parent = nullptr);
    ~TDebugForm() override;

    QTreeWidget *ListView1;

    void SetItemList(const TThreadItemList &items);
    TThreadItem *RowItem(int row) const;

private:
    void Hook(TThreadItem *item);
    void Unhook(TThreadItem *item);
    void RowUpdate(TThreadItem *item, int count);
    QTreeWidgetItem *NewRow(TThreadItem *item, int count, int at);
};
