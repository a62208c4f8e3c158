#pragma once
// Link extraction: actThreadExtractLink gives TExtractLinkDialog the posts of the current thread
// tab, actThreadListExtractLink the logs of the threads selected in the thread list.

#include <QObject>

class TExtractLinkDialog;
class TWindowServices;

class TLinkCommands : public QObject {
    Q_OBJECT
public:
    explicit TLinkCommands(TWindowServices &services, QObject *parent = nullptr);

    TExtractLinkDialog *actThreadExtractLinkExecute();
    TExtractLinkDialog *actThreadListExtractLinkExecute();

private:
    TExtractLinkDialog *Open(TExtractLinkDialog *dialog);

    TWindowServices &services;
};
