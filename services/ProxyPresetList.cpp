#include "services/ProxyPresetList.h"

#include "core/TextList.h"

namespace {

constexpr int kFieldCount = 5;

}  // namespace

bool TProxyPresetList::LoadFromFile(const QString &path)
{
    TTextList file;
    const bool loaded = file.LoadFromFile(path);
    Lines = file.Lines;
    return loaded;
}

void TProxyPresetList::SaveToFile(const QString &path) const
{
    TTextList::RewriteFile(path, Lines);
}

QString TProxyPresetList::MakeLine(const TProxySet &set)
{
    return QStringList({set.Host, set.Port, set.UserName, set.Password, set.Memo}).join(QLatin1Char(','));
}

QStringList TProxyPresetList::SplitLine(const QString &line)
{
    QStringList fields = line.split(QLatin1Char(','));
    fields.resize(kFieldCount);   // cuts a comment at its first "," and fills missing fields
    return fields;
}

void TProxyPresetList::ApplyLine(const QString &line, TProxySet &set)
{
    const QStringList fields = SplitLine(line);
    set.Host = fields.at(0);
    set.Port = fields.at(1);
    set.UserName = fields.at(2);
    set.Password = fields.at(3);
    set.Memo = fields.at(4);
}

bool TProxyPresetList::AddLine(const QString &line)
{
    if (Lines.contains(line))
        return false;
    Lines.prepend(line);
    return true;
}
