#pragma once
// TFindBar ("このページの検索"): the search of the page a browser control shows, as a small bar over
// the control's top right corner: the text, "前へ" and "次へ", the number of matches and a close
// button. Enter finds the next match, Shift+Enter the one before. Escape, like the close button,
// closes the bar, takes the marks off the page and gives the page the focus back; in the bar the key
// is the bar's own and never reaches the window's command on it.

#include <QFrame>

class QLabel;
class QLineEdit;
class QToolButton;
class TEmbeddedWB;

class TFindBar : public QFrame {
    Q_OBJECT
public:
    // The bar of the browser control, made on first use.
    static TFindBar *Of(TEmbeddedWB *browser);

    // Shows the bar with its text selected, ready to type.
    void Open();
    // Finds the next (or the one before) match of the text.
    void FindNext(bool backward = false);
    // Hides the bar and takes the marks off the page.
    void Close();

    QLineEdit *Edit = nullptr;
    QLabel *Matches = nullptr;   // "n 件" after a search
    QToolButton *PriorButton = nullptr;
    QToolButton *NextButton = nullptr;
    QToolButton *CloseButton = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit TFindBar(TEmbeddedWB *browser);
    void Place();

    TEmbeddedWB *browser;
};
