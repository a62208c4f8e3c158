#include "tools/KillPopupDialog.h"

#include "controls/Dialogs.h"
#include "core/Exceptions.h"
#include "core/TextList.h"
#include "services/PopupKillList.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QVBoxLayout>

TKillPopupDialog::TKillPopupDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("KillPopupDialog"));
    setWindowTitle(QStringLiteral("ポップアップ抑止設定"));
    TabControl1 = new QTabBar(this);
    TabControl1->addTab(QStringLiteral("抑止URL"));
    TabControl1->addTab(QStringLiteral("抑止タイトル"));
    RichEdit1 = new QPlainTextEdit(this);
    RichEdit1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button2 = new QPushButton(QStringLiteral("キャンセル"), this);
    Button3 = new QPushButton(QStringLiteral("重複削除(&D)"), this);
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setSizeGripEnabled(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Button3);
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(TabControl1);
    layout->addWidget(RichEdit1, 1);
    layout->addLayout(buttons);
    layout->addWidget(StatusBar1);
    resize(420, 360);

    urls = PopupKillList::Load(PopupKillList::UrlFile());
    urls.sort();
    titles = PopupKillList::Load(PopupKillList::TitleFile());
    connect(RichEdit1, &QPlainTextEdit::textChanged, this, &TKillPopupDialog::RichEdit1Change);
    ShowList(0);
    connect(TabControl1, &QTabBar::currentChanged, this, &TKillPopupDialog::TabChange);
    connect(Button1, &QPushButton::clicked, this, &TKillPopupDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button3, &QPushButton::clicked, this, &TKillPopupDialog::Button3Click);
}

QStringList TKillPopupDialog::EditorLines() const
{
    QStringList lines = RichEdit1->toPlainText().split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

void TKillPopupDialog::ShowList(int tab)
{
    shownTab = tab;
    ListOf(tab).sort();
    RichEdit1->setPlainText(ListOf(tab).join(QLatin1Char('\n')));
    RichEdit1Change();
}

// The edits of the tab left go back into its list; the new tab shows its list sorted.
void TKillPopupDialog::TabChange(int tab)
{
    ListOf(shownTab) = EditorLines();
    ShowList(tab);
}

void TKillPopupDialog::RichEdit1Change()
{
    StatusBar1->showMessage(QStringLiteral("%1件").arg(EditorLines().size()));
}

void TKillPopupDialog::Button3Click()
{
    RichEdit1->setPlainText(PopupKillList::RemoveDuplicates(EditorLines()).join(QLatin1Char('\n')));
}

void TKillPopupDialog::Button1Click()
{
    ListOf(shownTab) = EditorLines();
    try {
        TTextList::RewriteFile(PopupKillList::UrlFile(), PopupKillList::Cleaned(urls));
        TTextList::RewriteFile(PopupKillList::TitleFile(), PopupKillList::Cleaned(titles));
    } catch (const EVarnelo &e) {
        Dialogs::ShowMessage(Dialogs::mkError, e.Message);
        return;
    }
    accept();
}
