#pragma once
// THeeDialog: sends a vote for a thread to the outside vote service and shows the count it returns.

#include <QDialog>

class QLabel;

class THeeDialog : public QDialog {
    Q_OBJECT
public:
    explicit THeeDialog(QWidget *parent = nullptr);

    void SetThread(const QString &title, const QString &url);
    // Sends the vote (the configured template); a failure is logged and leaves the count empty.
    bool SendHee();

    QLabel *lblTitle;
    QLabel *lblUrl;
    QLabel *lblScore;

private:
    QString title;
    QString url;
};
