#include "settings/ShortcutEditing.h"

#include <algorithm>

void TShortcutEditing::Load(const QString &fileName)
{
    Tabs = ShortcutData::LoadShortcutBarModel(fileName);
}

void TShortcutEditing::SaveTo(const QString &fileName)
{
    ShortcutData::SaveShortcutBarModel(Tabs, fileName);
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

void TShortcutEditing::SetTabColor(int tab, TColor color)
{
    Tabs[tab]->Color = color;
    Modified = true;
}

bool TShortcutEditing::SetTabImage(int tab, const QString &fileName)
{
    TTabData before;
    before.Assign(*Tabs[tab]);
    if (!Tabs[tab]->SetBitmapFile(TTabData::RelativeImagePath(fileName))) {
        Tabs[tab]->Assign(before);
        return false;
    }
    Modified = true;
    return true;
}

std::vector<std::unique_ptr<TShortcutData>> TShortcutEditing::TakeItems(int tab, const QList<int> &rows)
{
    std::vector<std::unique_ptr<TShortcutData>> taken;
    for (auto row = rows.crbegin(); row != rows.crend(); ++row)
        taken.insert(taken.begin(), Tabs[tab]->Take(*row));
    return taken;
}

void TShortcutEditing::MoveItemsToTab(int from, const QList<int> &rows, int to)
{
    if (from == to || rows.isEmpty())
        return;
    for (auto &item : TakeItems(from, rows))
        Tabs[to]->Insert(Tabs[to]->GetCount(), std::move(item));
    Modified = true;
}

int TShortcutEditing::MoveTab(int from, int to)
{
    const int place = to < 0 || to >= int(Tabs.size()) ? int(Tabs.size()) - 1 : to;
    if (place == from)
        return from;
    auto tab = std::move(Tabs[size_t(from)]);
    Tabs.erase(Tabs.begin() + from);
    Tabs.insert(Tabs.begin() + place, std::move(tab));
    Modified = true;
    return place;
}

int TShortcutEditing::MoveItems(int tab, const QList<int> &rows, int to)
{
    if (rows.isEmpty())
        return -1;
    const int count = Tabs[tab]->GetCount();
    // The rows above the drop row leave it, so it moves up by their number.
    int place = to < 0 || to >= count ? count : to;
    place -= int(std::count_if(rows.begin(), rows.end(), [place](int row) { return row < place; }));
    int at = place;
    for (auto &item : TakeItems(tab, rows))
        Tabs[tab]->Insert(at++, std::move(item));
    Modified = true;
    return place;
}
