#pragma once
// TSelectedResCommands: the commands of the categories "選択レス" and "ブラウザ選択": they act on the
// response whose menu was opened in the current thread tab (its number is the tab's
// ClickedResNumber) or on the text selected in the tab: copies in their formats, replies quoting
// it, the read point, erasing it.

#include <QObject>

class TRes;
class TTavuBrowser;
class TWindowServices;

class TSelectedResCommands : public QObject {
    Q_OBJECT
public:
    TSelectedResCommands(TWindowServices &services, QObject *parent);

    void actSelectResCopyExecute(int kind);
    void actSelectResWriteExecute(bool quote);
    void actSelectResReadPointExecute();
    void actSelectResAboneExecute();
    void actSelectionCopyExecute();

private:
    TWindowServices &services;

    // The current thread tab and its selected response; nullptr when there is none.
    TTavuBrowser *SelectedRes(TRes *&res) const;
};
