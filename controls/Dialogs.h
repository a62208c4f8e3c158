#pragma once
// The one way the window side shows message boxes and runs modal dialogs.
//
// Every message box of the program goes through Dialogs::ShowMessage and every modal dialog through
// Dialogs::ExecDialog, so that a handler can stand in for the user: the tests install one that
// records what was asked and answers at once, and nothing ever blocks on a window nobody sees.
// Without a handler the message box or the dialog runs modally as usual.
//
// Messages are of four kinds (warning, error, information, confirmation) with either an OK button
// or Yes and No; only Yes continues a confirmation.

#include <QString>
#include <functional>

class QDialog;
class QWidget;

namespace Dialogs {

enum TMsgKind { mkWarning, mkError, mkInformation, mkConfirmation };
enum TMsgButtons { mbOK, mbYesNo };
enum TMsgResult { mrOK, mrYes, mrNo };

// The caption of the message boxes: the program's title. It is kept here and not as Qt's
// application display name, which Qt would append to every window caption.
void SetMessageCaption(const QString &caption);

// Shows a message box on the active window. Confirmations get Yes and No unless told otherwise,
// the other kinds OK. The caption is the program's title.
TMsgResult ShowMessage(TMsgKind kind, const QString &text);
TMsgResult ShowMessage(TMsgKind kind, const QString &text, TMsgButtons buttons);

// Asks with Yes and No (a confirmation unless another kind is given); true only for Yes.
bool AskYesNo(const QString &text, TMsgKind kind = mkConfirmation);

// Runs a dialog modally (QDialog::exec) and returns its result (QDialog::Accepted or Rejected).
// File, colour and font dialogs go through here too, as QFileDialog, QColorDialog or QFontDialog.
int ExecDialog(QDialog &dialog);

// Handlers that stand in for the user. Each setter returns the handler it replaced; an empty
// handler brings the real message box or dialog back.
using TMessageHandler = std::function<TMsgResult(TMsgKind kind, const QString &text, TMsgButtons buttons)>;
using TDialogHandler = std::function<int(QDialog &dialog)>;
TMessageHandler SetMessageHandler(TMessageHandler handler);
TDialogHandler SetDialogHandler(TDialogHandler handler);

// Installs handlers for the lifetime of the object and puts the previous ones back afterwards.
class TScopedDialogHandlers {
public:
    explicit TScopedDialogHandlers(TMessageHandler messages, TDialogHandler dialogs = TDialogHandler());
    ~TScopedDialogHandlers();
    TScopedDialogHandlers(const TScopedDialogHandlers &) = delete;
    TScopedDialogHandlers &operator=(const TScopedDialogHandlers &) = delete;

private:
    TMessageHandler oldMessages;
    TDialogHandler oldDialogs;
};

}  // namespace Dialogs
