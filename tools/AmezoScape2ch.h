#pragma once
// TAmezoScape2ch: the outside full-text thread search dialog. OK sends the search without blocking
// the window; its hits go into the result list the main window gave, and the dialog closes. A
// failed search closes it too, with Failed() set so that it is not taken for a search without hits.
// Cancel, or stop-all, aborts a running search.

#include "net/HttpCli.h"

#include <QBuffer>
#include <QDialog>
#include <QTimer>

class QComboBox;
class QLineEdit;
class QPushButton;
class TThreadItemList;

class TAmezoScape2ch : public QDialog {
    Q_OBJECT
public:
    TAmezoScape2ch(TThreadItemList *results, QWidget *parent = nullptr);
    ~TAmezoScape2ch() override;

    void BitBtn1Click();
    void BitBtn2Click();
    bool Searching() const { return HttpCli1.IsBusy(); }
    bool Failed() const { return failed; }

    QComboBox *KeyWord;
    QComboBox *BoardKind;
    QComboBox *SortType;
    QLineEdit *DaisenseiUrl;
    QPushButton *BitBtn1;
    QPushButton *BitBtn2;
    THttpCli HttpCli1;

private:
    TThreadItemList *results;
    QBuffer reply;
    QTimer stopPoll;   // stop-all ends a running search
    bool failed = false;
    bool cancelled = false;

    void RecordKeyword(const QString &keyword);
    void HttpCli1RequestDone(bool requestFailed);
};
