#pragma once
// TMemoForm ("ヴァルネロメモ"): the always-on-top notepad with named pages (TMemoBook). The page
// shown is stored and saved when another tab is chosen, when the window loses the focus and when
// it is destroyed. Window bounds and the look are DESKTOP TAVUMEMO* settings.

#include <QWidget>
#include <memory>

class QAction;
class QMenu;
class QPlainTextEdit;
class QTabBar;
class TMemoBook;
class TMemoData;

class TMemoForm : public QWidget {
    Q_OBJECT
public:
    TMemoForm(const QString &profileDir, const QString &appDir, QWidget *parent = nullptr);
    ~TMemoForm() override;

    QTabBar *TabControl1;
    QPlainTextEdit *Memo1;
    QMenu *PopupMenu1;
    QAction *A1;
    QAction *Rename1;
    QAction *N1;
    QAction *N4;
    QAction *actSelectAll;
    TMemoBook &Book() { return *book; }

    void A1Click();
    void Rename1Click();
    void N1Click();
    // Takes the editor's text and positions into the current page and saves it.
    void StorePage();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TMemoData *CurrentPage() const;
    void ShowPage(int index);
    void Deactivated();

    std::unique_ptr<TMemoBook> book;
    int shownIndex = -1;
    int savedHeight = 0;
};
