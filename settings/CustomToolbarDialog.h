#pragma once
// TCustomToolbarDialog ("ツールバーのカスタマイズ"): the buttons of the window's five action
// toolbars, written to toolbar.ini (sections named like the toolbars, COUNT and BUTTON1..).

#include "settings/CustomActionListDialog.h"

class TCustomToolbarDialog : public TCustomActionListDialog {
    Q_OBJECT
public:
    TCustomToolbarDialog(const QList<QAction *> &actions, const QString &fileName, QWidget *parent = nullptr);

    // The toolbars, in the order they are offered and reloaded.
    static QStringList ToolBarNames();
};
