#include "settings/KeyBindings.h"

#include "controls/ActionCatalogue.h"
#include "core/IniFile.h"
#include "core/ShortcutText.h"

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

QList<int> TKeyBindings::Conflicts(int index) const
{
    QList<int> others;
    const int key = rows[index].Key;
    for (int i = 0; key != 0 && i < rows.size(); ++i) {
        if (i != index && rows[i].Key == key)
            others.append(i);
    }
    return others;
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
