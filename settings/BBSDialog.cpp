#include "settings/BBSDialog.h"

#include "controls/BoardTreeImages.h"
#include "core/FileUtil.h"
#include "core/JConvert.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuEnviron.h"
#include "services/Urls.h"

#include <QCheckBox>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

bool IsNormalSite(const TSite *site)
{
    return site->Kind == TSite::KIND_NORMAL;
}

const TSiteList *Sites()
{
    return TavuEnviron ? TavuEnviron->SiteList() : nullptr;
}

QPixmap SitePixmap(const TSite *site, const QString &name)
{
    const QString file = site->FindFile(name);
    return file.isEmpty() ? QPixmap() : QPixmap(file);
}

}  // namespace

TBBSDialog::TBBSDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("BBSDialog"));
    setWindowTitle(QStringLiteral("BBS選択"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("閲覧するBBSを選択してください。"), this));

    auto *page = new QGridLayout;
    Image1 = new QLabel(this);
    Image1->setFixedSize(32, 32);
    Image1->setAlignment(Qt::AlignCenter);
    Image3 = new QLabel(this);
    Image3->setMinimumSize(320, 120);
    Image3->setAlignment(Qt::AlignCenter);
    Label1 = new QLabel(this);
    Label1->setTextFormat(Qt::PlainText);
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    Label2 = new QLabel(this);
    Label2->setTextFormat(Qt::RichText);
    Label2->setCursor(Qt::PointingHandCursor);
    Label3 = new QLabel(this);
    Label3->setTextFormat(Qt::PlainText);
    Label3->setWordWrap(true);
    Label3->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    CheckBox1 = new QCheckBox(QStringLiteral("このBBSを表示する"), this);
    page->addWidget(Image1, 0, 0, 2, 1);
    page->addWidget(Label1, 0, 1);
    page->addWidget(Label2, 1, 1);
    page->addWidget(Image3, 2, 0, 1, 2);
    page->addWidget(Label3, 3, 0, 1, 2);
    page->addWidget(CheckBox1, 4, 0, 1, 2);
    page->setColumnStretch(1, 1);
    layout->addLayout(page, 1);

    auto *buttons = new QHBoxLayout;
    SpeedButton1 = new QPushButton(QStringLiteral("< 戻る"), this);
    SpeedButton2 = new QPushButton(QStringLiteral("次へ >"), this);
    Button2 = new QPushButton(QStringLiteral("&OK"), this);
    Button1 = new QPushButton(QStringLiteral("キャンセル(&C)"), this);
    Button2->setDefault(true);
    buttons->addWidget(SpeedButton1);
    buttons->addWidget(SpeedButton2);
    buttons->addStretch(1);
    buttons->addWidget(Button2);
    buttons->addWidget(Button1);
    layout->addLayout(buttons);
    resize(460, 400);

    connect(SpeedButton1, &QPushButton::clicked, this, [this] { Step(-1); });
    connect(SpeedButton2, &QPushButton::clicked, this, [this] { Step(1); });
    connect(Button2, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button1, &QPushButton::clicked, this, &QDialog::reject);
    connect(Label2, &QLabel::linkActivated, this, [](const QString &url) { Urls::OpenUrlExternal(url); });
    connect(CheckBox1, &QCheckBox::toggled, this, [this](bool on) {
        const TSiteList *sites = Sites();
        if (sites && current < sites->Count())
            sites->Get(current)->Listed = on;
    });

    const TSiteList *sites = Sites();
    if (sites && sites->Count() > 0)
        ShowSite(IsNormalSite(sites->Get(0)) ? 0 : StepSiteIndex(*sites, 0, 1));
}

int TBBSDialog::StepSiteIndex(const TSiteList &sites, int index, int step)
{
    const int count = sites.Count();
    if (count == 0)
        return index;
    // One round at most: a list without another normal site leaves the index where it is.
    int next = index;
    for (int i = 0; i < count; ++i) {
        next = ((next + step) % count + count) % count;
        if (IsNormalSite(sites.Get(next)))
            return next;
    }
    return index;
}

void TBBSDialog::Step(int step)
{
    if (const TSiteList *sites = Sites())
        ShowSite(StepSiteIndex(*sites, current, step));
}

void TBBSDialog::ShowSite(int index)
{
    const TSiteList *sites = Sites();
    if (!sites || index < 0 || index >= sites->Count())
        return;
    current = index;
    const TSite *site = sites->Get(index);
    {
        const QSignalBlocker blocker(CheckBox1);
        CheckBox1->setChecked(site->Listed);
    }
    CheckBox1->setEnabled(IsNormalSite(site));
    const QPixmap icon = SitePixmap(site, QStringLiteral("icon.bmp"));
    Image1->setPixmap(icon.isNull() ? BoardTreeImages::DefaultSiteIcon().pixmap(32, 32) : icon);
    Image3->setPixmap(SitePixmap(site, QStringLiteral("back.bmp")));
    Label1->setText(site->NAME);
    Label2->setText(QStringLiteral("<a href=\"%1\">%2</a>").arg(site->URL.toHtmlEscaped(), site->URL.toHtmlEscaped()));
    const QString comment = site->FindFile(QStringLiteral("comment.txt"));
    Label3->setText(comment.isEmpty() ? QString() : jconvert::SjisToUnicode(FileUtil::ReadFile(comment)));
}
