#pragma once
// Tool windows of the memo family: actToolMemo shows the memo window (TMemoForm), made on first
// use and kept until the program ends; actToolAA runs the one-line AA editor (TAAEditor); a double
// click on the trace pane opens the thread-item monitor (TDebugForm) for the current board tab.

#include <QObject>
#include <QPointer>

#include "tools/MemoForm.h"
class TDebugForm;
class TLayoutServices;
class TTabServices;
class TWindowFrameServices;

class TMemoCommands : public QObject {
    Q_OBJECT
public:
    explicit TMemoCommands(TWindowFrameServices &frame, TTabServices &tabs, TLayoutServices &layout,
                           QObject *parent = nullptr);

    void actToolMemoExecute();
    void actToolAAExecute();
    TDebugForm *Memo3DblClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    TMemoForm *MemoForm() const { return memoForm; }

private:
    TWindowFrameServices &frame;
    TTabServices &tabs;
    TLayoutServices &layout;
    QPointer<TMemoForm> memoForm;
};
