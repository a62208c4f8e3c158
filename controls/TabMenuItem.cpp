#include "controls/TabMenuItem.h"

#include "render/TavuBrowser.h"
#include "render/TavuListDoc.h"

TThreadListMenuItem::TThreadListMenuItem(QObject *parent) : QAction(parent)
{
    setCheckable(true);
    connect(this, &QAction::triggered, this, &TThreadListMenuItem::ItemClick);
}

void TThreadListMenuItem::ItemClick()
{
    if (!ListDoc)
        return;
    ListDoc->Activate();
    ListDoc->DoSelect();
}

TBrowserMenuItem::TBrowserMenuItem(QObject *parent) : QAction(parent)
{
    setCheckable(true);
    connect(this, &QAction::triggered, this, &TBrowserMenuItem::ItemClick);
}

void TBrowserMenuItem::ItemClick()
{
    if (!Browser)
        return;
    Browser->Activate();
    Browser->DoSelect();
}

void TRecentMenuItem::SetEntry(int number, const QString &siteId, const QString &boardId,
                               const QString &threadKey, const QString &title)
{
    SiteID = siteId;
    BoardID = boardId;
    ThreadKey = threadKey;
    Title = title;
    QString shown = title;
    shown.replace(QLatin1Char('&'), QLatin1String("&&"));
    setText(QStringLiteral("(&%1)").arg(number) + shown);
}
