#include "settings/SiteDialogCommands.h"

#include "controls/BoardTree.h"
#include "controls/Dialogs.h"
#include "controls/ExtListView.h"
#include "controls/WindowServices.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/Exceptions.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/TextList.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "render/TavuListDoc.h"
#include "settings/BBSDialog.h"
#include "settings/BBSOrderDialog.h"
#include "settings/BoardEditor.h"
#include "settings/LocalDialog.h"

#include <QComboBox>
#include <QFileInfo>
#include <QPointer>
#include <QToolBar>

namespace SiteDialogCommands {

namespace {

QString ShownFile()
{
    return TavuConfig->GetProfileDir() + QStringLiteral("bbs.txt");
}

bool IsSpecialSite(const TSite *site)
{
    return site->Kind != TSite::KIND_NORMAL;
}

bool RunBoardEditor(QWidget *parent, TSite *site, const TBoard *edited, BoardTree::TBoardEditValues &values)
{
    TBoardEditor editor(parent);
    editor.SetSite(site);
    editor.EditMode = edited != nullptr;
    editor.EditedBoard = edited;
    editor.SetBoardName(values.Name);
    editor.SetURL(values.Url);
    editor.SetCategoryName(values.Category);
    editor.SetCharSet(values.CharSet);
    if (Dialogs::ExecDialog(editor) != QDialog::Accepted)
        return false;
    values.Name = editor.GetBoardName();
    values.Url = editor.GetURL();
    values.Category = editor.GetCategoryName();
    values.CharSet = editor.GetCharSet();
    values.ID = editor.GetBoardID();
    values.Path = editor.GetBoardPath();
    return true;
}

// A site that has just been chosen gets its own copy of board.dat in the profile; its boards are
// read again from that copy.
void PrepareShownSite(TSite *site)
{
    const QString own = site->GetDir() + QStringLiteral("board.dat");
    if (QFileInfo::exists(own))
        return;
    site->PrepareOwnFile(QStringLiteral("board.dat"));
    site->Boards->Clear();
    site->LoadBoards();
}

void SaveShownSites(const QStringList &ids)
{
    try {
        TTextList::RewriteFile(ShownFile(), ids);
    } catch (const EVarnelo &e) {
        Dialogs::ShowMessage(Dialogs::mkError, e.Message);
    }
}

// OK: the flags the dialog set become bbs.txt.
void ApplySelection(const TSiteList &sites)
{
    TTextList former;
    former.LoadFromFile(ShownFile());
    for (int i = 0; i < sites.Count(); ++i) {
        if (sites.Get(i)->Listed && !IsSpecialSite(sites.Get(i)))
            PrepareShownSite(sites.Get(i));
    }
    SaveShownSites(ShownSiteIds(sites, former.Lines));
}

// Cancel: the flags go back to bbs.txt (made of the special sites when there is none). True when
// bbs.txt had to be made.
bool RestoreSelection(const TSiteList &sites)
{
    TTextList shown;
    const bool made = !shown.LoadFromFile(ShownFile());
    if (made) {
        for (int i = 0; i < sites.Count(); ++i) {
            if (IsSpecialSite(sites.Get(i)) && sites.Get(i)->Kind != TSite::KIND_RSS)
                shown.Add(sites.Get(i)->SITEID);
        }
        SaveShownSites(shown.Lines);
    }
    for (int i = 0; i < sites.Count(); ++i)
        sites.Get(i)->Listed = shown.Lines.contains(sites.Get(i)->SITEID);
    return made;
}

}  // namespace

QStringList ShownSiteIds(const TSiteList &sites, const QStringList &former)
{
    auto shown = [](const TSite *site) { return site && (site->Listed || IsSpecialSite(site)); };
    QStringList ids;
    for (const QString &line : former) {
        const TSite *site = sites.FindBySiteID(line.trimmed());
        if (shown(site) && !ids.contains(site->SITEID))
            ids << site->SITEID;
    }
    for (int i = 0; i < sites.Count(); ++i) {
        if (shown(sites.Get(i)) && !ids.contains(sites.Get(i)->SITEID))
            ids << sites.Get(i)->SITEID;
    }
    return ids;
}

void InstallBoardEditor(QWidget *parent)
{
    BoardTree::SetBoardEditor([parent = QPointer<QWidget>(parent)](TSite *site, const TBoard *edited,
                                                                BoardTree::TBoardEditValues &values) {
        return RunBoardEditor(parent, site, edited, values);
    });
}

void Bind(TWindowFrameServices &frame, TBoardServices &boards, TThreadListServices &threadList,
          TBoardTreeServices &boardTree)
{
    InstallBoardEditor(frame.Window());
    frame.BindAction(QStringLiteral("actBBSSelect"), frame.Window(),
                     [&frame, &boardTree] { BBSSelectExecute(frame, boardTree); });
    frame.BindAction(QStringLiteral("actBBSOrder"), frame.Window(),
                     [&frame, &boards, &boardTree] { BBSOrderExecute(frame, boards, boardTree); });
    frame.BindAction(QStringLiteral("actThreadListMoveToLocal"), frame.Window(),
                     [&frame, &threadList] { MoveToLocalExecute(frame, threadList); });
}

void BBSSelectExecute(TWindowFrameServices &frame, TBoardTreeServices &boardTree)
{
    const TSiteList &sites = *TavuEnviron->SiteList();
    TBBSDialog dialog(frame.Window());
    if (Dialogs::ExecDialog(dialog) == QDialog::Accepted)
        ApplySelection(sites);
    else if (!RestoreSelection(sites))
        return;   // nothing changed: the site shown stays
    boardTree.ShowFirstSite();
}

void BBSOrderExecute(TWindowFrameServices &frame, TBoardServices &boards, TBoardTreeServices &boardTree)
{
    TBBSOrderDialog dialog(frame.Window());
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted)
        return;
    boards.ReloadBBSBar();
    boardTree.ShowFirstSite();
}

void MoveToLocalExecute(TWindowFrameServices &frame, TThreadListServices &threadList)
{
    TTavuListDoc *doc = threadList.ShownListDoc();
    if (!doc)
        return;
    TThreadItemList *items = doc->Items();
    TLocalDialog dialog(frame.Window());
    for (TThreadItem *item : threadList.SelectedThreads())
        dialog.Items.Add(item);
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted)
        return;
    for (int i = items->Count() - 1; i >= 0; --i) {
        if (dialog.Moved.contains(items->Get(i)))
            items->Delete(i);
    }
    doc->SetDisplayCount(std::min(doc->DisplayCount() - int(dialog.Moved.size()), items->Count()));
    threadList.SelectedThreadsLeft(doc);
}

}  // namespace SiteDialogCommands
