#include "commands/NoticeCommands.h"

#include "controls/WindowServices.h"
#include "tools/InfoDialog.h"

#include <QApplication>
#include <QScreen>
#include <algorithm>

TNoticeCommands::TNoticeCommands(TWindowFrameServices &frame, TTabServices &tabs, TReadingServices &reading,
                                 TSearchViewServices &searchViews, TThreadListServices &threadList, QObject *parent)
    : QObject(parent), frame(frame), tabs(tabs), reading(reading), searchViews(searchViews), threadList(threadList)
{
}

namespace {

// A modal dialog open at that moment (the rule editor whose new rule hit) would cover the window,
// and the window could not be raised while the dialog runs: it stands beside the dialog instead.
void PlaceBeside(QWidget *window, const QWidget *modal)
{
    const QRect taken = modal->frameGeometry();
    const QRect screen = modal->screen()->availableGeometry();
    QRect placed = window->frameGeometry();
    if (taken.right() + placed.width() <= screen.right())
        placed.moveLeft(taken.right() + 1);
    else if (taken.left() - placed.width() >= screen.left())
        placed.moveRight(taken.left() - 1);
    else
        placed.moveTop(std::min(taken.bottom() + 1, screen.bottom() - placed.height()));
    window->move(placed.topLeft());
}

}  // namespace

// The window, made on first use; one that was hidden starts empty.
TInfoDialog *TNoticeCommands::ShownDialog()
{
    if (!dialog)
        dialog = new TInfoDialog(tabs, reading, searchViews, threadList, frame.Window());
    if (!dialog->isVisible()) {
        dialog->Clear();
        dialog->show();
        if (const QWidget *modal = QApplication::activeModalWidget())
            PlaceBeside(dialog, modal);
    }
    return dialog;
}

void TNoticeCommands::AddResNotice(const QString &text, TThreadItem *item, const TRes &res)
{
    ShownDialog()->AddResNotice(text, 0, item, res);
}

void TNoticeCommands::AddThreadNotice(const QString &text, TThreadItem *item)
{
    ShownDialog()->AddThreadNotice(text, 0, item);
}

TInfoDialog *TNoticeCommands::Window() const
{
    return dialog;
}

void TNoticeCommands::Clear()
{
    if (dialog)
        dialog->Clear();
}
