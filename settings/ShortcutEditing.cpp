#include "settings/ShortcutEditing.h"

#include <algorithm>

void TShortcutEditing::Load(const QString &fileName)
{
    Tabs = Kpwfunc::LoadShortcutBarModel(fileName);
}

void TShortcutEditing::SaveTo(const QString &fileName)
{
    Kpwfunc::SaveShortcutBarModel(Tabs, fileName);
    Saved = true;
}

QString TShortcutEditing::CheckTabName(const QString &name, int except) const
{
    if (name.isEmpty())
        return QStringLiteral("名前を入力してください。");
    for (int i = 0; i < int(Tabs.size()); ++i) {
        if (i != except && Tabs[i]->Name == name)
            return QStringLiteral("既にその名前のタブが存在します。");
    }
    return {};
}

int TShortcutEditing::NewTab(int after, const QString &name)
{
    auto tab = std::make_unique<TTabData>();
    tab->Name = name;
    tab->LoadBitmapFile(QStringLiteral("images/folder.bmp"));
    const int place = after < 0 ? int(Tabs.size()) : after + 1;
    Tabs.insert(Tabs.begin() + place, std::move(tab));
    Modified = true;
    return place;
}

void TShortcutEditing::RenameTab(int index, const QString &name)
{
    Tabs[index]->Name = name;
    Modified = true;
}

void TShortcutEditing::DeleteTab(int index)
{
    Tabs.erase(Tabs.begin() + index);
    Modified = true;
}

QString TShortcutEditing::RenameItem(int tab, int index, const QString &text)
{
    TShortcutData *item = Tabs[tab]->GetItem(index);
    if (item->IsSeparator())
        return QStringLiteral("セパレータの名前は変更できません。");
    item->Text = text;
    Modified = true;
    return {};
}

void TShortcutEditing::DeleteItems(int tab, const QList<int> &rows)
{
    QList<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end(), std::greater<int>());
    for (int row : sorted)
        Tabs[tab]->Delete(row);
    Modified = true;
}

void TShortcutEditing::AddSeparator(int tab, int row)
{
    TShortcutData *item = Tabs[tab]->Insert(std::max(row, 0));
    item->Kind = skSeparator;
    item->Text = QStringLiteral("-");
    Modified = true;
}
