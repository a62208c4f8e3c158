#include "settings/AboutDialog.h"

#include "core/TavuConfig.h"
#include "settings/SplashWindow.h"

#include <QAction>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int CreditInterval = 7000;   // ms between two credit entries
constexpr int FadeSteps = 16;
constexpr int FadeOutStepMs = 100;
constexpr int FadeInStepMs = 70;
constexpr qint64 MsPerDay = 24LL * 3600 * 1000;

// The rows of the statistics box: the label shown, the label of the copied text.
struct TStatisticRow {
    const char *shown;
    const char *copied;
};

// Shown order; the copied text puts the start count after the suppressed popups.
const TStatisticRow Rows[] = {
    {"板のロード回数", "板のロード回数　　　："},
    {"スレッドのロード回数", "スレッドのロード回数："},
    {"レスの取得数", "レスの取得数　　　　："},
    {"書き込み回数", "書き込み回数　　　　："},
    {"スレたて回数", "スレたて回数　　　　："},
    {"起動回数", "起動回数　　　　　　："},
    {"抑止したポップアップウィンドウ数", "抑止ポップアップ　　："},
    {"総稼動時間", "総稼動時間　　　　　："},
    {"１日の平均稼働時間", "１日の平均稼動時間　："},
};
const int CopyOrder[] = {0, 1, 2, 3, 4, 6, 5, 7, 8};

QPixmap ProgramPicture()
{
    const QString path = TTavuConfig::AppDir() + QStringLiteral("resource/about.bmp");
    QPixmap picture;
    if (QFile::exists(path))
        picture.load(path);
    return picture;
}

}  // namespace

TAboutDialog::TAboutDialog(QWidget *parent)
    : QDialog(parent), creditTimer(new QTimer(this)), fadeTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(QStringLiteral("ヴァルネロ"));

    auto *layout = new QVBoxLayout(this);
    const QPixmap picture = ProgramPicture();
    if (!picture.isNull()) {
        auto *pictureLabel = new QLabel(this);
        pictureLabel->setPixmap(picture);
        pictureLabel->setAlignment(Qt::AlignCenter);
        layout->addWidget(pictureLabel);
    }
    auto *version = new QLabel(TSplashWindow::VersionText(), this);
    version->setAlignment(Qt::AlignCenter);
    layout->addWidget(version);
    for (const QString &line : {QStringLiteral("2004-2006 ヴァルネロ・プロジェクト"),
                                QStringLiteral("サポート: ヴァルネロ掲示板")}) {
        auto *label = new QLabel(line, this);
        label->setAlignment(Qt::AlignCenter);
        layout->addWidget(label);
    }
    layout->addWidget(MakeCredits());
    layout->addWidget(MakeStatistics());

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);

    creditTimer->setInterval(CreditInterval);
    connect(creditTimer, &QTimer::timeout, this, &TAboutDialog::StartFade);
    connect(fadeTimer, &QTimer::timeout, this, &TAboutDialog::FadeTick);
    ShowCredit(0);
    creditTimer->start();
}

QString TAboutDialog::FormatWorkTime(qint64 ms)
{
    const qint64 hours = ms / 3600000;
    const qint64 minutes = ms / 60000 - 60 * hours;
    const qint64 seconds = ms / 1000 - 60 * minutes - 3600 * hours;
    return QStringLiteral("%1:%2:%3").arg(hours).arg(minutes).arg(seconds);
}

qint64 TAboutDialog::AverageDailyTime(qint64 totalMs, const QString &startDate, const QDateTime &now)
{
    const QDateTime start = QDateTime::fromString(startDate.trimmed(), QStringLiteral("yyyy/MM/dd hh:mm:ss"));
    if (!start.isValid())
        return 0;
    // The day begun counts as one: on the first day the average is all the time so far.
    const qint64 days = std::max<qint64>(1, start.msecsTo(now) / MsPerDay);
    return totalMs / days;
}

QWidget *TAboutDialog::MakeStatistics()
{
    const TTavuConfig &config = *TavuConfig;
    const qint64 total = config.GetTotalWorkTime();
    values = {
        QString::number(config.VOZADAZOZ_LOAD_BOARD_COUNT),
        QString::number(config.VOZADAZOZ_LOAD_THREAD_COUNT),
        QString::number(config.VOZADAZOZ_LOAD_RES_COUNT),
        QString::number(config.VOZADAZOZ_SEND_COUNT),
        QString::number(config.VOZADAZOZ_NEWTHREAD_COUNT),
        QString::number(config.VOZADAZOZ_APPSTARTCOUNT),
        QString::number(config.VOZADAZOZ_CLOSETAB),
        FormatWorkTime(total),
        FormatWorkTime(AverageDailyTime(total, config.VOZADAZOZ_START_DATE, QDateTime::currentDateTime())),
    };

    auto *box = new QGroupBox(QStringLiteral("統計"), this);
    auto *grid = new QGridLayout(box);
    for (int row = 0; row < values.size(); ++row) {
        grid->addWidget(new QLabel(QString::fromUtf8(Rows[row].shown), box), row, 0);
        auto *value = new QLabel(values[row], box);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(value, row, 1);
    }

    auto *copy = new QAction(QStringLiteral("コピー(&C)"), box);
    copy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(copy, &QAction::triggered, this, &TAboutDialog::CopyStatistics);
    box->addAction(copy);
    box->setContextMenuPolicy(Qt::ActionsContextMenu);
    return box;
}

QString TAboutDialog::StatisticsText() const
{
    QStringList lines;
    for (int index : CopyOrder)
        lines.append(QString::fromUtf8(Rows[index].copied) + values.value(index));
    return lines.join(QStringLiteral("\r\n"));
}

void TAboutDialog::CopyStatistics() const
{
    QGuiApplication::clipboard()->setText(StatisticsText());
}

// ---- credits ----

const QList<TAboutDialog::TCredit> &TAboutDialog::Credits()
{
    static const QList<TCredit> credits = {
        {QStringLiteral("ヴァルネロ２"), QStringLiteral("ヴァルネロ・プロジェクト")},
        {QStringLiteral("プログラム"), QStringLiteral("ヴァルネロ開発チーム")},
        {QStringLiteral("スキン"), QStringLiteral("ヴァルネロ・スキン班")},
        {QStringLiteral("アイコン"), QStringLiteral("ヴァルネロ・デザイン班")},
        {QStringLiteral("テスト"), QStringLiteral("ヴァルネロ・テスター一同")},
        {QStringLiteral("Special Thanks"), QStringLiteral("掲示板のみなさん")},
        {QStringLiteral("Special Thanks"), QStringLiteral("そして、使ってくれるあなた")},
    };
    return credits;
}

QWidget *TAboutDialog::MakeCredits()
{
    auto *panel = new QWidget(this);
    auto *layout = new QVBoxLayout(panel);
    creditHeading = new QLabel(panel);
    creditName = new QLabel(panel);
    QFont bold = creditName->font();
    bold.setBold(true);
    creditName->setFont(bold);
    for (QLabel *label : {creditHeading, creditName}) {
        label->setAlignment(Qt::AlignCenter);
        layout->addWidget(label);
    }
    return panel;
}

void TAboutDialog::ShowCredit(int index)
{
    creditIndex = index % Credits().size();
    creditHeading->setText(Credits()[creditIndex].Heading);
    creditName->setText(Credits()[creditIndex].Name);
}

void TAboutDialog::StartFade()
{
    fadingOut = true;
    fadeStep = 0;
    SetCreditGrey(fadeStep);
    fadeTimer->start(FadeOutStepMs);
}

// One step of the fade: out to white, the next entry, back to black.
void TAboutDialog::FadeTick()
{
    if (fadingOut) {
        if (++fadeStep < FadeSteps) {
            SetCreditGrey(fadeStep);
            return;
        }
        ShowCredit(creditIndex + 1);
        fadingOut = false;
        fadeStep = FadeSteps - 1;
        SetCreditGrey(fadeStep);
        fadeTimer->start(FadeInStepMs);
        return;
    }
    if (--fadeStep >= 0) {
        SetCreditGrey(fadeStep);
        return;
    }
    fadeTimer->stop();
}

void TAboutDialog::SetCreditGrey(int step)
{
    const int level = 17 * step;
    const QString style = QStringLiteral("color: rgb(%1, %1, %1);").arg(level);
    creditHeading->setStyleSheet(style);
    creditName->setStyleSheet(style);
}
