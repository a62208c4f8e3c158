#pragma once
// TAboneDialog ("問い合わせ消去"): erases posts of the open thread, or threads of a list, chosen by
// criteria and check marks. Each criterion's "適用" checks the rows that meet it and leaves the
// other check marks alone; OK erases what is checked (QueryErase does the work) and logs it
// through OnLog. Erasing only marks: the logs keep every text (see EraseRestore).

#include "services/QueryErase.h"

#include <QDialog>
#include <functional>

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStackedWidget;
class QStatusBar;
class QTreeWidget;
class QTreeWidgetItem;

class TAboneDialog : public QDialog {
    Q_OBJECT
public:
    explicit TAboneDialog(QWidget *parent = nullptr);

    // The posts page: every post not yet erased, the last first; the last row selected.
    void SetResList(TResList *list);
    // The threads page: every thread of the list not yet erased. OK removes the erased threads
    // from this list.
    void SetThreadList(TThreadItemList *list);

    // The log lines of the erase (sender, line).
    std::function<void(TAboneDialog *sender, const QString &line)> OnLog;
    // How many posts or threads the last OK erased.
    int ErasedCount() const { return erased; }

    // The criteria's "適用" buttons.
    void ApplyHandle();
    void ApplyNumber();
    void ApplyWord();
    void ApplyMail();
    void ApplyID();
    void ApplyLength();
    void ApplyTitleWord();
    void ApplyDatNumber();
    void CheckAll(bool on);
    void OKButtonClick();

    QStackedWidget *Pages = nullptr;
    QTreeWidget *ResListView = nullptr;      // "あぼーんするレス :"
    QComboBox *HandleCombo = nullptr;
    QRadioButton *HandleExact = nullptr;
    QRadioButton *HandlePartial = nullptr;
    QSpinBox *FromSpin = nullptr;
    QSpinBox *ToSpin = nullptr;
    QLineEdit *WordEdit = nullptr;
    QComboBox *MailCombo = nullptr;
    QRadioButton *MailExact = nullptr;
    QRadioButton *MailPartial = nullptr;
    QComboBox *IDCombo = nullptr;
    QSpinBox *LengthSpin = nullptr;
    QTreeWidget *ThreadListView = nullptr;
    QComboBox *TitleWordCombo = nullptr;     // history Qryabntt.txt
    QLineEdit *DatEdit = nullptr;
    QStatusBar *StatusBar = nullptr;
    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;

private:
    QList<QueryErase::TResRow> resRows;
    QList<QueryErase::TThreadRow> threadRows;
    TThreadItemList *threadList = nullptr;
    QStringList titleWords;
    int erased = 0;

    QWidget *CreateResPage();
    QWidget *CreateThreadPage();
    QTreeWidget *NewList(const QStringList &columns);
    void ApplyRes(const QueryErase::TResCriterion &criterion);
    void ShowChecks();
    void TakeChecks();
    void ItemChanged(QTreeWidgetItem *row, int column);
    void Log(const QString &line);
    QueryErase::TMatchMode HandleMode() const;
    QueryErase::TMatchMode MailMode() const;
};
