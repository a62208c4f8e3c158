#include "settings/BookmarkCategoryDialog.h"

#include "controls/BarsAndMenus.h"
#include "controls/HeaderFrame.h"
#include "core/Exceptions.h"
#include "core/TextList.h"
#include "settings/SiteFolderDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TBookmarkCategoryDialog::TBookmarkCategoryDialog(const QString &categoryFile, QWidget *parent)
    : QDialog(parent), categoryFile(categoryFile)
{
    setObjectName(QStringLiteral("BookmarkCategoryDialog"));
    setWindowTitle(QStringLiteral("しおりのカテゴリ"));
    auto *layout = new QVBoxLayout(this);
    auto *header = new THeaderFrame(this);
    header->SetTitle(QStringLiteral("しおりの登録"));
    layout->addWidget(header);
    layout->addWidget(new QLabel(QStringLiteral("このレスに、しおりをはさみます。"), this));

    ResText = new QPlainTextEdit(this);
    ResText->setReadOnly(true);
    ResText->setMaximumHeight(90);
    ResText->hide();
    layout->addWidget(ResText);
    memoLabel = new QLabel(QStringLiteral("コメント :"), this);
    memoLabel->hide();
    MemoEdit = new QLineEdit(this);
    MemoEdit->hide();
    layout->addWidget(memoLabel);
    layout->addWidget(MemoEdit);

    layout->addWidget(new QLabel(QStringLiteral("カテゴリは未入力でも構いませんが、設定しておくと"), this));
    layout->addWidget(new QLabel(QStringLiteral("しおりマネージャでの管理が楽になります。"), this));
    layout->addWidget(new QLabel(QStringLiteral("カテゴリ :"), this));
    Edit1 = new QLineEdit(this);
    layout->addWidget(Edit1);
    ListBox1 = new QListWidget(this);
    layout->addWidget(ListBox1, 1);
    SiteFolderDialog::AddOkCancelRow(this, layout, Button1, Button2);
    Button1->setDefault(true);
    resize(360, 380);

    TTextList categories;
    categories.LoadFromFile(categoryFile);
    ListBox1->addItems(categories.Lines);

    connect(ListBox1, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) { Edit1->setText(item->text()); });
    connect(Button1, &QPushButton::clicked, this, &TBookmarkCategoryDialog::Button1Click);
}

void TBookmarkCategoryDialog::ShowRes(const QString &text, const QString &memo)
{
    ResText->setPlainText(text);
    MemoEdit->setText(memo);
    for (QWidget *widget : {static_cast<QWidget *>(ResText), static_cast<QWidget *>(memoLabel),
                            static_cast<QWidget *>(MemoEdit)})
        widget->show();
}

QString TBookmarkCategoryDialog::Memo() const
{
    return MemoEdit->isVisibleTo(this) ? MemoEdit->text() : QString();
}

void TBookmarkCategoryDialog::Button1Click()
{
    Category = Edit1->text();
    if (!Category.isEmpty()) {
        TTextList categories;
        for (int i = 0; i < ListBox1->count(); ++i)
            categories.Add(ListBox1->item(i)->text());
        if (categories.IndexOf(Category) < 0) {
            categories.Add(Category);
            ListBox1->addItem(Category);
        }
        try {
            categories.SaveToFile(categoryFile);
        } catch (const EFileError &e) {
            EventLog::AddLog(e.Message);
        }
    }
    accept();
}
