#include "settings/ActionListEditor.h"

#include "controls/ActionCatalogue.h"
#include "controls/BarsAndMenus.h"
#include "core/IniFile.h"
#include "services/RowMoves.h"

#include <QAction>
#include <algorithm>

namespace {

const QString Separator = QStringLiteral("-");

QString CategoryOf(const QAction *action)
{
    return action->property("category").toString();
}

}  // namespace

TActionListEditor::TActionListEditor(const QList<QAction *> &actions, const QStringList &hiddenCategories,
                                     const QString &keyPrefix)
    : actions(actions), hiddenCategories(hiddenCategories), keyPrefix(keyPrefix)
{
}

void TActionListEditor::AddList(const TIniFile &ini, const QString &name, const QString &caption, const QStringList &designed)
{
    Lists << TTavuToolBarList{name, caption, BarsAndMenus::ReadActionEntries(ini, name, keyPrefix).value_or(designed)};
}

QStringList TActionListEditor::Categories() const
{
    QStringList categories;
    for (const QAction *action : actions) {
        const QString category = CategoryOf(action);
        if (!categories.contains(category) && !hiddenCategories.contains(category))
            categories << category;
    }
    return categories;
}

QList<QAction *> TActionListEditor::Available(int list, const QString &category) const
{
    QList<QAction *> available;
    for (QAction *action : actions) {
        if (CategoryOf(action) == category && !Lists[list].Entries.contains(action->objectName()))
            available << action;
    }
    return available;
}

QAction *TActionListEditor::ActionOf(const QString &entry) const
{
    for (QAction *action : actions) {
        if (action->objectName() == entry)
            return action;
    }
    return nullptr;
}

QString TActionListEditor::RowText(const QString &entry) const
{
    if (entry == Separator)
        return QStringLiteral("<区切り線>");
    const QAction *action = ActionOf(entry);
    return action ? QStringLiteral("[%1]%2").arg(CategoryOf(action), ActionCatalogue::StripAccessKey(action->text())) : entry;
}

void TActionListEditor::Add(int list, const QList<QAction *> &added)
{
    for (const QAction *action : added) {
        if (!Lists[list].Entries.contains(action->objectName()))
            Lists[list].Entries << action->objectName();
    }
}

void TActionListEditor::Delete(int list, const QList<int> &rows)
{
    QList<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end(), std::greater<int>());
    for (int row : sorted)
        Lists[list].Entries.removeAt(row);
}

void TActionListEditor::AddSeparator(int list)
{
    Lists[list].Entries << Separator;
}

QList<int> TActionListEditor::Move(int list, const QList<int> &rows, int delta)
{
    return RowMoves::Move(Lists[list].Entries, rows, delta);
}

void TActionListEditor::Save(TIniFile &ini) const
{
    for (const TTavuToolBarList &list : Lists) {
        ini.EraseSection(list.Name);
        ini.WriteInteger(list.Name, QStringLiteral("COUNT"), list.Entries.size());
        for (int i = 0; i < list.Entries.size(); ++i)
            ini.WriteString(list.Name, keyPrefix + QString::number(i + 1), list.Entries[i]);
    }
}
