#pragma once
// TToolCommands: the external tools of tool.txt, the web searches of search.txt, the online switch,
// stop-all, save mode, the past-log login, the proxy switches, the log pane's typed commands, the tab buttons' middle
// click, the fixed pages of some sites and the browser's find, source and options commands.
//
// A tool starts through QProcess with an argument list, never through a shell: the arguments of
// tool.txt are split as a command line is (blanks separate, double quotes group, three double
// quotes give one), and the thread's URL, when asked for, is one more argument as it is.

#include <QObject>
#include <QString>
#include <QStringList>

class QTimer;
class TSearchEngineMenuItem;
class TToolMenuItem;
class TTavuBrowser;
class TWindowServices;

class TToolCommands : public QObject {
    Q_OBJECT
public:
    TToolCommands(TWindowServices &services, QObject *parent = nullptr);

    // ---- tools and web search ----
    // Before the tools menu opens: the settings that need sites follow whether there are any, and
    // the proxy switches show the stored settings.
    void ToolsMenuOpening();
    // The arguments a tool is given: its argument text split, then the URL when appendUrl is set
    // and the URL is not empty.
    static QStringList ToolArguments(const QString &arguments, const QString &url, bool appendUrl);
    // Starts the tool in its working folder (the current folder when none), with the open thread's
    // URL when the tool asks for it. False (with a log line) when it could not start.
    bool LaunchTool(const TToolMenuItem *tool);
    // Opens the search of the entry for the current thread tab's selected text.
    void WebSearch(const TSearchEngineMenuItem *entry);

    // ---- modes ----
    // The online switch; going offline also logs out of the past-log service.
    void actOnlineExecute();
    void actSaveModeExecute();
    void act2chLoginExecute();
    void actToolUseProxyExecute(bool sending);
    static void actMachibbsBoardlistExecute();
    // The proxy switches show what the configuration says (also after the option dialog).
    void ShowProxyStates();
    // Stop-all (actDisconnect): every request is stopped and the stop flag set; two seconds later
    // (DisconnectTimer) the flag is cleared, every tab is idle again and the busy indication ends.
    void actDisconnectExecute();
    void DisconnectTimerTimer();

    // ---- log pane ----
    struct TLogCommand {
        enum TKind { lcNone, lcPopup, lcGo } Kind = lcNone;
        int Number = 0;
    };
    // "n" pops up post n, "go n" goes to it (full-width digits and blanks are accepted).
    static TLogCommand ParseLogCommand(const QString &line);
    // Runs the command on the current thread tab; false when it names no post of it.
    bool RunLogCommand(const TLogCommand &command);
    // Goes to post n of the tab: an erased or hidden post is reported, one the view does not show
    // pops up, any other is scrolled to.
    void GoToRes(TTavuBrowser *tab, int number);

private:
    TWindowServices &services;
    QTimer *disconnectTimer;

    void BindSiteAndBrowserCommands();
    // Enter in the log pane: runs the line as a command; false when it is none.
    bool RunLogLine(const QString &line);
    void PopupRes(TTavuBrowser *tab, int number);
};
