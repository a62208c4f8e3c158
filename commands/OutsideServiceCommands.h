#pragma once
// The commands that reach services beyond the board itself: the board settings viewer
// (act2chShowSettingTxt).

#include <QObject>

class TBoard;
class TWindowServices;

class TOutsideServiceCommands : public QObject {
    Q_OBJECT
public:
    explicit TOutsideServiceCommands(TWindowServices &services, QObject *parent = nullptr);

    void act2chShowSettingTxtExecute();

private:
    TWindowServices &services;
};
