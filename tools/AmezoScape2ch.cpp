#include "tools/AmezoScape2ch.h"

#include "controls/BarsAndMenus.h"
#include "controls/Dialogs.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "net/HttpSettings.h"
#include "services/AmezoSearch.h"
#include "services/ComposerFiles.h"
#include "services/OutsidePage.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace {
const QString TitleHistory = QStringLiteral("findtext.txt");
const QString LogHistory = QStringLiteral("findlog.txt");
constexpr int StopPollMs = 50;
}

TAmezoScape2ch::TAmezoScape2ch(TThreadItemList *results, QWidget *parent) : QDialog(parent), results(results)
{
    setWindowTitle(QStringLiteral("Amezouscape Search"));
    KeyWord = new QComboBox(this);
    KeyWord->setEditable(true);
    BoardKind = new QComboBox(this);
    BoardKind->addItems(TAmezoSearch::BoardKinds());
    SortType = new QComboBox(this);
    SortType->addItems(TAmezoSearch::SortTypes());
    DaisenseiUrl = new QLineEdit(TavuConfig ? TavuConfig->_2CH_AMESCA_URL : QString(), this);
    BitBtn1 = new QPushButton(QStringLiteral("&OK"), this);
    BitBtn2 = new QPushButton(QStringLiteral("キャンセル(&C)"), this);

    QStringList history = ComposerFiles::LoadLines(LogHistory);
    if (history.isEmpty())
        history = ComposerFiles::LoadLines(TitleHistory);
    KeyWord->addItems(history);
    KeyWord->setCurrentIndex(history.isEmpty() ? -1 : 0);

    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("キーワード"), KeyWord);
    form->addRow(QStringLiteral("対象"), BoardKind);
    form->addRow(QStringLiteral("並び順"), SortType);
    form->addRow(QStringLiteral("URL"), DaisenseiUrl);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    form->addRow(buttons);
    connect(BitBtn1, &QPushButton::clicked, this, &TAmezoScape2ch::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TAmezoScape2ch::BitBtn2Click);
    connect(&HttpCli1, &THttpCli::OnRequestDone, this, [this](THttpCli *, bool requestFailed) { HttpCli1RequestDone(requestFailed); });
    connect(&stopPoll, &QTimer::timeout, this, [this] {
        if (TavuEnviron && TavuEnviron->IsStopped())
            HttpCli1.Abort();
    });
}

TAmezoScape2ch::~TAmezoScape2ch()
{
    cancelled = true;
    if (HttpCli1.IsBusy())
        HttpCli1.Abort();
}

void TAmezoScape2ch::BitBtn1Click()
{
    const QString keyword = KeyWord->currentText().trimmed();
    if (keyword.isEmpty()) {
        Dialogs::ShowMessage(Dialogs::mkWarning, QStringLiteral("キーワードを入れてください。"));
        KeyWord->setFocus();
        return;
    }
    RecordKeyword(keyword);
    const QString url = TAmezoSearch::BuildUrl(DaisenseiUrl->text(), keyword, BoardKind->currentIndex(), SortType->currentIndex());
    EventLog::AddLog(QStringLiteral("大先生に問い合わせ中です..."));
    EventLog::AddLog(QStringLiteral("By Amezoscape ") + url);
    BitBtn1->setEnabled(false);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    reply.close();
    reply.setData(QByteArray());
    reply.open(QIODevice::WriteOnly);
    HttpCli1.URL = url;
    HttpCli1.RcvdStream = &reply;
    UseConfiguredProxy(HttpCli1);
    stopPoll.start(StopPollMs);
    HttpCli1.GetASync();
}

void TAmezoScape2ch::BitBtn2Click()
{
    cancelled = true;
    if (HttpCli1.IsBusy())
        HttpCli1.Abort();
    reject();
}

void TAmezoScape2ch::HttpCli1RequestDone(bool requestFailed)
{
    stopPoll.stop();
    QApplication::restoreOverrideCursor();
    BitBtn1->setEnabled(true);
    if (cancelled)
        return;
    const QString url = HttpCli1.URL;
    QString error;
    if (requestFailed || HttpCli1.StatusCode() != 200) {
        const int status = HttpCli1.StatusCode();
        error = FetchError(url, HttpCli1.ErrorCode() == httpAborted && TavuEnviron && TavuEnviron->IsStopped()
                                    ? TTavuEnviron::StoppedMessage()
                                : status >= 300 ? QStringLiteral("%1\n%2").arg(status).arg(HttpCli1.ReasonPhrase())
                                                : HttpCli1.ErrorMessage());
    } else {
        EventLog::AddLog(QStringLiteral("大先生より返答あり"));
        EventLog::AddLog(QStringLiteral("内容確認中・・・"));
        TAmezoSearch::ReadReply(url, reply.data(), results, error);
    }
    failed = !error.isEmpty();
    if (failed) {
        EventLog::AddLog(error);
        Dialogs::ShowMessage(Dialogs::mkError, error);
    }
    accept();
}

// One keyword history shared with the other search dialogs, kept in both of its files.
void TAmezoScape2ch::RecordKeyword(const QString &keyword)
{
    QStringList history;
    for (int i = 0; i < KeyWord->count(); ++i)
        history.append(KeyWord->itemText(i));
    ComposerFiles::PushHistory(history, keyword);
    ComposerFiles::SaveLines(LogHistory, history);
    ComposerFiles::SaveLines(TitleHistory, history);
    KeyWord->clear();
    KeyWord->addItems(history);
    KeyWord->setCurrentText(keyword);
}
