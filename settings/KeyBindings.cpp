#include "settings/KeyBindings.h"

#include "core/IniFile.h"
#include "core/ShortcutText.h"
#include "mainwindow/ActionCatalogue.h"

#include <QAction>

void TKeyBindings::AddActions(const QString &form, const QList<QAction *> &actions)
{
    for (QAction *action : actions) {
        const QKeySequence key = action->shortcut();
        rows.append({form, action, key.isEmpty() ? 0 : key[0].toCombined()});
    }
}

QString TKeyBindings::Caption(int index) const
{
    const QAction *action = rows[index].Action;
    return QStringLiteral("(%1) %2").arg(action->property("category").toString(),
                                         ActionCatalogue::StripAccessKey(action->text()));
}

QString TKeyBindings::KeyText(int key)
{
    return key ? ShortcutText::QtKeyToText(key) : QString();
}

int TKeyBindings::BoundElsewhere(int index, int key) const
{
    if (key == 0)
        return -1;
    for (int i = 0; i < rows.size(); ++i) {
        if (i != index && rows[i].Key == key)
            return i;
    }
    return -1;
}

bool TKeyBindings::Assign(int index, int key)
{
    if (BoundElsewhere(index, key) >= 0)
        return false;
    rows[index].Key = key;
    return true;
}

QString TKeyBindings::SectionOf(const QString &form)
{
    return form.isEmpty() ? QStringLiteral("SHORTCUT") : QStringLiteral("SHORTCUT_") + form;
}

void TKeyBindings::Save(TIniFile &ini) const
{
    for (const TRow &row : rows)
        ini.WriteString(SectionOf(row.Form), row.Action->objectName(), KeyText(row.Key));
}
