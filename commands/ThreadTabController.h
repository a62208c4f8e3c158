#pragma once
// TThreadTabController: one per browser tab, made by the tab manager with the tab and freed with it
// (it is the tab's child). It is what the tab does for the commands of the categories "スレッド" and
// "ブラウザ": the command units ask the services for the focused tab's controller once
// (TTabServices::FocusedTab) and call its operation, so a command acts on the tab that has the
// focus and on no other. The requests of the tab's thread run in the thread flow
// (flows/ThreadController.h), which the controller starts through the services.

#include <QObject>

class TThreadItem;
class TTavuBrowser;
class TWindowServices;

class TThreadTabController : public QObject {
    Q_OBJECT
public:
    TThreadTabController(TTavuBrowser &tab, TWindowServices &services);

    TTavuBrowser &Tab() const { return tab; }
    // The tab's thread when the tab shows one with its responses; nullptr for a web page.
    TThreadItem *Thread() const;

    // ---- the page ----
    // A web page loads again; a thread asks its server for new responses; an extract shows its
    // responses again, unmarked.
    void Reload();
    // Stops the download of the tab's thread.
    void Stop();
    // "ログの再取得": the log is fetched whole again, the view kept at the response on top. The old
    // log is kept as ".bak" first, and only a log whose copy was made is deleted.
    void Refetch();
    // The extract mode ends: every response shows again.
    void ShowAll();
    // The view scrolls one step up or down.
    void ScrollStep(bool up);
    // The page history of a web page.
    void GoBack(bool back);

    // ---- the tab ----
    // Closes the tab; a locked one asks first when BROWSERTAB_CHECKLOCKCLOSE says so. False when it
    // stays open.
    bool Close();
    // The tab lock on or off, shown by its picture.
    void ToggleLock();

signals:
    // A web page told its title: the tab's caption shows it.
    void CaptionChanged();

private:
    TTavuBrowser &tab;
    TWindowServices &services;

    void WebTitleChanged(const QString &title);
};
