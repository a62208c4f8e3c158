#pragma once
// Link extraction: actThreadExtractLink gives TExtractLinkDialog the posts of the current thread
// tab, actThreadListExtractLink the logs of the threads selected in the thread list.

#include <QObject>

class TExtractLinkDialog;
class TThreadListServices;
class TReadingServices;
class TTabServices;
class TWindowFrameServices;

class TLinkCommands : public QObject {
    Q_OBJECT
public:
    explicit TLinkCommands(TWindowFrameServices &frame, TTabServices &tabs, TReadingServices &reading,
                           TThreadListServices &threadList, QObject *parent = nullptr);

    TExtractLinkDialog *actThreadExtractLinkExecute();
    TExtractLinkDialog *actThreadListExtractLinkExecute();

private:
    TExtractLinkDialog *Open(TExtractLinkDialog *dialog);

    TWindowFrameServices &frame;

    TTabServices &tabs;

    TReadingServices &reading;

    TThreadListServices &threadList;
};
