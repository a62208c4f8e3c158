#pragma once
// TStartupSequence: the deferred start-up of the main window.
//
// Once the window is built, a one-shot timer (StartupTimer) runs the steps, each announced by
// StepBegun as it begins and some with a progress text on the splash: the tab bars placed, the
// panes the last run showed, the user files prepared, the board types, the sites, the site box,
// the thread-list column widths, the site shown first, the tool bars and popup menus, the shortcut
// bars, the rule lists, the online state, the focus timer, the command states and the BBS bar, the
// splash closed, the automatic logins, the command line, and the page of "ヴァルネロダイレクト"
// when the settings ask for it. The order is fixed, because each step relies on the ones before
// (the board tree needs the sites, the sites need the board types, the tool bars need the actions
// with their shortcuts). The steps reach the window through the services; the three that are the
// window's own it is handed as callbacks.
//
// Command lines that a later copy of the program hands over during the start-up wait until the
// window's own has been applied: the sites must be there to recognise a thread, and the start-up
// sets save mode itself.

#include "flows/StartArguments.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class QTimer;
class TSplashWindow;
class TWindowServices;

class TStartupSequence : public QObject {
    Q_OBJECT
public:
    // The splash, when given, shows the progress and is closed by the sequence.
    TStartupSequence(TWindowServices &services, TSplashWindow *splash, QObject *parent);

    // The window's own steps: filling the site box with the tools and web-search menus
    // ("sitebox"), giving the thread-list columns their stored widths ("columns"), starting the
    // focus-follows-mouse timer ("focus", only when AUTOACTIVE is on).
    std::function<void()> FillSiteBox;
    std::function<void()> ApplyColumnWidths;
    std::function<void()> StartFocusTimer;

    // The command line this copy was started with; applied at the end of the start-up.
    void SetCommandLine(const QStringList &arguments);
    // A progress text on the splash (nothing without one).
    void SetSplashMessage(const QString &text);
    // Runs the steps after the timer's interval.
    void Start();
    // Runs the steps now instead of waiting for the timer (they run only once).
    void Run();
    bool Done() const { return done; }
    // True once the rule lists were read: only then may shutdown write them back.
    bool RulesLoaded() const { return rulesLoaded; }

    // Arguments handed over by a later copy: applied at once, or right after the own command line
    // while the start-up has not applied it yet.
    void HandOver(const QStringList &arguments);

signals:
    // Each step, as it begins (for the log and for observers).
    void StepBegun(const QString &step);
    // Lines of the registry's trace of requests and replies, in their order, for the trace pane
    // (delivered on the GUI thread).
    void TraceLines(const QStringList &lines);

private:
    TWindowServices &services;
    TSplashWindow *splash;
    QTimer *timer;
    QStringList commandLine;
    bool done = false;
    bool rulesLoaded = false;
    bool handOversWaiting = true;          // until the start-up applied the own command line
    QList<QStringList> pendingHandOvers;   // hand-overs that came before

    void RunStep(const QString &step, const QString &splashText, const std::function<void()> &work);
    void Call(const std::function<void()> &step);
    void Execute(const QString &name);
    void SetChecked(const QString &name, bool checked);
    void ApplyPaneChoices();
    void PrepareUserFiles();
    void LoadBoardTypes();
    void LoadSites();
    void ChooseStartupSite();
    void LoadRuleLists();
    void ApplyOnlineState();
    void CloseSplash();
    void AutoLogin();
    void ApplyOwnCommandLine();
    // "-n" turns save mode off for this run; a URL opens as a thread of a known board, or as a web
    // page.
    void ApplyStartArguments(const TStartArguments &arguments);
};
