#pragma once
// TCommentDialog ("コメント編集"): edits a thread's comment in a sizeable tool window. It holds a
// reference to the thread item while it lives. OK stores the comment in the item's index file and
// raises OnSaved; its bounds are kept in kpw.ini (DESKTOP COMMENTWIN_*).

#include <QDialog>
#include <functional>

class QPlainTextEdit;
class QPushButton;
class TThreadItem;

class TCommentDialog : public QDialog {
    Q_OBJECT
public:
    explicit TCommentDialog(QWidget *parent = nullptr);
    ~TCommentDialog() override;   // releases the item

    // Caption "メモの編集：" + title; the memo gets the item's comment.
    void SetThreadItem(TThreadItem *item);
    TThreadItem *ThreadItem() const { return item; }

    std::function<void(TCommentDialog *sender, TThreadItem *item)> OnSaved;

    void OKButtonClick();

    QPlainTextEdit *Memo = nullptr;
    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;   // "キャンセル"

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    TThreadItem *item = nullptr;
};
