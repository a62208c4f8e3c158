#pragma once
// TAAEditor ("一行AAエディタ"): edits the profile's aalist.txt, the one-line AA snippets the reply
// composer offers, in the composer's font. OK saves the lines (Shift_JIS, CR LF); Cancel writes
// nothing.

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

class TAAEditor : public QDialog {
    Q_OBJECT
public:
    explicit TAAEditor(const QString &profileDir, QWidget *parent = nullptr);

    QPlainTextEdit *Memo1;
    QPushButton *Button6;
    QPushButton *Button7;

    void Button6Click();

private:
    QString fileName;
};
