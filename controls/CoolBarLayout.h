#pragma once
// The main window's layout as kpw.ini keeps it: its place and state, the pane sizes (section
// DESKTOP), the panes shown (as their commands are checked) and the order of the tool-bar bands
// of the top band (section COOLBAR1).

#include <QList>

class QMainWindow;
class QSplitter;
class QToolBar;
class TActionList;
class TIniFile;
class TTavuSplitter;

// What the layout is read from and applied to.
struct TCoolBarLayoutParts {
    QMainWindow *Window = nullptr;
    TTavuSplitter *BoardSplitter = nullptr;   // board pane | body
    QSplitter *ThreadListSplitter = nullptr;  // thread-list pane above the browser pane
    QSplitter *MessageSplitter = nullptr;     // body above the log pane
    QList<QToolBar *> Bands;                  // the bands of the top band, in band order
};

namespace CoolBarLayout {

// The window's place and state (kept on the screen), the pane sizes (a board pane stored collapsed
// starts collapsed) and the band order.
void LoadCoolBarLayout(const TCoolBarLayoutParts &parts, const TIniFile &ini);
// The same written back; the panes shown are taken from the checked pane commands.
void SaveCoolBarLayout(const TCoolBarLayoutParts &parts, const TActionList &actions, TIniFile &ini);
// The band order alone (after the bars were filled anew).
void LoadCoolBarBandOrder(QMainWindow *window, const QList<QToolBar *> &bands, const TIniFile &ini);

}  // namespace CoolBarLayout
