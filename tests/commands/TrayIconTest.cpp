// The tray unit on its own: it is given the frame of a window and no main window stands behind it.

#include "commands/TrayIcon.h"
#include "controls/WindowEvents.h"
#include "controls/WindowServices.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QHash>
#include <QSystemTrayIcon>
#include <QWidget>

namespace {

// The frame of a window and nothing else: a plain widget, the actions given by name, the events.
class TFrameOnly : public TWindowFrameServices {
public:
    QWidget *Window() const override { return &window; }
    QAction *Action(const QString &name) const override { return Actions.value(name); }
    bool BindAction(const QString &name, QObject *receiver, const std::function<void()> &handler) override
    {
        QAction *action = Action(name);
        if (!action)
            return false;
        QObject::connect(action, &QAction::triggered, receiver, handler);
        action->setEnabled(true);
        return true;
    }
    void SetActionEnabled(const QString &name, bool enabled) override { Action(name)->setEnabled(enabled); }
    void Execute(const QString &name) override { Action(name)->trigger(); }
    QList<QAction *> WindowActions() const override { return Actions.values(); }
    QList<QIcon> ActionImages() const override { return {}; }
    void BeginBusy() override {}
    void EndBusy() override {}
    TWindowEvents &Events() const override { return events; }

    QHash<QString, QAction *> Actions;

private:
    mutable QWidget window;
    mutable TWindowEvents events;
};

}  // namespace

// The tray unit is given the frame of a window alone: no main window stands behind it.
TEST(TrayIcon, NeedsOnlyTheFrameOfAWindow)
{
    TFrameOnly frame;
    QAction hide;
    hide.setCheckable(true);
    hide.setEnabled(false);
    frame.Actions.insert(QStringLiteral("actHide"), &hide);
    frame.Window()->show();
    TTrayIcon tray(frame);
    tray.TrayAvailable = [] { return true; };
    EXPECT_TRUE(hide.isEnabled());   // bound through the frame

    hide.trigger();
    EXPECT_TRUE(tray.Icon()->isVisible());
    EXPECT_FALSE(frame.Window()->isVisible());
    EXPECT_TRUE(hide.isChecked());
    tray.Restore();
    EXPECT_FALSE(tray.Icon()->isVisible());
    EXPECT_TRUE(frame.Window()->isVisible());
    EXPECT_FALSE(hide.isChecked());
}
