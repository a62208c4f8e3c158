#pragma once
// TAmezoScape2ch: the outside full-text thread search dialog. OK runs the search; its hits go into
// the result list the main window gave, and the dialog closes. A failed search closes it too, with
// Failed() set so that it is not taken for a search without hits.

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class TThreadItemList;

class TAmezoScape2ch : public QDialog {
    Q_OBJECT
public:
    TAmezoScape2ch(TThreadItemList *results, QWidget *parent = nullptr);

    void BitBtn1Click();
    bool Failed() const { return failed; }

    QComboBox *KeyWord;
    QComboBox *BoardKind;
    QComboBox *SortType;
    QLineEdit *DaisenseiUrl;
    QPushButton *BitBtn1;
    QPushButton *BitBtn2;

private:
    TThreadItemList *results;
    bool failed = false;

    void RecordKeyword(const QString &keyword);
};
