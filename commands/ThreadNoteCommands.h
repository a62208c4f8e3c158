#pragma once
// A thread's priority and comment: actThreadPriority / actThreadListPriority (TPriorityDialog for
// the current tab's thread or the selected threads) and actThreadComment / actThreadListComment
// (TCommentDialog for the current tab's thread or the selected one).

#include <QObject>

class TThreadItem;
class TWindowServices;

class TThreadNoteCommands : public QObject {
    Q_OBJECT
public:
    explicit TThreadNoteCommands(TWindowServices &services, QObject *parent = nullptr);

    void actThreadPriorityExecute(bool fromList);
    void actThreadCommentExecute(bool fromList);

private:
    TWindowServices &services;
    QList<TThreadItem *> Targets(bool fromList) const;
};
