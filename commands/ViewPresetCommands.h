#pragma once
// TViewPresetCommands: actToolVarnelo1View, the dialog that switches the 1.0-style layout of the
// bars and tab bars on or back off (TKpw10ViewMode over TViewModePreset). After a switch the main
// window reloads its bars and layout and both the thread-list and the browser panes are shown.

#include <QObject>

class TBarServices;
class TWindowFrameServices;

class TViewPresetCommands : public QObject {
    Q_OBJECT
public:
    TViewPresetCommands(TWindowFrameServices &frame, TBarServices &bars, QObject *parent = nullptr);

    void actToolVarnelo1ViewExecute();

private:
    TWindowFrameServices &frame;
    TBarServices &bars;
};
