#pragma once
// TCustomPopupMenuDialog ("ポップアップメニューのカスタマイズ"): the items of the window's five
// popup menus, written to popup.ini (sections named like the menus, COUNT and ITEM1..). The
// entries the window adds to a menu of its own ("設定オプション...", "カスタマイズ...") are not
// listed.

#include "settings/CustomActionListDialog.h"

class TCustomPopupMenuDialog : public TCustomActionListDialog {
    Q_OBJECT
public:
    TCustomPopupMenuDialog(const QList<QAction *> &actions, const QString &fileName, QWidget *parent = nullptr);

    static QStringList PopupMenuNames();
};
