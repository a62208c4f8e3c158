#pragma once
// TThreadTab: what a thread tab does for the commands of the categories "スレッド" and "ブラウザ".
// The services hand out the focused one (TTabServices::FocusedTab); each browser tab's controller
// (commands/ThreadTabController.h) is one.

class TTavuBrowser;
class TThreadItem;

class TThreadTab {
public:
    virtual ~TThreadTab() = default;

    virtual TTavuBrowser &Tab() const = 0;
    // The tab's thread when the tab shows one with its responses; nullptr for a web page.
    virtual TThreadItem *Thread() const = 0;

    // ---- the page ----
    // A web page loads again; a thread asks its server for new responses; an extract shows its
    // responses again, unmarked.
    virtual void Reload() = 0;
    // Stops the download of the tab's thread.
    virtual void Stop() = 0;
    // "ログの再取得": the log is fetched whole again, the view kept at the response on top. The old
    // log is kept as ".bak" first, and only a log whose copy was made is deleted.
    virtual void Refetch() = 0;
    // The extract mode ends: every response shows again.
    virtual void ShowAll() = 0;
    // The view scrolls one step up or down.
    virtual void ScrollStep(bool up) = 0;
    // The page history of a web page.
    virtual void GoBack(bool back) = 0;

    // ---- the tab ----
    // Closes the tab; a locked one asks first when BROWSERTAB_CHECKLOCKCLOSE says so. False when it
    // stays open.
    virtual bool Close() = 0;
    // The tab lock on or off, shown by its picture.
    virtual void ToggleLock() = 0;
};
