#pragma once
// TKeyBindDialog ("キーバインド設定"): a shortcut key for every action of the main window and of
// the reply composer. "適用" binds the key in the box to the selected row; when another action
// has the same key, both rows are marked in the key column with a beep (both keep it). "OK" writes every row into the configuration held in memory.

#include "settings/KeyBindings.h"

#include <QDialog>

class QKeySequenceEdit;
class QTreeWidget;
class TSendDialog;

class TKeyBindDialog : public QDialog {
    Q_OBJECT
public:
    explicit TKeyBindDialog(const QList<QAction *> &windowActions, QWidget *parent = nullptr);
    ~TKeyBindDialog() override;

    QTreeWidget *ListView1;        // "操作", "キー"
    QKeySequenceEdit *HotKey1;     // "割り当てるショートカットキー :"
    TKeyBindings Bindings;

    void ListView1Change();
    void BitBtn3Click();   // 適用
    void BitBtn1Click();   // OK
    // Whether the row carries the conflict mark.
    bool ConflictMarked(int index) const;

private:
    TSendDialog *composer;
    // The mark goes to the row and to every other row with its key, and off every other row.
    void MarkConflicts(int index);   // hidden, only for its actions
};
