#include "settings/CustomPopupMenuDialog.h"

#include "controls/BarsAndMenus.h"
#include "core/IniFile.h"

namespace {

TActionListEditor PopupMenuLists(const QList<QAction *> &actions, const QString &fileName)
{
    TActionListEditor editor(actions, {QStringLiteral("しおり")}, QStringLiteral("ITEM"));
    const TIniFile ini(fileName);
    const QStringList captions{QStringLiteral("ボード一覧ポップアップメニュー"), QStringLiteral("スレッド一覧ポップアップメニュー"),
                               QStringLiteral("スレッド一覧(スレッド選択)ポップアップメニュー"),
                               QStringLiteral("ブラウザポップアップメニュー"),
                               QStringLiteral("ブラウザ(レス選択)ポップアップメニュー")};
    const QStringList names = TCustomPopupMenuDialog::PopupMenuNames();
    for (int i = 0; i < names.size(); ++i)
        editor.AddList(ini, names[i], captions[i], BarsAndMenus::DesignedPopupMenu(names[i]));
    return editor;
}

}  // namespace

TCustomPopupMenuDialog::TCustomPopupMenuDialog(const QList<QAction *> &actions, const QString &fileName, QWidget *parent)
    : TCustomActionListDialog(PopupMenuLists(actions, fileName), fileName, QStringLiteral("ポップアップメニューのカスタマイズ"),
                              QStringLiteral("ポップアップメニュー"), QStringLiteral("メニュー項目"), parent)
{
}

QStringList TCustomPopupMenuDialog::PopupMenuNames()
{
    return {QStringLiteral("BoardListPopup"), QStringLiteral("ThreadListPopup"), QStringLiteral("ThreadItemPopup"),
            QStringLiteral("BrowserPopup"), QStringLiteral("ResPopup")};
}
