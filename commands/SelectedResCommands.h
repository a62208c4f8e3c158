#pragma once
// TSelectedResCommands: the commands of the categories "選択レス" and "ブラウザ選択": they act on the
// response whose menu was opened in the current thread tab (its number is the tab's
// ClickedResNumber) or on the text selected in the tab: copies in their formats, replies quoting
// it, the read point, erasing it.

#include <QObject>

class TRes;
class TTavuBrowser;
class TReadingServices;
class TTabServices;
class TThreadViewServices;
class TWindowFrameServices;

class TSelectedResCommands : public QObject {
    Q_OBJECT
public:
    TSelectedResCommands(TWindowFrameServices &frame, TTabServices &tabs, TReadingServices &reading,
                         TThreadViewServices &views, QObject *parent);

    void actSelectResCopyExecute(int kind);
    void actSelectResWriteExecute(bool quote);
    void actSelectResReadPointExecute();
    void actSelectResAboneExecute();
    void actSelectionCopyExecute();

private:
    TWindowFrameServices &frame;
    TTabServices &tabs;
    TReadingServices &reading;
    TThreadViewServices &views;

    // The current thread tab and its selected response; nullptr when there is none.
    TTavuBrowser *SelectedRes(TRes *&res) const;
};
