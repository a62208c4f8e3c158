#pragma once
// TBrowserTabCommands: the commands of the category "ブラウザ" that act on the browser tabs
// themselves: closing one, the others or all, the tab lock, the next and prior tab (wrapping), the
// page history, the text size, find and source, opening the address on the clipboard or in the
// default browser, and the popup-suppression lists (adding a page, closing a page whose title is
// listed, and their dialog). What a tab itself does (closing, its lock, its page history) is its
// controller's (TThreadTab, commands/ThreadTabController.h), to which those commands go.

#include <QObject>
#include <functional>

class QString;
class TTavuBrowser;
class TThreadTab;
class TWindowServices;

class TBrowserTabCommands : public QObject {
    Q_OBJECT
public:
    TBrowserTabCommands(TWindowServices &services, QObject *parent);

    void actBrowserCloseExecute();
    void actBrowserCloseAllExecute(bool allTabs);
    void actBrowserNextTabExecute(int step);
    void actBrowserNavClipboardExecute();
    void actBrowserOpenByBrowserExecute();
    void actBrowserKillUrlExecute(bool byTitle);
    void actBrowserFontMaxExecute(int level);
    void actToolKillPopupExecute();

    // A web page's title became known: a title of killtitl.txt closes the tab.
    void OnWebTitleChange(TTavuBrowser *tab, const QString &title);

private:
    TWindowServices &services;

    // Binds the command to an operation of the focused tab's controller; without a tab it does
    // nothing.
    void BindTab(const char *name, const std::function<void(TThreadTab &)> &operation);
    void Execute(const QString &name);
    bool IsChecked(const QString &name) const;
};
