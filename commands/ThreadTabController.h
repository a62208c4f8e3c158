#pragma once
// TThreadTabController: one per browser tab, made by the tab manager with the tab and freed with it
// (it is the tab's child). It is what the tab does for the commands of the categories "スレッド" and
// "ブラウザ": the command units ask the services for the focused tab's controller once
// (TTabServices::FocusedTab) and call its operation, so a command acts on the tab that has the
// focus and on no other. The requests of the tab's thread run in the thread flow
// (flows/ThreadController.h), which the controller starts through the services.

#include "controls/ThreadTab.h"

#include <QObject>

class TWindowServices;

class TThreadTabController : public QObject, public TThreadTab {
    Q_OBJECT
public:
    TThreadTabController(TTavuBrowser &tab, TWindowServices &services);

    TTavuBrowser &Tab() const override { return tab; }
    TThreadItem *Thread() const override;

    void Reload() override;
    void Stop() override;
    void Refetch() override;
    void ShowAll() override;
    void ScrollStep(bool up) override;
    void GoBack(bool back) override;

    bool Close() override;
    void ToggleLock() override;

signals:
    // A web page told its title: the tab's caption shows it.
    void CaptionChanged();

private:
    TTavuBrowser &tab;
    TWindowServices &services;

    void WebTitleChanged(const QString &title);
};
