#include "services/FavoriteFolders.h"

#include "core/Board.h"
#include "core/BoardList.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/Site.h"
#include "core/TextList.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"

#include <QFileInfo>

namespace FavoriteFolders {

namespace {

QString OneLineField(QString text)
{
    for (QChar &c : text)
        if (c == u'\t' || c == u'\r' || c == u'\n')
            c = u' ';
    return text;
}

// The folder's file as it stands; a missing or empty file starts with the folder's name.
TTextList LoadFolder(const TBoard *folder)
{
    TTextList file;
    file.LoadFromFile(FolderFile(folder));
    if (file.Count() == 0)
        file.Add(folder->Name);
    return file;
}

bool IsCategoryLine(const QString &line)
{
    return !line.isEmpty() && !line.startsWith(u'\t');
}

}  // namespace

QString FolderFile(const TBoard *folder)
{
    return folder->GetLogDir() + folder->ID + QStringLiteral(".txt");
}

QString ThreadLine(const TThreadItem *item)
{
    const QString siteId = item->Site ? item->Site->SITEID : QString();
    return QStringList{siteId, item->BoardID, item->GetKey(), OneLineField(item->TITLE), QStringLiteral("1")}
        .join(u'\t');
}

void AddThreads(const TBoard *folder, const QList<TThreadItem *> &items, bool atEnd)
{
    TTextList file = LoadFolder(folder);
    for (TThreadItem *item : items) {
        if (atEnd)
            file.Add(ThreadLine(item));
        else
            file.Lines.insert(1, ThreadLine(item));
    }
    file.SaveToFile(FolderFile(folder));
    for (TThreadItem *item : items) {
        item->FAVORITE = true;
        item->SaveInfo();
    }
}

void WriteFolder(const TBoard *folder, const TThreadItemList &items)
{
    const QString path = FolderFile(folder);
    TTextList file(QStringList{folder->Name});
    for (int i = 0; i < items.Count(); ++i)
        file.Add(ThreadLine(items.Get(i)));
    if (QFileInfo::exists(path))
        FileUtil::MakeBackup(path, path.left(path.size() - 4) + QStringLiteral(".bak"));
    file.SaveToFile(path);
}

QString BoardEntryLine(const TBoard *board)
{
    const QString remote = board->BBSName.isEmpty() || board->BBSName == board->ID
                               ? board->ID
                               : board->BBSName + u'>' + board->ID;
    return u'\t' + board->HostPath + u'\t' + remote + u'\t' + OneLineField(board->Name);
}

QString PageEntryLine(const QString &url, const QString &id, const QString &title)
{
    return u'\t' + OneLineField(url) + u'\t' + id + u'\t' + OneLineField(title) + QStringLiteral("\twww");
}

QString TakePageId(TSite *favorites)
{
    const QString section = QStringLiteral("WWW");
    const QString key = QStringLiteral("USED");
    TIniFile ini(favorites->PrepareOwnFile(QStringLiteral("site.ini")));
    const int number = ini.ReadInteger(section, key, 0) + 1;
    ini.WriteInteger(section, key, number);
    ini.UpdateFile();
    return QStringLiteral("www%1").arg(number, 5, 10, QLatin1Char('0'));
}

int EntryPosition(const QStringList &lines, const QString &category, bool atEnd)
{
    for (int i = 1; i < lines.size(); ++i) {
        if (!IsCategoryLine(lines[i]) || lines[i].section(u'\t', 0, 0) != category)
            continue;
        int position = i + 1;
        if (atEnd)
            for (int j = i + 1; j < lines.size() && !IsCategoryLine(lines[j]); ++j)
                if (!lines[j].isEmpty())
                    position = j + 1;
        return position;
    }
    return -1;
}

void AddEntry(TSite *favorites, const QString &category, const QString &line, bool atEnd)
{
    const QString path = favorites->GetDir() + QStringLiteral("board.dat");
    TTextList file;
    file.LoadFromFile(path);
    if (file.Count() == 0)
        file.Add(QStringLiteral("2"));
    const int position = EntryPosition(file.Lines, category, atEnd);
    if (position < 0) {
        file.Add(category);
        file.Add(line);
    } else {
        file.Lines.insert(position, line);
    }
    file.SaveToFile(path);
}

bool MoveBoard(TBoardList &boards, int from, int to)
{
    if (from < 0 || to < 0 || from >= boards.Count() || to >= boards.Count())
        return false;
    boards.Get(from)->Category = boards.Get(to)->Category;
    boards.Move(from, to);
    return true;
}

void MoveBoardToCategory(TBoardList &boards, int from, const QString &category)
{
    TBoard *board = boards.Get(from);
    int last = -1;
    for (int i = 0; i < boards.Count(); ++i)
        if (i != from && boards.Get(i)->Category == category)
            last = i;
    board->Category = category;
    const int to = last < 0 ? boards.Count() - 1 : (last < from ? last + 1 : last);
    boards.Move(from, to);
}

}  // namespace FavoriteFolders
