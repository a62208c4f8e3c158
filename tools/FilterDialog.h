#pragma once
// TFilterDialog ("フィルター"): the criteria of a temporary filter, either of the posts of a thread
// (the posts page: all fields, handle, ID, body or mail) or of a thread list (the thread page:
// title or dat number). The filter only chooses what a new tab shows; nothing is removed from a
// log or a list. The dialog keeps its choices in kpw.ini (FILTERDLG) and the texts asked for in
// the search history findlog.txt.

#include "services/ResSearch.h"
#include "services/ThreadListPane.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class TResList;
class TThreadItemList;

class TFilterDialog : public QDialog {
    Q_OBJECT
public:
    explicit TFilterDialog(QWidget *parent = nullptr);

    // The posts page in front: the handle, mail and ID boxes list the distinct values of the posts
    // (list may be null), the handles sorted.
    void SetResList(const TResList *list);
    // The thread page in front: the dat box lists the distinct keys of the threads.
    void SetThreadList(const TThreadItemList &items);
    // The width check box of the page in front.
    bool GetIgnoreWidth() const;
    bool ThreadPageShown() const;

    // What the posts page asks for.
    ResSearch::TResSearch ResSearch() const;
    // What the thread page asks for.
    ThreadListPane::TThreadFilter ThreadFilter() const;

    // OK: the choices are stored, the text asked for goes first in its history, the dialog closes.
    void OKButtonClick();

    QStackedWidget *Pages = nullptr;
    // posts page
    QRadioButton *AllRadio = nullptr;       // "すべて"
    QRadioButton *HandleRadio = nullptr;    // "ハンドル名"
    QRadioButton *IDRadio = nullptr;        // "ID"
    QRadioButton *BodyRadio = nullptr;      // "本文"
    QRadioButton *MailRadio = nullptr;      // "メールアドレス"
    QComboBox *AllCombo = nullptr;
    QComboBox *HandleCombo = nullptr;
    QComboBox *IDCombo = nullptr;
    QComboBox *BodyCombo = nullptr;
    QComboBox *MailCombo = nullptr;
    QRadioButton *ExactRadio = nullptr;     // "完全一致"
    QRadioButton *PartialRadio = nullptr;   // "部分一致"
    QCheckBox *ResNewOnly = nullptr;        // "新着のみ"
    QCheckBox *ResIgnoreWidth = nullptr;    // "全角・半角を区別しない"
    // thread page
    QRadioButton *TitleRadio = nullptr;     // "タイトル"
    QRadioButton *DatRadio = nullptr;       // "DAT番号"
    QComboBox *TitleCombo = nullptr;
    QComboBox *DatCombo = nullptr;
    QCheckBox *ThreadNewOnly = nullptr;
    QCheckBox *ThreadIgnoreWidth = nullptr;

    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *CreateResPage();
    QWidget *CreateThreadPage();
    QComboBox *AddChoice(QGridLayout *grid, QRadioButton *&radio, const QString &caption);
    void LoadChoices();
    void StoreChoices();
    QComboBox *ChosenCombo() const;
};
