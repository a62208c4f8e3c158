#pragma once
// TThreadCommands: the commands of the category "スレッド" that act on the thread of the focused
// browser tab: reload, cancel, fetching the log anew, deleting it, copying its URL and title, going
// to a response or the read point, erasing checked responses, past-log mark, output of the log.
// What the tab itself does (reload, cancel, refetch, show all, scroll) is its controller's
// (TThreadTab, commands/ThreadTabController.h), to which those commands go.

#include <QObject>

#include <QList>
#include <functional>

class QAction;
class QString;
class TRes;
class TTavuBrowser;
class TThreadItem;
class TSearchViewServices;
class TThreadViewServices;
class TThreadTab;
class TWindowServices;

class TThreadCommands : public QObject {
    Q_OBJECT
public:
    TThreadCommands(TWindowServices &services, QObject *parent);

    void actThreadDeleteLogExecute();
    void actThreadDeleteLogCloseExecute();
    void actThreadCopyUrlExecute(int kind);
    void actThreadGoResExecute();
    void actThreadGoBookmarkExecute();
    void actThreadDeleteReadPointExecute();
    void actThreadSetKokoyonToLastExecute();
    void actThreadOpenThreadListExecute();
    void actThreadSetKakoLogExecute();
    void actThreadResAboneExecute();
    void actThreadExecActionExecute();
    void actThreadSaveLogExecute();
    void actThreadOutputExecute(bool html);
    void actThreadShow1Execute();
    void actThreadShow1Hint(QAction *action);
    void actThreadReadNextExecute();

    // Goes to response n of the tab: scrolled to when shown, else shown in the preview; an erased
    // or hidden response is named in a message.
    static void GoToRes(TSearchViewServices &services, TTavuBrowser *tab, int number);
    // The read point ("ここまで読んだ") on response n: saved, drawn as RELOADKOKOYON says, scrolled to.
    static void SetReadPoint(TThreadViewServices &services, TTavuBrowser *tab, int number);
    // The responses of the tab are erased: marked in its list and its log, gone from the view.
    static void EraseRes(TThreadViewServices &services, TTavuBrowser *tab, const QList<TRes *> &responses);

private:
    TWindowServices &services;

    void Bind(const char *name, void (TThreadCommands::*handler)());
    // Binds the command to an operation of the focused tab's controller; without a tab it does
    // nothing.
    void BindTab(const char *name, const std::function<void(TThreadTab &)> &operation);
    // The focused tab when it shows a thread, with its item; nullptr otherwise.
    TTavuBrowser *ThreadTab(TThreadItem *&item) const;
    bool NeedSaveMode(const QString &message) const;
    void SaveLog(TTavuBrowser *tab, TThreadItem *item);
};
