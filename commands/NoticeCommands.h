#pragma once
// The notices of the rules: a notice rule that hits a post (while a thread tab is rendered) or a
// thread (while a thread list is prepared) adds a row to the notice window (TInfoDialog), made on
// the first hit and kept while the window lives. Opening a thread clears it.

#include <QObject>
#include <QPointer>

class TInfoDialog;
class TRes;
class TThreadItem;
class TThreadListServices;
class TReadingServices;
class TSearchViewServices;
class TTabServices;
class TWindowFrameServices;

class TNoticeCommands : public QObject {
    Q_OBJECT
public:
    explicit TNoticeCommands(TWindowFrameServices &frame, TTabServices &tabs, TReadingServices &reading,
                             TSearchViewServices &searchViews, TThreadListServices &threadList,
                             QObject *parent = nullptr);

    void AddResNotice(const QString &text, TThreadItem *item, const TRes &res);
    void AddThreadNotice(const QString &text, TThreadItem *item);
    // Empties the window when there is one (a thread is being opened).
    void Clear();
    TInfoDialog *Window() const;

private:
    TWindowFrameServices &frame;
    TTabServices &tabs;
    TReadingServices &reading;
    TSearchViewServices &searchViews;
    TThreadListServices &threadList;
    QPointer<TInfoDialog> dialog;

    TInfoDialog *ShownDialog();
};
