#include "services/AmezoSearch.h"

#include "core/BBS.h"
#include "core/BoardList.h"
#include "core/JConvert.h"
#include "core/MonaUtils.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuEnviron.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"
#include "services/OutsidePage.h"

namespace {

const QString SiteId = QStringLiteral("2ch");

struct TChoice {
    const char *entry;
    const char *name;
};

const TChoice BoardKindTable[] = {
    {"パソコン系", "2chpc"},       {"漫画系", "2chcomic"},   {"アニメ系", "2chanime"},   {"ネット系", "2chnet"},
    {"料理・食べ物系", "2chfood"}, {"生活系", "2chlife"},    {"テレビ・芸能系", "2chtv"}, {"音楽系", "2chmusic"},
    {"格闘系", "2chk1"},           {"ゲーム系", "2chgame"},  {"ちくり裏事情", "2chcompany"}, {"プログラム", "2chtech"},
    {"UNIX", "2chunix"},           {"同人", "2chdoujin"},    {"映画", "2chmovie"},       {"車", "2chcar"},
    {"サッカー", "2chsoccer"},     {"日本史", "2chhistory"}, {"世界史", "2chwhis"},      {"軍事", "2charmy"},
};

const TChoice SortTable[] = {
    {"スコア", "score"},
    {"日付 (新しい順)", "date:late"},
    {"日付 (古い順)", "date:early"},
    {"題名 (昇順)", "field:subject:ascending"},
    {"題名 (降順)", "field:subject:descending"},
    {"サイズ (昇順)", "field:size:ascending"},
    {"サイズ (降順)", "field:size:descending"},
    {"URI (昇順)", "field:uri:ascending"},
    {"URI (降順)", "field:uri:descending"},
};

template <size_t N>
QStringList Entries(const TChoice (&table)[N])
{
    QStringList entries;
    for (const TChoice &choice : table)
        entries.append(QString::fromUtf8(choice.entry));
    return entries;
}

template <size_t N>
QString NameAt(const TChoice (&table)[N], int index)
{
    return QString::fromUtf8(table[index >= 0 && index < int(N) ? index : 0].name);
}

// The text after the first `from` (from position at on), and moves at past it; empty when absent.
bool SkipPast(const QString &text, const QString &from, int &at)
{
    const int found = text.indexOf(from, at);
    if (found < 0)
        return false;
    at = found + from.size();
    return true;
}

QString TakeUntil(const QString &text, const QString &to, int &at)
{
    const int end = text.indexOf(to, at);
    const QString taken = text.mid(at, end < 0 ? -1 : end - at);
    at = end < 0 ? text.size() : end;
    return taken;
}

}  // namespace

QStringList TAmezoSearch::BoardKinds()
{
    return Entries(BoardKindTable);
}

QStringList TAmezoSearch::SortTypes()
{
    return Entries(SortTable);
}

QString TAmezoSearch::IndexName(int boardKind)
{
    return NameAt(BoardKindTable, boardKind);
}

QString TAmezoSearch::SortName(int sortType)
{
    return NameAt(SortTable, sortType);
}

QString TAmezoSearch::BuildUrl(const QString &cgiUrl, const QString &keyword, int boardKind, int sortType)
{
    using MonaUtils::UrlEncode;
    return cgiUrl + QStringLiteral("?query=") + UrlEncode(keyword) + QStringLiteral("&submit=") + UrlEncode(QStringLiteral("検索"))
           + QStringLiteral("&whence=0&idxname=") + UrlEncode(IndexName(boardKind)) + QStringLiteral("&max=100&result=normal&sort=")
           + UrlEncode(SortName(sortType));
}

bool TAmezoSearch::ReadReply(const QString &url, const QByteArray &body, TThreadItemList *items, QString &error)
{
    TSite *site = ServiceSite(SiteId, error);
    if (!site)
        return false;
    if (Parse(jconvert::EucToUnicode(body), site, items) < 0) {
        error = UnknownPageFormat(url);
        return false;
    }
    return true;
}

int TAmezoSearch::Parse(const QString &page, TSite *site, TThreadItemList *items)
{
    const bool hasHits = page.contains(QStringLiteral("<dt>"));
    if (!hasHits && !page.contains(QStringLiteral("</html>"), Qt::CaseInsensitive))
        return -1;
    int count = 0;
    int at = 0;
    while (SkipPast(page, QStringLiteral("<dt>"), at)) {
        if (!SkipPast(page, QStringLiteral(">"), at) || !SkipPast(page, QStringLiteral(">"), at))
            break;
        QString title = TakeUntil(page, QStringLiteral("</a>"), at);
        title = MonaUtils::StripHtmlTags(title);   // the entities stay, as in a subject line
        if (!SkipPast(page, QStringLiteral("<dd><a href=\""), at))
            break;
        QString url = TakeUntil(page, QStringLiteral("\">"), at);
        url.replace(QStringLiteral("&amp;"), QStringLiteral("&"));

        TThreadUrlParts parts;
        if (!site->BBS || !site->BBS->ParseThreadUrl(site->BBS->NormalizeUrl(url), parts))
            continue;
        if (!site->Boards->FindByID(parts.BBS))
            continue;
        auto *item = new TThreadItem;
        if (item->SetLocation(site->SITEID, parts.BBS, parts.Key, title)) {
            item->LoadInfo();
            item->Number = ++count;
            items->Add(item);
        }
        item->Release();
    }
    return count;
}
