#pragma once
// TFavoriteAddCommands: adding the current thread (actThreadAddFav, Ctrl+D) or the selected threads of
// the thread list (actThreadListAddFav) to a favourites folder through the favourite dialog; a thread
// that is a favourite already is taken out of the favourites instead. A web-page tab is added as a
// page.

#include <QList>
#include <QObject>

class TThreadItem;
class TBoardServices;
class TThreadListServices;
class TBoardTreeServices;
class TReadingServices;
class TTabServices;
class TWindowFrameServices;

class TFavoriteAddCommands : public QObject {
    Q_OBJECT
public:
    TFavoriteAddCommands(TWindowFrameServices &frame, TTabServices &tabs, TReadingServices &reading,
                         TBoardServices &boards, TThreadListServices &threadList, TBoardTreeServices &boardTree,
                         QObject *parent);

    void actThreadAddFavExecute();
    void actThreadListAddFavExecute();

private:
    TWindowFrameServices &frame;
    TTabServices &tabs;
    TReadingServices &reading;
    TBoardServices &boards;
    TThreadListServices &threadList;
    TBoardTreeServices &boardTree;

    void AddOrRemove(const QList<TThreadItem *> &items);
    void AddPage(const QString &title, const QString &url);
    void FavoritesChanged(bool boardsChanged);
    void ReloadOpenFolders();
};
