// The window as the units reach it: the real window emits its events to their subscribers, and
// its operations do what the units once did by reaching into its widgets.

#include "DialogAnswers.h"

#include "controls/WindowEvents.h"
#include "controls/WindowServices.h"
#include "settings/OptionDialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QObject>

TEST(WindowEventsTest, OptionDialogOkTellsTheSubscribersAndCancelDoesNot)
{
    TWindowEnv env;
    env.Start();
    int applied = 0;
    QObject subscriber;
    QObject::connect(&env.Window->Services().Frame().Events(), &TWindowEvents::OptionsApplied, &subscriber,
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

// The clipboard command reaches the address box only through this operation.
TEST(WindowServicesTest, TypeAddressFillsTheAddressBoxAndFocusesIt)
{
    TWindowEnv env;
    env.Start();
    env.Window->show();
    QApplication::setActiveWindow(env.Window);
    env.Window->Services().Views().TypeAddress(QStringLiteral("http://example.invalid/typed"));
    const auto *box = env.Window->findChild<QComboBox *>(QStringLiteral("UrlComboBox"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->currentText(), QStringLiteral("http://example.invalid/typed"));
    const QWidget *focus = QApplication::focusWidget();
    EXPECT_TRUE(focus == box || box->isAncestorOf(focus));
}
