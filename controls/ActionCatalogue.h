#pragma once
// The commands of the main window: one catalogue of every action (its name, category, caption,
// hint, picture, design-time shortcut and check state) and TActionList, which makes them as
// QActions.
//
// Tool bars (toolbar.ini), popup menus (popup.ini) and key bindings (kpw.ini SHORTCUT) store actions
// by name, so the names are part of those files and never change.
//
// An action starts disabled and stays so until a handler is bound to it (TActionList::Bind): the
// commands of areas that are not there yet, and the few that never had a handler, are listed,
// shown and stored like the others but do nothing. Whoever sets Enabled later keeps an action
// without a handler disabled (TActionList::HasHandler).
//
// Checkable actions toggle their check mark themselves when triggered, before the handler runs;
// a handler reads the new state with isChecked().

#include <QAction>
#include <QHash>
#include <QIcon>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>


// The pictures of the actions, in the order of the icon strip resource/icons/actions.png
// (16 x 16 pixels each). Some are also used by the thread-list header and the menus of visited
// boards.
enum TActionImage {
    imgBoardList, imgThreadList, imgBrowser, imgPaneChange, imgReload, imgStop, imgNewThread,
    imgCategory, imgWrite, imgLogin, imgInfo, imgUpdate, imgOnline, imgSave, imgBoard, imgFavorite,
    imgShortcut, imgDelete, imgCopy, imgProperty, imgOption, imgFind, imgCloseTab, imgNext, imgPrior,
    imgCheckUpdate, imgRound, imgErase, imgBold, imgColor, imgComment, imgLock, imgHistory, imgExit,
    imgAbout, imgFavoritesFolder, imgLocalFolder, imgReadPoint, imgPriority, imgExtThreadList,
    imgVertical, imgGaishutu, imgLink, imgExport, imgMemo, imgMessageLog, imgAdd, imgExpand,
    imgCollapse, imgKakolog, imgThumbnails, imgChotto, imgWizard, imgTool, imgKeyboard, imgPaste,
    imgRestore, imgNewTab, imgHide, imgGlobe, imgBookmark, imgFilter,
    imgCount,
    imgNone = -1
};

// The pictures of an image list, by index.
using TImageList = QList<QIcon>;

// One action of the catalogue.
struct TActionInfo {
    QString Name;
    QString Category;
    QString Caption;      // with "&" before the access key
    QString Hint;
    int ImageIndex = imgNone;
    QString ShortCut;     // design-time shortcut in the stored text form ("Ctrl+Left"); empty: none
    bool Checkable = false;
    bool Checked = false; // checked at design time
    bool HasHandler = true;   // false: kept only so that stored bars and menus naming it stay valid
};

namespace ActionCatalogue {

// Every action, in the order of the action list (grouped by category).
const QList<TActionInfo> &Entries();
// The entry of that exact name, or nullptr.
const TActionInfo *Find(const QString &name);
// The categories in the order of their first action.
QStringList Categories();

// The caption without its access key: "リロード(&R)" -> "リロード", "A&B" -> "AB", "&&" -> "&".
QString StripAccessKey(const QString &caption);

// The pictures of the icon strip; an empty list when the file cannot be read.
TImageList LoadImages(const QString &stripFile);
// The strip of the program folder: resource/icons/actions.png.
QString ImageStripFile();

}  // namespace ActionCatalogue

// The action list of the main window (ActionList1): one QAction per catalogue entry, objectName =
// action name, children of this object. Each action carries the dynamic properties "category"
// (text) and "imageIndex" (int).
class TActionList : public QObject {
    Q_OBJECT
public:
    // images: the pictures by image index (may be empty: the actions then have no icons).
    explicit TActionList(QObject *parent = nullptr, const TImageList &images = TImageList());

    const QList<QAction *> &Actions() const { return actions; }
    // The action of that exact name, or nullptr.
    QAction *Action(const QString &name) const;

    // Connects the action's trigger to the handler, marks it as handled and enables it.
    // False (and nothing connected) when there is no such action or it never has a handler.
    template <typename Receiver, typename Handler>
    bool Bind(const QString &name, Receiver *receiver, Handler handler)
    {
        QAction *action = PrepareBinding(name);
        if (!action)
            return false;
        connect(action, &QAction::triggered, receiver, handler);
        return true;
    }

    static QString CategoryOf(const QAction *action);
    static bool HasHandler(const QAction *action);

private:
    QList<QAction *> actions;
    QHash<QString, QAction *> byName;

    QAction *PrepareBinding(const QString &name);
};
