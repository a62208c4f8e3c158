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

TMemoCommands::TMemoCommands(TWindowServices &services, QObject *parent) : QObject(parent), services(services)
{
    services.BindAction(QStringLiteral("actToolMemo"), this, [this] { actToolMemoExecute(); });
    services.BindAction(QStringLiteral("actToolAA"), this, [this] { actToolAAExecute(); });
    if (auto *trace = qobject_cast<QAbstractScrollArea *>(services.TracePane()))
        trace->viewport()->installEventFilter(this);
}

void TMemoCommands::actToolMemoExecute()
{
    if (!memoForm) {
        try {
            memoForm = new TMemoForm(TavuConfig->GetProfileDir(), TTavuConfig::AppDir(), services.Window());
        } catch (const EVarnelo &e) {
            Kpwfunc::ShowMessage(Kpwfunc::mkError, e.Message);
            return;
        }
    }
    memoForm->show();
    memoForm->raise();
    memoForm->activateWindow();
}

void TMemoCommands::actToolAAExecute()
{
    TAAEditor editor(TavuConfig->GetProfileDir(), services.Window());
    Kpwfunc::ExecDialog(editor);
}

TDebugForm *TMemoCommands::Memo3DblClick()
{
    TTavuListDoc *doc = services.CurrentListDoc();
    if (!doc || !doc->Items())
        return nullptr;
    auto *form = new TDebugForm(services.Window());
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
