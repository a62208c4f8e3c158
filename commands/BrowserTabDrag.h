#pragma once
// TBrowserTabDrag: a thread tab's button dragged from the browser tab bar onto a favourites folder
// of the board tree: the tab's thread, unless it is a favourite already, joins the end of the
// folder (marked a favourite, its .inf saved). A web page, or a drop on anything but a favourites
// folder, adds nothing (a drop on a category beeps).

#include "controls/DragDrop.h"

#include <QObject>
#include <QPointer>

class QAbstractButton;
class QDropEvent;
class QWidget;
class TTavuBrowser;
class TBoardServices;
class TBoardTreeServices;
class TLayoutServices;
class TTabServices;

class TBrowserTabDrag : public QObject {
    Q_OBJECT
public:
    TBrowserTabDrag(TTabServices &tabs, TBoardServices &boards, TBoardTreeServices &boardTree, TLayoutServices &layout,
                    QObject *parent = nullptr);

    static const QString &MimeType();
    // The tab whose button is being dragged.
    QPointer<TTavuBrowser> DraggedTab;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TTabServices &tabs;
    TBoardServices &boards;
    TBoardTreeServices &boardTree;
    TLayoutServices &layout;
    QPointer<QWidget> dropTarget;   // the board tree's viewport
    DragDrop::TDragStart dragStart;

    bool ButtonEvent(QAbstractButton *button, QEvent *event);
    void StartDrag(QAbstractButton *button);
    bool TreeEvent(QEvent *event);
    bool Drop(QDropEvent *event);
};
