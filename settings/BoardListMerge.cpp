#include "settings/BoardListMerge.h"

#include "controls/BoardTree.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/IniFile.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuEnviron.h"
#include "core/Tavutils.h"
#include "core/TextList.h"

namespace {

const QString Indent = QStringLiteral("　");

bool HeldByOtherSite(const TSite *site, const TBoard &board)
{
    const TSiteList *sites = TavuEnviron ? TavuEnviron->SiteList() : nullptr;
    for (int i = 0; sites && i < sites->Count(); ++i) {
        const TSite *other = sites->Get(i);
        if (other == site || other->Kind == TSite::KIND_FAVORITES)
            continue;
        const TBoard *held = other->Boards->FindByID(board.ID);
        if (held && held->HostPath.compare(board.HostPath, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

}  // namespace

TBoardListMerge::TBoardListMerge(TSite *site, TBoardList &fresh, const TOptions &options)
    : site(site), fresh(fresh), options(options)
{
}

QStringList TBoardListMerge::LoadAboneIds(const TSite *site)
{
    TTextList ids;
    const QString path = site->FindFile(QStringLiteral("board.abone"));
    if (!path.isEmpty())
        ids.LoadFromFile(path);
    return ids.Lines;
}

int TBoardListMerge::DropBoardsOfOtherSites(const TSite *site, TBoardList &fresh)
{
    int dropped = 0;
    for (int i = fresh.Count() - 1; i >= 0; --i) {
        const TBoard *board = fresh.Get(i);
        if (!site->Boards->FindByID(board->ID) && HeldByOtherSite(site, *board)) {
            fresh.Delete(i);
            ++dropped;
        }
    }
    return dropped;
}

QStringList TBoardListMerge::Run(bool downloadFailed)
{
    log.clear();
    log << QStringLiteral("  ボード一覧の取得完了") << QStringLiteral("  →板数：%1").arg(fresh.Count()) << QStringLiteral(" ");
    if (fresh.Count() == 0) {
        log << QStringLiteral("  ボード一覧の取得エラー(板がひとつも無い)");
    } else if (downloadFailed) {
        log << QStringLiteral("  ボード一覧の取得エラー(取得が途中で終わった)");
    } else {
        log << QStringLiteral("▽ボード一覧更新開始");
        if (options.DetectAdded)
            DetectAdded(LoadAboneIds(site));
        if (options.DetectDeleted)
            DetectDeleted();
        else
            KeepMissing();
        if (options.DetectChanged) {
            DetectRenamed();
            DetectMoved();
        }
        ApplyBeCharsets();
        if (Added + Moved + Deleted + Renamed > 0)
            Save();
    }
    Summary();
    return log;
}

void TBoardListMerge::DetectAdded(const QStringList &abone)
{
    const TBoardList &old = *site->Boards;
    for (int i = fresh.Count() - 1; i >= 0; --i) {
        const TBoard *board = fresh.Get(i);
        if (old.FindByID(board->ID))
            continue;
        if (abone.contains(board->ID)) {
            fresh.Delete(i);
            continue;
        }
        log << QStringLiteral("板が追加されました。") << Indent + board->Name << Indent + board->URL << QString();
        ++Added;
    }
}

// A deleted board with logs comes back in the category "deleted"; one without logs is dropped.
void TBoardListMerge::DetectDeleted()
{
    const TBoardList &old = *site->Boards;
    for (int i = 0; i < old.Count(); ++i) {
        const TBoard *board = old.Get(i);
        if (fresh.FindByID(board->ID))
            continue;
        log << QStringLiteral("板が削除されました。") << Indent + board->Name << Indent + board->URL << QString();
        ++Deleted;
        if (board->LogFolderExists) {
            auto *copy = new TBoard;
            copy->Assign(*board);
            copy->Category = QStringLiteral("deleted");
            fresh.Add(copy);
        }
    }
}

// Deletions are not checked: the boards the page no longer lists stay as they are.
void TBoardListMerge::KeepMissing()
{
    const TBoardList &old = *site->Boards;
    for (int i = 0; i < old.Count(); ++i) {
        const TBoard *board = old.Get(i);
        if (fresh.FindByID(board->ID))
            continue;
        auto *copy = new TBoard;
        copy->Assign(*board);
        fresh.Add(copy);
    }
}

void TBoardListMerge::DetectRenamed()
{
    for (int i = 0; i < fresh.Count(); ++i) {
        const TBoard *board = fresh.Get(i);
        const TBoard *old = site->Boards->FindByID(board->ID);
        if (!old || old->Name == board->Name)
            continue;
        log << QStringLiteral("板の名前が変更されました。") << QStringLiteral("　旧：") + old->Name
            << QStringLiteral("　新：") + board->Name << QString();
        ++Renamed;
        RepointFavorites(*old, *board);
    }
}

void TBoardListMerge::DetectMoved()
{
    for (int i = 0; i < fresh.Count(); ++i) {
        const TBoard *board = fresh.Get(i);
        const TBoard *old = site->Boards->FindByID(board->ID);
        if (!old || old->URL == board->URL)
            continue;
        log << QStringLiteral("板のURLが変更されました。") << Indent + old->Name << QStringLiteral("　旧：") + old->URL
            << QStringLiteral("　新：") + board->URL << QString();
        ++Moved;
        RepointFavorites(*old, *board);
    }
}

void TBoardListMerge::RepointFavorites(const TBoard &old, const TBoard &board)
{
    BoardTree::UpdateBoardEntry(old.HostPath, old.ID, board);
}

// The boards of the 2ch site take their code from be.ini when it names another than the site's.
void TBoardListMerge::ApplyBeCharsets()
{
    if (site->SITEID != QLatin1String("2ch"))
        return;
    const QString path = site->FindFile(QStringLiteral("be.ini"));
    if (path.isEmpty())
        return;
    const TIniFile be(path);
    const QString standard = Tavutils::CharsetToName(site->CodePage);
    for (int i = 0; i < fresh.Count(); ++i) {
        TBoard *board = fresh.Get(i);
        const QString value = be.ReadString(QStringLiteral("CHARSET"), board->ID, standard);
        if (value != standard)
            board->CodePage = Tavutils::NameToCharset(value);
    }
}

// board.dat is written after a board.bak copy; the favorites keep the boards they were re-pointed to.
void TBoardListMerge::Save()
{
    fresh.Owner = site;
    const QString path = site->PrepareOwnFile(QStringLiteral("board.dat"));
    fresh.SaveBoards(path);
    site->Boards->Clear();
    site->LoadBoards();
    Written = true;
    TSite *favorites = TavuEnviron ? TavuEnviron->FavoritesSite() : nullptr;
    if (favorites && Renamed + Moved > 0)
        favorites->SaveBoards();
}

void TBoardListMerge::Summary()
{
    log << QStringLiteral("-----------------------") << QStringLiteral("処理終了")
        << QStringLiteral("→新規板　：%1").arg(Added) << QStringLiteral("→板移転　：%1").arg(Moved)
        << QStringLiteral("→削除板　：%1").arg(Deleted) << QStringLiteral("→名前変更：%1").arg(Renamed);
}
