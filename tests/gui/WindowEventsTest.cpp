// The window's events reach the units that subscribe to them: the real window emits them.

#include "DialogAnswers.h"

#include "controls/WindowEvents.h"
#include "controls/WindowServices.h"
#include "settings/OptionDialog.h"

#include <gtest/gtest.h>

#include <QObject>

TEST(WindowEventsTest, OptionDialogOkTellsTheSubscribersAndCancelDoesNot)
{
    TWindowEnv env;
    env.Start();
    int applied = 0;
    QObject subscriber;
    QObject::connect(&env.Window->Services().Events(), &TWindowEvents::OptionsApplied, &subscriber,
                     [&applied] { ++applied; });
    {
        TDialogAnswers cancel(env, nullptr);
        EXPECT_FALSE(env.Window->ShowOptions(0));
        EXPECT_EQ(cancel.Shown, QStringList({QStringLiteral("TOptionDialog")}));
    }
    EXPECT_EQ(applied, 0);

    TDialogAnswers ok(env, [](QDialog &dialog) { dynamic_cast<TOptionDialog &>(dialog).BitBtn1Click(); });
    EXPECT_TRUE(env.Window->ShowOptions(0));
    EXPECT_EQ(applied, 1);
}
