#pragma once
// A thread's priority and comment: actThreadPriority / actThreadListPriority (TPriorityDialog for
// the current tab's thread or the selected threads) and actThreadComment / actThreadListComment
// (TCommentDialog for the current tab's thread or the selected one).

#include <QObject>

class TThreadItem;
class TThreadListServices;
class TTabServices;
class TThreadViewServices;
class TWindowFrameServices;

class TThreadNoteCommands : public QObject {
    Q_OBJECT
public:
    explicit TThreadNoteCommands(TWindowFrameServices &frame, TTabServices &tabs, TThreadViewServices &views,
                                 TThreadListServices &threadList, QObject *parent = nullptr);

    void actThreadPriorityExecute(bool fromList);
    void actThreadCommentExecute(bool fromList);

private:
    TWindowFrameServices &frame;
    TTabServices &tabs;
    TThreadViewServices &views;
    TThreadListServices &threadList;
    QList<TThreadItem *> Targets(bool fromList) const;
};
