#pragma once
// Dialogs answered by the test: message boxes are kept in the window environment's Messages and
// answered OK; a dialog run is handed to answer (when there is one) and its class name is kept.

#include "WindowTestEnv.h"

#include "controls/Dialogs.h"

#include <QDialog>
#include <QStringList>
#include <functional>

class TDialogAnswers {
public:
    TDialogAnswers(TWindowEnv &env, std::function<void(QDialog &)> answer)
        : handlers(
              [&env](Dialogs::TMsgKind, const QString &text, Dialogs::TMsgButtons) {
                  env.Messages << text;
                  return Dialogs::mrOK;
              },
              [this, answer](QDialog &dialog) {
                  Shown << QString::fromLatin1(dialog.metaObject()->className());
                  if (answer)
                      answer(dialog);
                  return dialog.result();
              })
    {
    }
    QStringList Shown;

private:
    Dialogs::TScopedDialogHandlers handlers;
};
