#include "services/BBSOrder.h"

#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TextList.h"

namespace {

const QString ShownFile = QStringLiteral("bbs.txt");
const QString BarFile = QStringLiteral("bbsbar.txt");

// A caption is one field of one line: a TAB or line break in it becomes a blank.
QString OneField(QString text)
{
    for (const QChar c : {QChar(u'\t'), QChar(u'\r'), QChar(u'\n')})
        text.replace(c, QLatin1Char(' '));
    return text;
}

}  // namespace

void TBBSOrder::Load(const QString &profileDir, const TSiteList &sites)
{
    Shown.clear();
    Bar.clear();
    TTextList shown;
    shown.LoadFromFile(profileDir + ShownFile);
    for (const QString &line : std::as_const(shown.Lines)) {
        TSite *site = sites.FindBySiteID(line.trimmed());
        if (site)
            Shown.append(site);
    }

    TTextList bar;
    bar.LoadFromFile(profileDir + BarFile);
    QList<TSite *> onBar;
    for (const QString &line : std::as_const(bar.Lines)) {
        const int tab = line.indexOf(QLatin1Char('\t'));
        TSite *site = sites.FindBySiteID(tab < 0 ? line : line.left(tab));
        if (!site)
            continue;
        onBar.append(site);
        Bar.append({site, tab < 0 ? QString() : line.mid(tab + 1), true});
    }
    for (int i = 0; i < sites.Count(); ++i) {
        TSite *site = sites.Get(i);
        if (!onBar.contains(site))
            Bar.append({site, site->NAME, false});
    }
}

void TBBSOrder::Save(const QString &profileDir) const
{
    QStringList shown;
    for (const TSite *site : Shown)
        shown.append(site->SITEID);
    QStringList bar;
    for (const TBarEntry &entry : Bar) {
        if (entry.Ticked)
            bar.append(entry.Site->SITEID + QLatin1Char('\t') + OneField(entry.Caption));
    }
    TTextList::RewriteFile(profileDir + ShownFile, shown);
    TTextList::RewriteFile(profileDir + BarFile, bar);
}
