#pragma once
// TNewThreadDialog ("スレッドをたてる"): the composer of a new thread on a board. It is the reply
// composer with a title and a password above the pages, prepared for a board instead of a thread:
// no per-thread handles, no remembered values, no confirmations and no tool-bar layout. Its log is
// thrdlog.txt, which it writes at every new thread whatever SAVEHIST_SEND says, together with the
// handle and mail histories.

#include "tools/SendDialog.h"

class QComboBox;
class QLineEdit;

class TNewThreadDialog : public TSendDialog {
    Q_OBJECT
public:
    explicit TNewThreadDialog(QWidget *parent = nullptr);

    // Prepares the composer for the board: the switches and the password its board type allows,
    // the histories and the handle and mail fixed for the board.
    void SetBoard(TBoard *target);

    QLineEdit *Title = nullptr;
    QComboBox *Password = nullptr;

    // Kept for the post by the main window: the board's URL, the thread-list document the command
    // came from and the text fetched from the board before the composer was shown.
    QString BoardUrl;
    QPointer<QObject> Doc;
    QString PrefetchedText;

    void UpdatePreview(TTavuBrowser *preview) override;
    void LoadBarLayout() override {}
    void SaveBarLayout() override {}
    void WritePostLog() override;
    QString GetPostLogFile() const override;
    void SaveHistory() override;

protected:
    void actSendExecute() override;
};
