#include "controls/Dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>

namespace Dialogs {

namespace {

TMessageHandler &MessageHandler()
{
    static TMessageHandler handler;
    return handler;
}

TDialogHandler &DialogHandler()
{
    static TDialogHandler handler;
    return handler;
}

QString &MessageCaption()
{
    static QString caption;
    return caption;
}

QMessageBox::Icon IconOf(TMsgKind kind)
{
    switch (kind) {
    case mkWarning:
        return QMessageBox::Warning;
    case mkError:
        return QMessageBox::Critical;
    case mkInformation:
        return QMessageBox::Information;
    case mkConfirmation:
        break;
    }
    return QMessageBox::Question;
}

TMsgResult RunMessageBox(TMsgKind kind, const QString &text, TMsgButtons buttons)
{
    QMessageBox box(IconOf(kind), MessageCaption(), text,
                    buttons == mbYesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);   // texts may quote a server: never read as markup
    if (buttons == mbYesNo)
        box.setDefaultButton(QMessageBox::Yes);
    const int answer = box.exec();
    if (buttons == mbOK)
        return mrOK;
    return answer == QMessageBox::Yes ? mrYes : mrNo;
}

}  // namespace

void SetMessageCaption(const QString &caption)
{
    MessageCaption() = caption;
}

TMsgResult ShowMessage(TMsgKind kind, const QString &text)
{
    return ShowMessage(kind, text, kind == mkConfirmation ? mbYesNo : mbOK);
}

TMsgResult ShowMessage(TMsgKind kind, const QString &text, TMsgButtons buttons)
{
    if (MessageHandler())
        return MessageHandler()(kind, text, buttons);
    return RunMessageBox(kind, text, buttons);
}

bool AskYesNo(const QString &text, TMsgKind kind)
{
    return ShowMessage(kind, text, mbYesNo) == mrYes;
}

int ExecDialog(QDialog &dialog)
{
    if (DialogHandler())
        return DialogHandler()(dialog);
    return dialog.exec();
}

TMessageHandler SetMessageHandler(TMessageHandler handler)
{
    return std::exchange(MessageHandler(), std::move(handler));
}

TDialogHandler SetDialogHandler(TDialogHandler handler)
{
    return std::exchange(DialogHandler(), std::move(handler));
}

TScopedDialogHandlers::TScopedDialogHandlers(TMessageHandler messages, TDialogHandler dialogs)
    : oldMessages(SetMessageHandler(std::move(messages))),
      oldDialogs(SetDialogHandler(std::move(dialogs)))
{
}

TScopedDialogHandlers::~TScopedDialogHandlers()
{
    SetMessageHandler(std::move(oldMessages));
    SetDialogHandler(std::move(oldDialogs));
}

}  // namespace Dialogs
