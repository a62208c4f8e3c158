#pragma once
// TCommandStates: which commands of the board tree, the thread list and the browser are enabled,
// which are checked and how the ones that switch a mark are captioned. It decides them from what
// the window reports through the services: the site shown in the board tree and its current node,
// the current thread-list tab with the rows selected in it, and the current browser tab. A
// command without a handler stays disabled whatever is decided.
//
// The window asks for a refresh whenever what they depend on changes (a tab activated, a download
// begun or ended, a selection changed, a menu about to open).

#include <QHash>
#include <QList>
#include <QString>

class QAction;
class TTavuListDoc;
class TBoardServices;
class TThreadListServices;
class TBoardTreeServices;
class TTabServices;
class TWindowFrameServices;

class TCommandStates {
public:
    explicit TCommandStates(TWindowFrameServices &frame, TTabServices &tabs, TBoardServices &boards,
                            TThreadListServices &threadList,
                            TBoardTreeServices &boardTree);

    // The category "ボード一覧": the tree commands need a site, the board commands a board node.
    void UpdateBoardListMenu();
    // The categories "スレッド一覧" and "お気に入り" for the current thread-list tab (all off
    // without one), and the commands on its selected rows.
    void UpdateThreadListMenu();
    // The categories "スレッド" and "ブラウザ" for the current browser tab (the address commands
    // stay on without one).
    void UpdateBrowserMenu();

private:
    TWindowFrameServices &frame;
    TTabServices &tabs;
    TBoardServices &boards;
    TThreadListServices &threadList;
    TBoardTreeServices &boardTree;
    QHash<QAction *, bool> decided;   // enabled states an update has decided, applied at its end
    QHash<QString, QList<QAction *>> categories;   // the window's commands by category
    QList<QAction *> categorised;                  // the commands categories holds

    void UpdateThreadRowCommands(TTavuListDoc *doc);
    void SetState(const QString &name, bool enabled);
    void SetStates(std::initializer_list<const char *> names, bool enabled);
    void SetChecked(const QString &name, bool checked);
    void SetCaption(const QString &name, const QString &caption);
    void SetCategory(const QString &category, bool enabled);
    void ApplyDecided();
};
