#include "settings/BookmarkPage.h"

#include "core/Bookmark.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/ThreadItem.h"
#include "render/EmbeddedWB.h"
#include "render/TavuBrowser.h"

namespace BookmarkPage {

namespace {

const QString SkinSection = QStringLiteral("siori_manager");

// The bookmark as a response of its thread: number, name, empty mail, date and body.
TRes *NewRes(const TBookmarkRes &bookmark, const TThreadItem *item)
{
    auto *res = new TRes;
    res->BBS = item->BBS;
    res->Site = item->Site;
    res->Board = item->GetBoard();
    res->Number = bookmark.ResNo;
    res->Name = bookmark.Name;
    res->SetDate(bookmark.Date);
    res->Body = bookmark.Body;
    return res;
}

}  // namespace

TTavuBrowser *NewBrowser(QWidget *parent)
{
    auto *browser = new TTavuBrowser(parent);
    QObject::connect(browser->Browser(), &TEmbeddedWB::NewWindow, browser,
                     [](const QUrl &, TEmbeddedWB *&, bool &cancel) { cancel = true; });
    return browser;
}

void Show(TTavuBrowser *browser, const QList<TThreadBookmarks> &threads)
{
    browser->ClearDocument();
    browser->ReadSkinSettings(SkinSection);
    browser->CreateResWriter();
    for (const TThreadBookmarks &thread : threads) {
        browser->SetThreadItem(thread.Item);
        auto *list = new TResList(thread.Item);
        browser->SetResList(list);
        browser->WriteHeader();
        for (const TBookmarkRes *bookmark : thread.Bookmarks) {
            TRes *res = NewRes(*bookmark, thread.Item);
            list->Add(res);
            browser->AppendRes(res);
        }
    }
    browser->WriteHtml();
}

}  // namespace BookmarkPage
