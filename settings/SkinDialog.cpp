#include "settings/SkinDialog.h"

#include "controls/BoardTreeImages.h"
#include "controls/Dialogs.h"
#include "core/Board.h"
#include "core/BoardList.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuEnviron.h"
#include "services/SkinAssignments.h"
#include "settings/SkinDialog2.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QString DefaultSection = QStringLiteral("default");
const QString NoSkin = QStringLiteral("-");
const char *const SectionProperty = "skinSection";

QString BoardSection(const TBoard *board)
{
    return board->Site->SITEID + QLatin1Char('_') + board->ID;
}

}  // namespace

TSkinDialog::TSkinDialog(TSkinAssignments &skins, QWidget *parent)
    : QDialog(parent), skins(skins)
{
    setWindowTitle(QStringLiteral("スキンの設定"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("スキンの設定"), this));
    layout->addWidget(SkinRow(QStringLiteral("デフォルトのスキン :"), DefaultSection, DefaultEdit, false));

    auto *pages = new QTabWidget(this);
    auto *boardPage = new QWidget(pages);
    auto *boardLayout = new QVBoxLayout(boardPage);
    SiteList = new QListWidget(boardPage);
    boardLayout->addWidget(SiteList);
    boardLayout->addWidget(SkinRow(QStringLiteral("このBBSで使用するスキン："), QString(), SiteEdit, true));
    boardLayout->addWidget(new QLabel(QStringLiteral("このBBSの各板で使用するスキン："), boardPage));
    BoardList = new QTreeWidget(boardPage);
    BoardList->setRootIsDecorated(false);
    BoardList->setHeaderLabels({QStringLiteral("BBS"), QStringLiteral("カテゴリ"), QStringLiteral("板"), QStringLiteral("スキン")});
    BoardList->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *change = new QAction(QStringLiteral("スキンの変更(&E)..."), BoardList);
    auto *separator = new QAction(BoardList);
    separator->setSeparator(true);
    auto *erase = new QAction(QStringLiteral("設定の削除(&D)"), BoardList);
    BoardList->addActions({change, separator, erase});
    connect(change, &QAction::triggered, this, &TSkinDialog::ChangeBoardSkin);
    connect(erase, &QAction::triggered, this, &TSkinDialog::DeleteBoardSkin);
    connect(BoardList, &QTreeWidget::itemDoubleClicked, this, &TSkinDialog::ChangeBoardSkin);
    boardLayout->addWidget(BoardList, 1);
    pages->addTab(boardPage, QStringLiteral("板別"));

    auto *otherPage = new QWidget(pages);
    auto *otherLayout = new QVBoxLayout(otherPage);
    const QStringList labels{QStringLiteral("しおりマネージャのスキン :"), QStringLiteral("リンク抽出ダイアログのスキン :"),
                             QStringLiteral("書き込みプレビューのスキン :"), QStringLiteral("外部出力時のスキン :")};
    const QStringList sections = TSkinAssignments::SpecialSections();
    for (int i = 0; i < sections.size(); ++i) {
        QLineEdit *edit = nullptr;
        otherLayout->addWidget(SkinRow(labels[i], sections[i], edit, true));
        SpecialEdits.insert(sections[i], edit);
        edit->setText(skins.DisplayName(sections[i]));
    }
    otherLayout->addStretch();
    pages->addTab(otherPage, QStringLiteral("その他"));
    layout->addWidget(pages, 1);
    DefaultEdit->setText(skins.DisplayName(DefaultSection));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::accept);
    layout->addWidget(buttons);

    if (TavuEnviron) {
        for (int i = 0; i < TavuEnviron->SiteList()->Count(); ++i) {
            TSite *site = TavuEnviron->SiteList()->Get(i);
            if (site->Listed && site != TavuEnviron->FavoritesSite()) {
                sites << site;
                SiteList->addItem(new QListWidgetItem(BoardTreeImages::SiteImages().value(site->ImageIndex), site->NAME));
            }
        }
    }
    connect(SiteList, &QListWidget::currentRowChanged, this, &TSkinDialog::SiteListChange);
    if (!sites.isEmpty())
        SiteList->setCurrentRow(0);
    resize(640, 520);
}

// A read-only text with its "･･" button; an empty section stands for the current site's.
QWidget *TSkinDialog::SkinRow(const QString &label, const QString &section, QLineEdit *&edit, bool deletable)
{
    auto *row = new QWidget(this);
    auto *rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    rowLayout->addWidget(new QLabel(label, row));
    edit = new QLineEdit(row);
    edit->setReadOnly(true);
    edit->setProperty(SectionProperty, section);
    if (deletable)
        edit->installEventFilter(this);
    rowLayout->addWidget(edit, 1);
    auto *button = new QToolButton(row);
    button->setText(QStringLiteral("･･"));
    rowLayout->addWidget(button);
    QLineEdit *target = edit;
    connect(button, &QToolButton::clicked, this, [this, section, target] {
        ChangeSkin(section.isEmpty() ? SiteSection() : section, target);
    });
    return row;
}

void TSkinDialog::ChangeSkin(const QString &section, QLineEdit *edit)
{
    if (section.isEmpty())
        return;
    TSkinDialog2 dialog(skins, this);
    dialog.SetSection(section);
    if (Dialogs::ExecDialog(dialog) == QDialog::Accepted)
        edit->setText(skins.DisplayName(section));
}

TSite *TSkinDialog::CurrentSite() const
{
    const int row = SiteList->currentRow();
    return row >= 0 && row < sites.size() ? sites[row] : nullptr;
}

QString TSkinDialog::SiteSection() const
{
    const TSite *site = CurrentSite();
    return site ? site->SITEID : QString();
}

void TSkinDialog::SiteListChange()
{
    BoardList->setSortingEnabled(false);
    BoardList->clear();
    const TSite *site = CurrentSite();
    if (!site)
        return;
    SiteEdit->setText(skins.HasSection(site->SITEID) ? skins.DisplayName(site->SITEID) : QString());
    for (int i = 0; i < site->Boards->Count(); ++i) {
        const TBoard *board = site->Boards->Get(i);
        const QString section = BoardSection(board);
        auto *row = new QTreeWidgetItem(BoardList, {site->NAME, board->Category, board->Name,
                                                    skins.HasSection(section) ? skins.DisplayName(section) : NoSkin});
        row->setData(0, Qt::UserRole, section);
    }
    BoardList->setSortingEnabled(true);
}

void TSkinDialog::ChangeBoardSkin()
{
    QTreeWidgetItem *row = BoardList->currentItem();
    if (!row)
        return;
    const QString section = row->data(0, Qt::UserRole).toString();
    TSkinDialog2 dialog(skins, this);
    dialog.SetSection(section);
    if (Dialogs::ExecDialog(dialog) == QDialog::Accepted)
        row->setText(3, skins.DisplayName(section));
}

void TSkinDialog::DeleteBoardSkin()
{
    QTreeWidgetItem *row = BoardList->currentItem();
    if (!row)
        return;
    row->setText(3, NoSkin);
    skins.Erase(row->data(0, Qt::UserRole).toString());
}

void TSkinDialog::DeleteSection(const QString &section, QLineEdit *edit)
{
    if (section.isEmpty())
        return;
    edit->clear();
    skins.Erase(section);
}

bool TSkinDialog::eventFilter(QObject *watched, QEvent *event)
{
    auto *edit = qobject_cast<QLineEdit *>(watched);
    if (edit && event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete) {
        const QString section = edit->property(SectionProperty).toString();
        DeleteSection(section.isEmpty() ? SiteSection() : section, edit);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
