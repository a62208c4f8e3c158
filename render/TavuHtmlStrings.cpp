#include "render/TavuHtmlStrings.h"

#include "core/BBS.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/JConvert.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/ThreadItem.h"
#include "render/TavuResWriter.h"

#include <algorithm>

namespace {

QString ProfileDir()
{
    return TavuConfig ? TavuConfig->GetProfileDir() : QString();
}

int CountNew(const TResList &list)
{
    int count = 0;
    for (int i = 0; i < list.Count(); ++i)
        count += list.Get(i)->IsNew ? 1 : 0;
    return count;
}

}  // namespace

TTavuHtmlStrings::TTavuHtmlStrings() = default;
TTavuHtmlStrings::~TTavuHtmlStrings() = default;

void TTavuHtmlStrings::ReadSkinSettings(const QString &view)
{
    const TIniFile ini(ProfileDir() + QStringLiteral("skin.ini"));
    ReadSkinSettings(ini, view);
}

void TTavuHtmlStrings::ReadSkinSettings(const TIniFile &skinIni, const QString &view)
{
    const QString section = !view.isEmpty()
                                ? view
                                : TSkinSettings::SectionForBoard(skinIni, Site ? Site->SITEID : QString(), BoardID);
    Skin = TSkinSettings::Read(skinIni, section, ProfileDir());
}

void TTavuHtmlStrings::BeginView(TResList *list)
{
    if (list)
        ResList = list;
    writer = std::make_unique<TTavuResWriter>(Skin);
    writer->ApplyConfig();

    TTavuResWriter::TThreadInfo info;
    const TThreadItem *item = ResList ? ResList->Item() : nullptr;
    const TBoard *board = Site ? Site->Boards->FindByID(BoardID) : nullptr;
    if (!board && item)
        board = item->GetBoard();
    info.Title = item ? item->TITLE : QString();
    if (info.Title.isEmpty() && ResList && ResList->Count() > 0)
        info.Title = ResList->Get(0)->Title;
    info.BoardName = board ? board->Name : QString();
    info.SiteName = Site ? Site->NAME : QString();
    info.Url = item && item->BBS ? item->BBS->GetThreadUrl(item) : QString();
    info.ResCount = ResList ? ResList->Count() : 0;
    info.NewCount = ResList ? CountNew(*ResList) : 0;
    writer->SetThreadInfo(info);

    html = writer->RenderHeader();
    appended = 0;
}

void TTavuHtmlStrings::HideRes(TRes *, const TTavuAction *)
{
    // A hidden response leaves no trace in an exported page.
}

bool TTavuHtmlStrings::TakesRes(const TRes *res) const
{
    return res->Display1[0] && !res->Hidden;
}

void TTavuHtmlStrings::AppendRes(TRes *res)
{
    if (!writer || !TakesRes(res))
        return;
    res->Display2[0] = true;
    html += writer->RenderRes(*res);
    ++appended;
}

bool TTavuHtmlStrings::EndView()
{
    if (!writer)
        return false;
    html += writer->RenderFooter();
    return appended > 0;
}

void TTavuHtmlStrings::SaveToFile(const QString &path) const
{
    QString text = html;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\n', QLatin1String("\r\n"));
    FileUtil::WriteFileAtomic(path, jconvert::UnicodeToSjis(text));
}
