#include "tools/ReboneDialog.h"

#include "controls/Dialogs.h"
#include "controls/HeaderFrame.h"
#include "core/Exceptions.h"
#include "core/MonaUtils.h"
#include "core/Res.h"
#include "core/ThreadItem.h"
#include "services/EraseRestore.h"
#include "tools/TickRows.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QWidget *Page(const QString &caption, QTreeWidget *list)
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(caption));
    layout->addWidget(list, 1);
    return page;
}

}  // namespace

TReboneDialog::TReboneDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("復元"));
    Header = new THeaderFrame;
    ListView1 = NewList({QStringLiteral("No"), QStringLiteral("ハンドル"), QStringLiteral("メール"), QStringLiteral("日付"),
                         QStringLiteral("ID"), QStringLiteral("本文")});
    ListView2 = NewList({QStringLiteral("タイトル"), QStringLiteral("DatNo")});
    // The title takes the room the thread number leaves.
    ListView2->header()->setStretchLastSection(false);
    ListView2->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    ListView2->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    Pages = new QStackedWidget;
    Pages->addWidget(Page(QStringLiteral("復元するレス :"), ListView1));
    Pages->addWidget(Page(QStringLiteral("復元するスレッド :"), ListView2));

    auto *buttons = new QDialogButtonBox;
    Button6 = buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
    Button7 = buttons->addButton(QStringLiteral("キャンセル(&C)"), QDialogButtonBox::RejectRole);
    connect(Button6, &QPushButton::clicked, this, &TReboneDialog::Button6Click);
    connect(Button7, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Header);
    layout->addWidget(Pages, 1);
    layout->addWidget(buttons);
    resize(600, 420);
}

TReboneDialog::~TReboneDialog()
{
    if (item)
        item->Release();
    for (TThreadItem *thread : std::as_const(threads))
        thread->Release();
}

QTreeWidget *TReboneDialog::NewList(const QStringList &columns)
{
    auto *list = new QTreeWidget;
    list->setHeaderLabels(columns);
    list->setRootIsDecorated(false);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this, [this, list](const QPoint &pos) {
        QMenu menu;
        menu.addAction(QStringLiteral("すべて選択(&A)"), this, [this] { CheckAll(true); });
        menu.addAction(QStringLiteral("すべて解除(&X)"), this, [this] { CheckAll(false); });
        menu.exec(list->viewport()->mapToGlobal(pos));
    });
    return list;
}

void TReboneDialog::SetResList(TThreadItem *thread, TResList *list)
{
    threadMode = false;
    Header->SetTitle(QStringLiteral("レスの復元"));
    if (thread)
        thread->AddRef();
    if (item)
        item->Release();
    item = thread;
    posts = EraseRestore::ErasedRes(*list);
    ListView1->clear();
    for (int i = 0; i < posts.size(); ++i) {
        const TRes *res = posts.at(i);
        ListView1->addTopLevelItem(TickRows::NewRow({QStringLiteral("%1").arg(res->Number, 4, 10, QLatin1Char('0')),
                                                     MonaUtils::HtmlToPlainText(res->Name), res->Mail, res->Date, res->ID,
                                                     MonaUtils::HtmlToPlainText(res->Body)},
                                                    i));
    }
    Pages->setCurrentIndex(0);
}

void TReboneDialog::AddThread(TThreadItem *thread)
{
    threadMode = true;
    Header->SetTitle(QStringLiteral("スレッドの復元"));
    thread->AddRef();
    threads << thread;
    QTreeWidgetItem *row = TickRows::NewRow({thread->ShownTitle(), thread->GetKey()}, int(threads.size()) - 1);
    row->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    ListView2->addTopLevelItem(row);
    Pages->setCurrentIndex(1);
}

void TReboneDialog::CheckAll(bool on)
{
    QTreeWidget *list = threadMode ? ListView2 : ListView1;
    TickRows::SetAll(list, on);
}

QList<int> TReboneDialog::TickedRows(QTreeWidget *list) const
{
    QList<int> ticked;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (list->topLevelItem(i)->checkState(0) == Qt::Checked)
            ticked << list->topLevelItem(i)->data(0, Qt::UserRole).toInt();
    }
    return ticked;
}

void TReboneDialog::Button6Click()
{
    if (threadMode) {
        QList<TThreadItem *> picked;
        for (int index : TickedRows(ListView2))
            picked << threads.at(index);
        EraseRestore::RestoreThreads(picked);
    } else if (item) {
        QList<TRes *> picked;
        for (int index : TickedRows(ListView1))
            picked << posts.at(index);
        try {
            EraseRestore::RestoreRes(item, picked);
        } catch (const EFileError &e) {
            Dialogs::ShowMessage(Dialogs::mkError, e.Message);
            return;
        }
    }
    accept();
}
