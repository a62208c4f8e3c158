#include "settings/CustomToolbarDialog.h"

#include "controls/BarsAndMenus.h"
#include "core/IniFile.h"

namespace {

TActionListEditor ToolBarLists(const QList<QAction *> &actions, const QString &fileName)
{
    TActionListEditor editor(actions, {QStringLiteral("選択レス"), QStringLiteral("しおり"), QStringLiteral("ブラウザ選択")},
                             QStringLiteral("BUTTON"));
    const TIniFile ini(fileName);
    const QStringList captions{QStringLiteral("メインツールバー"), QStringLiteral("スレッド一覧ツールバー"),
                               QStringLiteral("ブラウザツールバー"), QStringLiteral("アプリケーションツールバー"),
                               QStringLiteral("既出ツールバー")};
    const QStringList names = TCustomToolbarDialog::ToolBarNames();
    for (int i = 0; i < names.size(); ++i)
        editor.AddList(ini, names[i], captions[i], BarsAndMenus::DesignedToolBar(names[i]));
    return editor;
}

}  // namespace

TCustomToolbarDialog::TCustomToolbarDialog(const QList<QAction *> &actions, const QString &fileName, QWidget *parent)
    : TCustomActionListDialog(ToolBarLists(actions, fileName), fileName, QStringLiteral("ツールバーのカスタマイズ"),
                              QStringLiteral("ツールバー"), QStringLiteral("ツールボタン"), parent)
{
}

QStringList TCustomToolbarDialog::ToolBarNames()
{
    return {QStringLiteral("MainActToolBar"), QStringLiteral("ThreadListActToolBar"), QStringLiteral("BrowserActToolBar"),
            QStringLiteral("AppActToolBar"), QStringLiteral("GaishutuToolBar")};
}
