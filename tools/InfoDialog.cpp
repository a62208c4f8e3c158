#include "tools/InfoDialog.h"

#include "controls/Dialogs.h"
#include "controls/WindowServices.h"
#include "core/MonaUtils.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/TavuConfig.h"
#include "core/ThreadItem.h"
#include "render/TavuBrowser.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum { ItemRole = Qt::UserRole, NumberRole };

QTreeWidget *NewList(const QStringList &columns)
{
    auto *list = new QTreeWidget;
    list->setHeaderLabels(columns);
    list->setRootIsDecorated(false);
    return list;
}

QString Number4(int number)
{
    return QStringLiteral("%1").arg(number, 4, 10, QLatin1Char('0'));
}

// Whether the tab shows the thread (the same item, or another item of the same thread).
bool ShowsThread(const TTavuBrowser *tab, const TThreadItem *item)
{
    const TThreadItem *shown = tab && !tab->IsWebPage() ? tab->ThreadItem() : nullptr;
    return TThreadItem::SameThread(shown, item);
}

}  // namespace

TInfoDialog::TInfoDialog(TTabServices &tabs, TReadingServices &reading, TSearchViewServices &searchViews,
                         TThreadListServices &threadList, QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::WindowStaysOnTopHint), tabs(tabs), reading(reading), searchViews(searchViews),
      threadList(threadList)
{
    setWindowTitle(QStringLiteral("お知らせ"));
    setModal(false);
    qorExtListView1 = NewList({QStringLiteral("No"), QStringLiteral("タイトル"), QStringLiteral("該当文字列")});
    qorExtListView2 = NewList({QStringLiteral("No"), QStringLiteral("ハンドル"), QStringLiteral("日付"),
                               QStringLiteral("該当文字列"), QStringLiteral("内容")});
    PageControl1 = new QTabWidget;
    PageControl1->addTab(qorExtListView1, QStringLiteral("スレッド"));
    PageControl1->addTab(qorExtListView2, QStringLiteral("レス"));
    connect(qorExtListView1, &QTreeWidget::itemDoubleClicked, this, &TInfoDialog::ThreadRowDoubleClick);
    connect(qorExtListView2, &QTreeWidget::itemDoubleClicked, this, &TInfoDialog::ResRowDoubleClick);

    auto *buttons = new QDialogButtonBox;
    Button2 = buttons->addButton(QStringLiteral("閉じる(&C)"), QDialogButtonBox::RejectRole);
    connect(Button2, &QPushButton::clicked, this, &QWidget::close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1, 1);
    layout->addWidget(buttons);
}

TInfoDialog::~TInfoDialog()
{
    Clear();
}

TThreadItem *TInfoDialog::ItemOf(const QTreeWidgetItem *row)
{
    return static_cast<TThreadItem *>(row->data(0, ItemRole).value<void *>());
}

void TInfoDialog::ClearRows(QTreeWidget *list)
{
    for (int i = list->topLevelItemCount() - 1; i >= 0; --i) {
        QTreeWidgetItem *row = list->takeTopLevelItem(i);
        if (TThreadItem *item = ItemOf(row))
            item->Release();
        delete row;
    }
}

void TInfoDialog::AddThreadNotice(const QString &text, int imageIndex, TThreadItem *item)
{
    PageControl1->setCurrentIndex(0);
    item->AddRef();
    auto *row = new QTreeWidgetItem({Number4(item->Number), item->ShownTitle(), text});
    row->setData(0, ItemRole, QVariant::fromValue<void *>(item));
    qorExtListView1->addTopLevelItem(row);
}

void TInfoDialog::AddResNotice(const QString &text, int imageIndex, TThreadItem *item, const TRes &res)
{
    PageControl1->setCurrentIndex(1);
    if (item)
        item->AddRef();
    auto *row = new QTreeWidgetItem({Number4(res.Number), MonaUtils::HtmlToPlainText(res.Name), res.Date, text,
                                     MonaUtils::HtmlToPlainText(res.Body)});
    row->setData(0, ItemRole, QVariant::fromValue<void *>(item));
    row->setData(0, NumberRole, res.Number);
    qorExtListView2->addTopLevelItem(row);
}

void TInfoDialog::Clear()
{
    ClearRows(qorExtListView1);
    ClearRows(qorExtListView2);
}

TInfoDialog::TResPlace TInfoDialog::Locate(const TResList *list, int number, const TRes **found)
{
    const TRes *res = list ? list->FindByNumber(number) : nullptr;
    if (found)
        *found = res;
    if (!res)
        return rpNotFound;
    if (res->Erased)
        return rpErased;
    if (res->Hidden)
        return rpNGWord;
    return res->Visible ? rpShown : rpNotShown;
}

void TInfoDialog::ThreadRowDoubleClick(QTreeWidgetItem *row)
{
    if (TThreadItem *item = row ? ItemOf(row) : nullptr)
        threadList.SelectThreadRow(item);
}

void TInfoDialog::ResRowDoubleClick(QTreeWidgetItem *row)
{
    TThreadItem *item = row ? ItemOf(row) : nullptr;
    if (!item)
        return;
    const int number = row->data(0, NumberRole).toInt();
    TTavuBrowser *tab = tabs.CurrentBrowser();
    if (!ShowsThread(tab, item)) {
        // the thread comes to the front, or opens at that post
        reading.OpenThread(item, false, false, true, number);
        tab = tabs.CurrentBrowser();
        if (!ShowsThread(tab, item) || tab->DownloadState != TTavuBrowser::dsIdle)
            return;
    }
    const TRes *res = nullptr;
    switch (Locate(tab->ResList(), number, &res)) {
    case rpShown:
        tab->ScrollToRes(number);
        break;
    case rpErased:
        Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("指定のレスは消去されています。"));
        break;
    case rpNGWord:
        Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("指定のレスはNGワードです。"));
        break;
    case rpNotShown:
        searchViews.ShowResInPreview(item, *res);
        break;
    case rpNotFound:
        break;
    }
}

void TInfoDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    setGeometry(TavuConfig->DESKTOP_INFO_LEFT, TavuConfig->DESKTOP_INFO_TOP, TavuConfig->DESKTOP_INFO_WIDTH,
                TavuConfig->DESKTOP_INFO_HEIGHT);
}

// Closing keeps the bounds; with the threads page in front its rows go.
void TInfoDialog::closeEvent(QCloseEvent *event)
{
    const QRect bounds = geometry();   // the inner area, as showEvent places it
    TavuConfig->DESKTOP_INFO_LEFT = bounds.left();
    TavuConfig->DESKTOP_INFO_TOP = bounds.top();
    TavuConfig->DESKTOP_INFO_WIDTH = bounds.width();
    TavuConfig->DESKTOP_INFO_HEIGHT = bounds.height();
    if (PageControl1->currentIndex() == 0)
        ClearRows(qorExtListView1);
    QDialog::closeEvent(event);
}
