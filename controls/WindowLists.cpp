#include "controls/WindowLists.h"

#include "controls/BarsAndMenus.h"
#include "controls/ExtListView.h"
#include "core/DataRoot.h"
#include "core/Exceptions.h"
#include "core/FileUtil.h"
#include "core/TavuConfig.h"
#include "services/EventLog.h"

#include <QFile>

namespace {

QString ProfileFile(const QString &name)
{
    return TavuConfig->GetProfileDir() + name;
}

QStringList ColumnKeys(const QStringList &columns)
{
    return QStringList(QStringLiteral("NO")) + columns;
}

}  // namespace

QString TWindowLists::ResRulesFile()
{
    return ProfileFile(QStringLiteral("ngres.txt"));
}

QString TWindowLists::ThreadRulesFile()
{
    return ProfileFile(QStringLiteral("ngthread.txt"));
}

QString TWindowLists::BookmarkFile()
{
    return ProfileFile(QStringLiteral("bookmark.txt"));
}

QStringList TWindowLists::Load()
{
    LoadList(RecentBoards, ProfileFile(QStringLiteral("recbrd.txt")));
    LoadList(RecentThreads, ProfileFile(QStringLiteral("recthrd.txt")));
    TTextList urlLog;
    QStringList urls;
    if (LoadList(urlLog, ProfileFile(QStringLiteral("urllog.txt"))))
        urls = urlLog.Lines;
    if (LoadList(BookmarkList, BookmarkFile()))
        FileUtil::MakeBackup(BookmarkFile(), ProfileFile(QStringLiteral("bookmark.bak")));
    return urls;
}

bool TWindowLists::LoadList(TTextList &list, const QString &fileName)
{
    const bool loaded = list.LoadFromFile(fileName);
    if (list.ReadFailed())
        EventLog::AddLog(QStringLiteral("ファイルを読めませんでした（ファイルは上書きせずそのまま残します）：%1").arg(fileName));
    return loaded;
}

void TWindowLists::LoadColumnList(TqorExtListView *view)
{
    const QString file = ProfileFile(QStringLiteral("column.txt"));
    if (!QFile::exists(file))
        DataRoot::CopyIfMissing(TTavuConfig::AppDir() + QStringLiteral("def/column.txt"), file);
    ThreadListColumns = BarsAndMenus::LoadColumnKeys(file);
    BarsAndMenus::LoadThreadListColumns(view, ThreadListColumns);
}

// -1 stored: none, the column keeps its width.
void TWindowLists::ApplyColumnWidths(TqorExtListView *view) const
{
    const QStringList keys = ColumnKeys(ThreadListColumns);
    for (int column = 0; column < keys.size(); ++column) {
        const int width = TavuConfig->GetColumnSize(keys[column]);
        if (width > -1)
            view->setColumnWidth(column, width);
    }
}

void TWindowLists::StoreColumnWidths(const TqorExtListView *view) const
{
    const QStringList keys = ColumnKeys(ThreadListColumns);
    for (int column = 0; column < keys.size(); ++column)
        TavuConfig->SetColumnSize(keys[column], view->columnWidth(column));
}

void TWindowLists::ReloadThreadListColumns(TqorExtListView *view)
{
    StoreColumnWidths(view);
    LoadColumnList(view);
    ApplyColumnWidths(view);
    view->viewport()->update();
}

void TWindowLists::SaveBookmarkList() const
{
    SaveList(BookmarkList, BookmarkFile());
}

void TWindowLists::Save() const
{
    SaveBookmarkList();
    SaveList(RecentBoards, ProfileFile(QStringLiteral("recbrd.txt")));
    SaveList(RecentThreads, ProfileFile(QStringLiteral("recthrd.txt")));
}

void TWindowLists::SaveList(const TTextList &list, const QString &fileName)
{
    try {
        list.SaveToFile(fileName);
    } catch (const EVarnelo &e) {
        EventLog::AddLog(e.Message);
    }
}
