#pragma once
// Shaping the program: actToolSkin (TSkinDialog, skin.ini; open thread tabs are rendered again in
// the new skin), actToolKeyBind (TKeyBindDialog, kpw.ini SHORTCUT; applied at once),
// actToolToolConfig (TToolDialog, tool.txt; the tools menu is built again) and the start of an
// external tool from that menu, actToolColEdit (TColumnDialog, column.txt; the thread list shows
// the new order at once), actToolCustomizeToolBar / actToolCustomizePopupMenu (toolbar.ini and
// popup.ini; the bars and menus are built again), actToolBasicAuthor (TBasicAuthorizationForm,
// config/_BasicAuthorization.ini), actToolClearLog (TCleanDialog, the history files) and
// actShortcutEdit (TShortcutEditor, shortcut.txt; both shortcut bars load it again).

#include <QObject>
#include <QStringList>

class TToolMenuItem;
class TBoardServices;
class TThreadListServices;
class TBarServices;
class TWindowFrameServices;

class TCustomiseCommands : public QObject {
    Q_OBJECT
public:
    explicit TCustomiseCommands(TWindowFrameServices &frame, TBoardServices &boards, TThreadListServices &threadList,
                                TBarServices &bars,
                                QObject *parent = nullptr);

    void actToolSkinExecute();
    void actToolKeyBindExecute();
    void actToolToolConfigExecute();
    void actToolColEditExecute();
    void actToolCustomizeToolBarExecute();
    void actToolCustomizePopupMenuExecute();
    void actToolBasicAuthorExecute();
    void actToolClearLogExecute();
    void actShortcutEditExecute();

private:
    TWindowFrameServices &frame;
    TBoardServices &boards;
    TThreadListServices &threadList;
    TBarServices &bars;
};
