// Adding, changing and deleting the boards of a site, and the favorites' copies of boards.

#include "controls/BoardTree.h"

#include "controls/Dialogs.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/Exceptions.h"
#include "core/IniFile.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/TextList.h"
#include "net/TavuHttpList.h"

#include <QThread>

namespace BoardTree {

namespace {

TBoardEditorHandler &Editor()
{
    static TBoardEditorHandler editor;
    return editor;
}

std::function<bool()> &ChecksRunning()
{
    static std::function<bool()> running;
    return running;
}

// Writes the site's board.dat and reads it again.
bool SaveAndReload(TSite *site)
{
    try {
        site->SaveBoards();
    } catch (const EVarnelo &e) {
        Dialogs::ShowMessage(Dialogs::mkError, e.Message);
        return false;
    }
    site->Boards->Clear();
    site->LoadBoards();
    return true;
}

// The index after the last board of the category (searching from the end); -1 when the list has
// none of it. skip is left out of the search.
int IndexAfterCategory(const TBoardList &boards, const QString &category, const TBoard *skip = nullptr)
{
    for (int i = boards.Count() - 1; i >= 0; --i) {
        const TBoard *board = boards.Get(i);
        if (board != skip && board->Category == category)
            return i + 1;
    }
    return -1;
}

int KindForSite(const TSite *site)
{
    switch (site->Kind) {
    case TSite::KIND_FAVORITES:
        return TBoard::KIND_FAVORITES;
    case TSite::KIND_LOCAL:
        return TBoard::KIND_LOCAL;
    case TSite::KIND_RSS:
        return TBoard::KIND_RSS;
    default:
        return TBoard::KIND_NORMAL;
    }
}

void ApplyEditValues(TBoard &board, const TSite *site, const TBoardEditValues &values)
{
    board.Name = values.Name;
    board.URL = values.Url;
    board.HostPath = values.Path;
    board.ID = values.ID;
    board.BBSName = values.ID.section(QLatin1Char('>'), 0, 0);
    board.CodePage = values.CharSet;
    if (site->Kind == TSite::KIND_LOCAL)
        board.LogFolder = values.Path;
}

TBoardEditValues ValuesOf(const TBoard &board)
{
    TBoardEditValues values;
    values.Name = board.Name;
    values.Url = board.URL;
    values.Category = board.Category;
    values.CharSet = board.CodePage;
    values.ID = board.ID;
    values.Path = board.HostPath;
    return values;
}

bool Edit(TSite *site, const TBoard *edited, TBoardEditValues &values)
{
    return Editor() && Editor()(site, edited, values);
}

}  // namespace

// Board lists are rebuilt when they are saved: no request nor check may hold one of their boards
// meanwhile.
bool BoardListsBusy()
{
    if (TavuHttpList)
        TavuHttpList->DeleteFinished();
    const bool checks = ChecksRunning() && ChecksRunning()();
    if ((!TavuHttpList || TavuHttpList->Count() == 0) && !checks)
        return false;
    Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("読み込み，または書き込みが完了していません。"));
    return true;
}

void SetBoardHoldersRunning(std::function<bool()> running)
{
    ChecksRunning() = std::move(running);
}

TBoardEditorHandler SetBoardEditor(TBoardEditorHandler editor)
{
    return std::exchange(Editor(), std::move(editor));
}

bool AddSiteBoard(TSite *site, const QString &category, const QString &name, const QString &url)
{
    if (!site || BoardListsBusy())
        return false;
    TBoardEditValues values;
    values.Name = name;
    values.Url = url;
    values.Category = category;
    values.CharSet = site->CodePage;
    if (!Edit(site, nullptr, values))
        return false;

    auto *board = new TBoard;
    ApplyEditValues(*board, site, values);
    board->Category = values.Category;
    board->Kind = KindForSite(site);
    board->BBS = site->BBS;
    board->Site = site;
    if (values.Category.isEmpty()) {
        site->Boards->Insert(0, board);
    } else {
        const int at = IndexAfterCategory(*site->Boards, values.Category);
        site->Boards->Insert(at < 0 ? site->Boards->Count() : at, board);
    }
    return SaveAndReload(site);
}

bool ModifySiteBoard(TSite *site, TBoard *board)
{
    if (!site || !board || BoardListsBusy())
        return false;
    if (site->Kind == TSite::KIND_FAVORITES && board->Kind != TBoard::KIND_FAVORITES) {
        Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("それは修正できません。"));
        return false;
    }
    TBoardEditValues values = ValuesOf(*board);
    if (!Edit(site, board, values))
        return false;

    const QString oldHostPath = board->HostPath;
    const QString oldId = board->ID;
    ApplyEditValues(*board, site, values);
    UpdateBoardEntry(oldHostPath, oldId, *board);
    if (values.Category != board->Category) {
        // The board moves behind the last other board of its new category, or to the end.
        TBoardList &boards = *site->Boards;
        board->Category = values.Category;
        boards.Detach(boards.IndexOf(board));
        const int at = IndexAfterCategory(boards, values.Category);
        boards.Insert(at < 0 ? boards.Count() : at, board);
    }
    return SaveAndReload(site);
}

bool DeleteSiteBoard(TSite *site, TBoard *board)
{
    if (!site || !board || BoardListsBusy())
        return false;
    if (!Dialogs::AskYesNo(board->Name + QStringLiteral("を削除しますか？"), Dialogs::mkWarning))
        return false;

    // The board stays away when the board list is updated from the server later.
    const QString abone = site->PrepareOwnFile(QStringLiteral("board.abone"));
    TTextList ids;
    ids.LoadFromFile(abone);
    if (!ids.Lines.contains(board->ID)) {
        ids.Add(board->ID);
        try {
            ids.SaveToFile(abone);
        } catch (const EVarnelo &e) {
            Dialogs::ShowMessage(Dialogs::mkError, e.Message);
            return false;
        }
    }
    site->Boards->Delete(site->Boards->IndexOf(board));
    return SaveAndReload(site);
}

void UpdateBoardEntry(const QString &oldHostPath, const QString &oldId, const TBoard &board)
{
    TSite *favorites = TavuEnviron ? TavuEnviron->FavoritesSite() : nullptr;
    if (!favorites)
        return;
    for (int i = 0; i < favorites->Boards->Count(); ++i) {
        TBoard *copy = favorites->Boards->Get(i);
        if (copy == &board || copy->HostPath != oldHostPath || copy->ID != oldId)
            continue;
        const QString category = copy->Category;
        copy->Assign(board);
        copy->Category = category;
        copy->BBS = board.BBS;
        copy->Site = board.Site;
        copy->LogFolder = board.GetLogDir();
    }
}

TBoard *FindDefaultFavorites()
{
    TSite *favorites = TavuEnviron ? TavuEnviron->FavoritesSite() : nullptr;
    if (!favorites)
        return nullptr;
    for (int i = 0; i < favorites->Boards->Count(); ++i) {
        TBoard *board = favorites->Boards->Get(i);
        if (board->Name.compare(TavuConfig->DEFFAVNAME, Qt::CaseInsensitive) == 0)
            return board;
    }
    return nullptr;
}

TBoard *EnsureDefaultFavoritesFolder()
{
    TSite *favorites = TavuEnviron ? TavuEnviron->FavoritesSite() : nullptr;
    if (!favorites || FindDefaultFavorites())
        return FindDefaultFavorites();

    TIniFile ini(favorites->PrepareOwnFile(QStringLiteral("site.ini")));
    const int number = ini.ReadInteger(QStringLiteral("LIST"), QStringLiteral("USED"), 0) + 1;
    ini.WriteInteger(QStringLiteral("LIST"), QStringLiteral("USED"), number);
    const QString id = QStringLiteral("fav%1").arg(number, 5, 10, QLatin1Char('0'));
    try {
        ini.UpdateFile();
        TTextList(QStringList{TavuConfig->DEFFAVNAME}).SaveToFile(favorites->GetDir() + id + QStringLiteral(".txt"));
    } catch (const EVarnelo &e) {
        Dialogs::ShowMessage(Dialogs::mkError, e.Message);
        return nullptr;
    }

    auto *board = new TBoard;
    board->Name = TavuConfig->DEFFAVNAME;
    board->ID = board->BBSName = id;
    board->HostPath = QStringLiteral("<favorites>");
    board->Kind = TBoard::KIND_FAVORITES;
    board->Category = favorites->Boards->Count() > 0 ? favorites->Boards->Get(0)->Category : QStringLiteral("system");
    board->BBS = favorites->BBS;
    board->Site = favorites;
    favorites->Boards->Add(board);
    SaveAndReload(favorites);
    return FindDefaultFavorites();
}

}  // namespace BoardTree
