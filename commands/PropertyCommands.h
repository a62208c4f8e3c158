#pragma once
// TPropertyCommands: the property window of the current thread (actThreadProperty), of the first
// selected thread of the thread list (actThreadListProperty) and of the board tree's board
// (actBoardProperty).

#include <QObject>

class TThreadItem;
class TWindowServices;

class TPropertyCommands : public QObject {
    Q_OBJECT
public:
    TPropertyCommands(TWindowServices &services, QObject *parent);

    void actThreadPropertyExecute();
    void actThreadListPropertyExecute();
    void actBoardPropertyExecute();

private:
    TWindowServices &services;

    void ShowThread(TThreadItem *item);
};
