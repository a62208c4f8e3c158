#pragma once
// TShortcutAddCommands: the current thread (actThreadAddShortcut) or the board tree's board
// (actBoardAddShortcut) put on the shortcut bar through the shortcut dialog; a thread that is on the
// bar already is taken off instead.

#include <QObject>

class TWindowServices;

class TShortcutAddCommands : public QObject {
    Q_OBJECT
public:
    TShortcutAddCommands(TWindowServices &services, QObject *parent);

    void actThreadAddShortcutExecute();
    void actBoardAddShortcutExecute();

private:
    TWindowServices &services;
};
