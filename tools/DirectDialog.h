#pragma once
// TDirectDialog: the program's information tree, kept in the profile as direct.txt (one node per
// line, its depth the number of leading TAB characters) and refreshed from the information site.

#include <QDialog>

class QAction;
class QLabel;
class QToolButton;
class QTreeWidget;

class TDirectDialog : public QDialog {
    Q_OBJECT
public:
    // The information file on the program's information site.
    static QString InfoUrl;

    explicit TDirectDialog(QWidget *parent = nullptr);

    // Fills the tree from the profile's direct.txt (empty when there is none).
    void LoadTree();
    // Fetches the information file; on success it replaces direct.txt and the tree is read again.
    // A failure is logged and leaves file and tree as they were.
    bool SpeedButton1Click();

    QTreeWidget *TreeView1;
    QToolButton *SpeedButton1;   // "最新の情報を取得"
    QAction *N1;                 // "最新情報取得" of the tree's menu, the same
    QLabel *StatusBar1;

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool shownOnce = false;
};

// The tree text: one node per line, depth by leading TABs; a line deeper than one below the line
// before it is taken as its child.
void LoadTreeText(QTreeWidget *tree, const QString &text);
