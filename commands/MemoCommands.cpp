#include "commands/MemoCommands.h"

#include "controls/Dialogs.h"
#include "controls/WindowServices.h"
#include "core/Exceptions.h"
#include "core/TavuConfig.h"
#include "render/TavuListDoc.h"
#include "tools/AAEditor.h"
#include "tools/DebugForm.h"
#include "tools/MemoForm.h"

#include <QAbstractScrollArea>
#include <QEvent>

TMemoCommands::TMemoCommands(TWindowFrameServices &frame, TTabServices &tabs, TLayoutServices &layout, QObject *parent)
    : QObject(parent), frame(frame), tabs(tabs), layout(layout)
{
    frame.BindAction(QStringLiteral("actToolMemo"), this, [this] { actToolMemoExecute(); });
    frame.BindAction(QStringLiteral("actToolAA"), this, [this] { actToolAAExecute(); });
    if (auto *trace = qobject_cast<QAbstractScrollArea *>(layout.TracePane()))
        trace->viewport()->installEventFilter(this);
}

void TMemoCommands::actToolMemoExecute()
{
    if (!memoForm) {
        try {
            memoForm = new TMemoForm(TavuConfig->GetProfileDir(), TTavuConfig::AppDir(), frame.Window());
        } catch (const EVarnelo &e) {
            Dialogs::ShowMessage(Dialogs::mkError, e.Message);
            return;
        }
    }
    memoForm->show();
    memoForm->raise();
    memoForm->activateWindow();
}

void TMemoCommands::actToolAAExecute()
{
    TAAEditor editor(TavuConfig->GetProfileDir(), frame.Window());
    Dialogs::ExecDialog(editor);
}

TDebugForm *TMemoCommands::Memo3DblClick()
{
    TTavuListDoc *doc = tabs.CurrentListDoc();
    if (!doc || !doc->Items())
        return nullptr;
    auto *form = new TDebugForm(frame.Window());
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->SetItemList(*doc->Items());
    form->show();
    return form;
}

bool TMemoCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick)
        Memo3DblClick();
    return QObject::eventFilter(watched, event);
}
