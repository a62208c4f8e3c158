#include "settings/SiteDialogCommands.h"

#include "controls/Dialogs.h"
#include "controls/ExtListView.h"
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
#include "mainwindow/BoardTreeImages.h"
#include "mainwindow/KpwBoardTree.h"
#include "mainwindow/KpwUserFiles.h"
#include "mainwindow/VarneloWindow.h"
#include "render/TavuListDoc.h"
#include "settings/BBSDialog.h"
#include "settings/BBSOrderDialog.h"
#include "settings/BoardEditor.h"
#include "settings/LocalDialog.h"

#include <QComboBox>
#include <QFileInfo>
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

bool RunBoardEditor(TSite *site, const TBoard *edited, Kpwfunc::TBoardEditValues &values)
{
    TBoardEditor editor(VarneloWindow);
    editor.SetSite(site);
    editor.EditMode = edited != nullptr;
    editor.EditedBoard = edited;
    editor.SetBoardName(values.Name);
    editor.SetURL(values.Url);
    editor.SetCategoryName(values.Category);
    editor.SetCharSet(values.CharSet);
    if (Kpwfunc::ExecDialog(editor) != QDialog::Accepted)
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
        Kpwfunc::ShowMessage(Kpwfunc::mkError, e.Message);
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

// Cancel: the flags go back to bbs.txt (made of the special sites when there is none).
void RestoreSelection(const TSiteList &sites)
{
    TTextList shown;
    if (!shown.LoadFromFile(ShownFile())) {
        for (int i = 0; i < sites.Count(); ++i) {
            if (IsSpecialSite(sites.Get(i)) && sites.Get(i)->Kind != TSite::KIND_RSS)
                shown.Add(sites.Get(i)->SITEID);
        }
        SaveShownSites(shown.Lines);
    }
    for (int i = 0; i < sites.Count(); ++i)
        sites.Get(i)->Listed = shown.Lines.contains(sites.Get(i)->SITEID);
}

// Refills the site box and shows its first site.
void ShowFirstSite(TVarneloWindow *window)
{
    Kpwfunc::LoadBBSTree(window->SiteComboBox);
    if (window->SiteComboBox->count() == 0)
        return;
    {
        const QSignalBlocker blocker(window->SiteComboBox);
        window->SiteComboBox->setCurrentIndex(0);
    }
    window->SiteComboBoxChange();
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

void InstallBoardEditor()
{
    Kpwfunc::SetBoardEditor(RunBoardEditor);
}

void Bind(TVarneloWindow *window)
{
    InstallBoardEditor();
    window->ActionList1->Bind(QStringLiteral("actBBSSelect"), window, [window] { BBSSelectExecute(window); });
    window->ActionList1->Bind(QStringLiteral("actBBSOrder"), window, [window] { BBSOrderExecute(window); });
    window->ActionList1->Bind(QStringLiteral("actThreadListMoveToLocal"), window,
                              [window] { MoveToLocalExecute(window); });
}

void BBSSelectExecute(TVarneloWindow *window)
{
    const TSiteList &sites = *TavuEnviron->SiteList();
    TBBSDialog dialog(window);
    if (Kpwfunc::ExecDialog(dialog) == QDialog::Accepted)
        ApplySelection(sites);
    else
        RestoreSelection(sites);
    ShowFirstSite(window);
}

void BBSOrderExecute(TVarneloWindow *window)
{
    TBBSOrderDialog dialog(window);
    if (Kpwfunc::ExecDialog(dialog) != QDialog::Accepted)
        return;
    Kpwfunc::LoadBBSBar(window->BBSToolBar, TavuConfig->GetProfileDir() + QStringLiteral("bbsbar.txt"),
                        *TavuEnviron->SiteList(), BoardTreeImages::SiteImages(),
                        [window](TSite *site) { window->SelectSite(site); });
    ShowFirstSite(window);
}

void MoveToLocalExecute(TVarneloWindow *window)
{
    TTavuListDoc *doc = window->ShownListDoc();
    if (!doc)
        return;
    TThreadItemList *items = doc->Items();
    TLocalDialog dialog(window);
    for (int row : window->ThreadListView->SelectedRows()) {
        if (row < items->Count())
            dialog.Items.Add(items->Get(row));
    }
    if (Kpwfunc::ExecDialog(dialog) != QDialog::Accepted)
        return;
    for (int i = items->Count() - 1; i >= 0; --i) {
        if (dialog.Moved.contains(items->Get(i)))
            items->Delete(i);
    }
    doc->SetDisplayCount(std::min(doc->DisplayCount() - int(dialog.Moved.size()), items->Count()));
    window->ThreadListView->clearSelection();
    window->ThreadListView->SetItemCountEx(doc->DisplayCount());
    window->ThreadListView->viewport()->update();
    window->UpdateThreadListMenu();
}

}  // namespace SiteDialogCommands
