#pragma once
// TKillPopupDialog ("ポップアップ抑止設定"): edits the two popup-suppression lists, killurl.txt on
// the tab "抑止URL" and killtitl.txt on "抑止タイトル". The edits of both tabs are kept while the
// user switches between them and written only on OK.

#include <QDialog>
#include <QStringList>

class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTabBar;

class TKillPopupDialog : public QDialog {
    Q_OBJECT
public:
    explicit TKillPopupDialog(QWidget *parent = nullptr);

    QTabBar *TabControl1 = nullptr;
    QPlainTextEdit *RichEdit1 = nullptr;
    QPushButton *Button1 = nullptr;   // OK
    QPushButton *Button2 = nullptr;   // キャンセル
    QPushButton *Button3 = nullptr;   // 重複削除(&D)
    QStatusBar *StatusBar1 = nullptr;

    void Button1Click();
    void Button3Click();

private:
    QStringList urls;
    QStringList titles;
    int shownTab = 0;

    QStringList &ListOf(int tab) { return tab == 0 ? urls : titles; }
    void TabChange(int tab);
    void RichEdit1Change();
    QStringList EditorLines() const;
    void ShowList(int tab);
};
