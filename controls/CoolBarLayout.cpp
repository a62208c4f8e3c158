#include "controls/CoolBarLayout.h"

#include "controls/ActionCatalogue.h"
#include "controls/BarsAndMenus.h"
#include "controls/TavuSplitter.h"
#include "core/IniFile.h"
#include "core/TavuConfig.h"

#include <QAction>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QSplitter>
#include <algorithm>
#include <utility>

namespace {

const QString Desktop = QStringLiteral("DESKTOP");
const QString CoolBarSection = QStringLiteral("COOLBAR1");

// The stored place, moved back onto the screen when it lies beyond its right edge.
QRect StoredBounds(const TIniFile &ini)
{
    const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                                          : QRect(0, 0, 1024, 768);
    QRect bounds(ini.ReadInteger(Desktop, QStringLiteral("LEFT"), 40), ini.ReadInteger(Desktop, QStringLiteral("TOP"), 40),
                 ini.ReadInteger(Desktop, QStringLiteral("WIDTH"), 1000), ini.ReadInteger(Desktop, QStringLiteral("HEIGHT"), 720));
    if (bounds.left() > screen.width() - 50) {
        if (bounds.width() > screen.width())
            bounds.setWidth(screen.width() - 100);
        bounds.moveLeft((screen.width() - bounds.width()) / 2);
    }
    return bounds;
}

}  // namespace

namespace CoolBarLayout {

void LoadCoolBarLayout(const TCoolBarLayoutParts &parts, const TIniFile &ini)
{
    const QRect bounds = StoredBounds(ini);
    parts.Window->setGeometry(bounds);
    if (ini.ReadInteger(Desktop, QStringLiteral("WINDOWSTATE"), 0) == 2)
        parts.Window->setWindowState(parts.Window->windowState() | Qt::WindowMaximized);

    // A board pane stored collapsed starts collapsed and opens to the designed width.
    const int boardWidth = ini.ReadInteger(Desktop, QStringLiteral("BOARDLISTWIDTH"), 200);
    const bool boardCollapsed = boardWidth <= parts.BoardSplitter->MinSize;
    const int openWidth = boardCollapsed ? 200 : boardWidth;
    parts.BoardSplitter->setSizes({openWidth, std::max(bounds.width() - openWidth, 100)});
    if (boardCollapsed) {
        parts.BoardSplitter->Close();
        parts.BoardSplitter->SetRememberedSize(openWidth);
    }
    const int listHeight = ini.ReadInteger(Desktop, QStringLiteral("THREADLISTHEIGHT"), 220);
    parts.ThreadListSplitter->setSizes({listHeight, std::max(bounds.height() - listHeight, 100)});
    const int logHeight = ini.ReadInteger(Desktop, QStringLiteral("MESSAGEHEIGHT"), 100);
    parts.MessageSplitter->setSizes({std::max(bounds.height() - logHeight, 100), logHeight});

    LoadCoolBarBandOrder(parts.Window, parts.Bands, ini);
}

void SaveCoolBarLayout(const TCoolBarLayoutParts &parts, const TActionList &actions, TIniFile &ini)
{
    const QMainWindow *window = parts.Window;
    const QRect bounds = window->normalGeometry().isValid() ? window->normalGeometry() : window->geometry();
    ini.WriteInteger(Desktop, QStringLiteral("WINDOWSTATE"), window->isMaximized() ? 2 : 0);
    ini.WriteInteger(Desktop, QStringLiteral("LEFT"), bounds.left());
    ini.WriteInteger(Desktop, QStringLiteral("TOP"), bounds.top());
    ini.WriteInteger(Desktop, QStringLiteral("WIDTH"), bounds.width());
    ini.WriteInteger(Desktop, QStringLiteral("HEIGHT"), bounds.height());
    ini.WriteInteger(Desktop, QStringLiteral("BOARDLISTWIDTH"), parts.BoardSplitter->PaneSize());
    ini.WriteInteger(Desktop, QStringLiteral("THREADLISTHEIGHT"), parts.ThreadListSplitter->sizes().value(0));
    ini.WriteInteger(Desktop, QStringLiteral("MESSAGEHEIGHT"), parts.MessageSplitter->sizes().value(1));
    // The panes shown, as their commands are checked (a command not there yet says nothing).
    const std::pair<const char *, bool *> panes[] = {
        {"actShowExtThreadList", &TavuConfig->DESKTOP_EXTTHREADLIST},
        {"actShowThreadList2", &TavuConfig->DESKTOP_SHOWTHREADLIST},
        {"actShowBrowser", &TavuConfig->DESKTOP_SHOWBROWSER},
    };
    for (const auto &[name, shown] : panes) {
        const QAction *action = actions.Action(QString::fromLatin1(name));
        if (action && TActionList::HasHandler(action))
            *shown = action->isChecked();
    }
    BarsAndMenus::SaveCoolBarBands(parts.Window, parts.Bands, ini, CoolBarSection);
}

void LoadCoolBarBandOrder(QMainWindow *window, const QList<QToolBar *> &bands, const TIniFile &ini)
{
    BarsAndMenus::LoadCoolBarBands(window, bands, ini, CoolBarSection);
}

}  // namespace CoolBarLayout
