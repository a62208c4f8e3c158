// Every action of the catalogue that has a handler is bound once the window has started, except
// those whose windows are still being built elsewhere. The list below is the one place that names
// them; each group goes as its windows land.

#include "WindowParts.h"
#include "WindowTestEnv.h"

#include <gtest/gtest.h>

#include <QSet>

namespace {

const QStringList PendingElsewhere = {};

}  // namespace

TEST(ActionHandlersTest, EveryActionHasItsHandlerButThoseStillBuiltElsewhere)
{
    TWindowEnv env([](TWindowEnv &e) { e.WriteProfile(QStringLiteral("bbs.txt"), "2ch\r\n"); });
    env.Start();
    const QSet<QString> pending(PendingElsewhere.begin(), PendingElsewhere.end());
    for (const QString &name : pending)
        EXPECT_NE(ActionCatalogue::Find(name), nullptr) << "not in the catalogue: " << name.toStdString();

    QStringList missing;
    QStringList boundMeanwhile;
    for (QAction *action : Part<TActionList>(env.Window, "ActionList1")->Actions()) {
        const TActionInfo *info = ActionCatalogue::Find(action->objectName());
        ASSERT_NE(info, nullptr);
        if (!info->HasHandler)
            EXPECT_FALSE(TActionList::HasHandler(action)) << action->objectName().toStdString();
        else if (!pending.contains(info->Name) && !TActionList::HasHandler(action))
            missing << info->Name;
        else if (pending.contains(info->Name) && TActionList::HasHandler(action))
            boundMeanwhile << info->Name;
    }
    EXPECT_TRUE(missing.isEmpty()) << "without a handler: " << missing.join(QLatin1Char(' ')).toStdString();
    // The list says exactly what is missing: an action that got its handler leaves it.
    EXPECT_TRUE(boundMeanwhile.isEmpty()) << "bound, still listed: " << boundMeanwhile.join(QLatin1Char(' ')).toStdString();
}
