#include "settings/BoardListDialog.h"

#include "boards/BoardListDownloaderRequest.h"
#include "controls/BoardTree.h"
#include "controls/BoardTreeImages.h"
#include "controls/Dialogs.h"
#include "core/BoardList.h"
#include "core/BoardListDownloader.h"
#include "core/Exceptions.h"
#include "core/IniFile.h"
#include "core/Site.h"
#include "core/SiteList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "settings/BoardListMerge.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <climits>

namespace {

const QString HistorySection = QStringLiteral("BOARDLIST");

bool OffersUpdate(const TSite *site)
{
    return site->Listed && (site->Kind == TSite::KIND_NORMAL || site->Kind == TSite::KIND_RSS);
}

bool HasScript(const TSite *site)
{
    return site && !TBoardListDownloaderRequest::ScriptPath(site).isEmpty();
}

int ClampToInt(qint64 value)
{
    return int(qBound<qint64>(0, value, qint64(INT_MAX)));
}

}  // namespace

TBoardListDialog::TBoardListDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("BoardListDialog"));
    setWindowTitle(QStringLiteral("ボード一覧の更新"));
    BuildForm();
    FillSites();
    LoadModeFromConfig();
}

TBoardListDialog::~TBoardListDialog()
{
    delete request;   // stops its reports before the job goes
}

void TBoardListDialog::BuildForm()
{
    auto *layout = new QVBoxLayout(this);
    auto *fields = new QGridLayout;
    ComboBoxEx1 = new QComboBox(this);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setMinimumWidth(360);
    auto *siteLabel = new QLabel(QStringLiteral("&BBS :"), this);
    siteLabel->setBuddy(ComboBoxEx1);
    auto *urlLabel = new QLabel(QStringLiteral("&URL :"), this);
    urlLabel->setBuddy(ComboBox1);
    fields->addWidget(siteLabel, 0, 0);
    fields->addWidget(ComboBoxEx1, 0, 1);
    fields->addWidget(urlLabel, 1, 0);
    fields->addWidget(ComboBox1, 1, 1);
    fields->setColumnStretch(1, 1);
    layout->addLayout(fields);

    auto *mode = new QGroupBox(this);
    auto *modeLayout = new QGridLayout(mode);
    RadioButton1 = new QRadioButton(QStringLiteral("標準"), mode);
    RadioButton2 = new QRadioButton(QStringLiteral("カスタム"), mode);
    auto *group = new QButtonGroup(this);
    group->addButton(RadioButton1);
    group->addButton(RadioButton2);
    CheckBox1 = new QCheckBox(QStringLiteral("追加された板を検出"), mode);
    CheckBox2 = new QCheckBox(QStringLiteral("URLが変更になった板を検出"), mode);
    CheckBox3 = new QCheckBox(QStringLiteral("削除された板を検出"), mode);
    modeLayout->addWidget(RadioButton1, 0, 0, 1, 2);
    modeLayout->addWidget(RadioButton2, 1, 0, 1, 2);
    modeLayout->addWidget(CheckBox1, 2, 1);
    modeLayout->addWidget(CheckBox2, 3, 1);
    modeLayout->addWidget(CheckBox3, 4, 1);
    modeLayout->setColumnMinimumWidth(0, 24);
    layout->addWidget(mode);

    layout->addWidget(new QLabel(QStringLiteral("更新内容 :"), this));
    Memo1 = new QPlainTextEdit(this);
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setMinimumHeight(220);
    layout->addWidget(Memo1, 1);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setRange(0, 1);
    ProgressBar1->setValue(0);
    layout->addWidget(ProgressBar1);

    auto *buttons = new QHBoxLayout;
    Button1 = new QPushButton(QStringLiteral("更新(&U)"), this);
    Button1->setDefault(true);
    Button3 = new QPushButton(QStringLiteral("中止(&X)"), this);
    Button3->setEnabled(false);
    Button2 = new QPushButton(QStringLiteral("閉じる(&C)"), this);
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button3);
    buttons->addWidget(Button2);
    layout->addLayout(buttons);

    connect(ComboBoxEx1, &QComboBox::activated, this, &TBoardListDialog::ComboBoxEx1Change);
    connect(Button1, &QPushButton::clicked, this, &TBoardListDialog::Button1Click);
    connect(Button3, &QPushButton::clicked, this, &TBoardListDialog::Button3Click);
    connect(Button2, &QPushButton::clicked, this, &TBoardListDialog::reject);
}

// The normal and RSS sites of the site list, in registry order.
void TBoardListDialog::FillSites()
{
    const TSiteList *sites = TavuEnviron ? TavuEnviron->SiteList() : nullptr;
    if (!sites || sites->Count() == 0) {
        ComboBoxEx1->setEnabled(false);
        ComboBox1->setEnabled(false);
        Button1->setEnabled(false);
        return;
    }
    for (int i = 0; i < sites->Count(); ++i) {
        TSite *site = sites->Get(i);
        if (OffersUpdate(site))
            ComboBoxEx1->addItem(BoardTreeImages::SiteImages().value(site->ImageIndex), site->NAME,
                                 QVariant::fromValue<void *>(site));
    }
    if (ComboBoxEx1->count() == 0) {
        Button1->setEnabled(false);
        return;
    }
    ComboBoxEx1->setCurrentIndex(0);
    ComboBoxEx1Change();
}

void TBoardListDialog::LoadModeFromConfig()
{
    if (TavuConfig->BOARDLISTUPDATEMODE != 0) {
        RadioButton2->setChecked(true);
        CheckBox1->setChecked(TavuConfig->BOARDLISTADDNEW);
        CheckBox2->setChecked(TavuConfig->BOARDLISTCHANGE);
        CheckBox3->setChecked(TavuConfig->BOARDLISTDELETE);
    } else {
        RadioButton1->setChecked(true);
    }
}

void TBoardListDialog::StoreModeToConfig()
{
    if (RadioButton1->isChecked()) {
        TavuConfig->BOARDLISTUPDATEMODE = 0;
        return;
    }
    TavuConfig->BOARDLISTUPDATEMODE = 1;
    TavuConfig->BOARDLISTADDNEW = CheckBox1->isChecked();
    TavuConfig->BOARDLISTCHANGE = CheckBox2->isChecked();
    TavuConfig->BOARDLISTDELETE = CheckBox3->isChecked();
}

TSite *TBoardListDialog::ChosenSite() const
{
    return static_cast<TSite *>(ComboBoxEx1->currentData().value<void *>());
}

bool TBoardListDialog::IsDownloading() const
{
    return request != nullptr;
}

void TBoardListDialog::SelectSite(TSite *site)
{
    const int index = ComboBoxEx1->findData(QVariant::fromValue<void *>(site));
    if (index < 0)
        return;
    ComboBoxEx1->setCurrentIndex(index);
    ComboBoxEx1Change();
}

void TBoardListDialog::ComboBoxEx1Change()
{
    const TSite *site = ChosenSite();
    ComboBox1->clear();
    if (site) {
        int current = 0;
        ComboBox1->addItems(LoadUrlHistory(site, &current));
        ComboBox1->setCurrentIndex(current);
    }
    Button1->setEnabled(HasScript(site) && !IsDownloading());
}

QStringList TBoardListDialog::LoadUrlHistory(const TSite *site, int *current)
{
    const TIniFile ini(site->FindFile(QStringLiteral("site.ini")));
    const int count = ini.ReadInteger(HistorySection, QStringLiteral("COUNT"), 0);
    QStringList urls;
    for (int i = 1; i <= count; ++i)
        urls << ini.ReadString(HistorySection, HistorySection + QString::number(i));
    if (current)
        *current = urls.isEmpty() ? -1 : ini.ReadInteger(HistorySection, QStringLiteral("CURRENT"), 0);
    return urls;
}

void TBoardListDialog::SaveUrlHistory(const TSite *site, const QStringList &urls, int current)
{
    TIniFile ini(site->PrepareOwnFile(QStringLiteral("site.ini")));
    ini.WriteInteger(HistorySection, QStringLiteral("COUNT"), urls.size());
    for (int i = 0; i < urls.size(); ++i)
        ini.WriteString(HistorySection, HistorySection + QString::number(i + 1), urls.at(i));
    ini.WriteInteger(HistorySection, QStringLiteral("CURRENT"), current);
    ini.UpdateFile();
}

void TBoardListDialog::Button1Click()
{
    const QString url = ComboBox1->currentText().trimmed();
    TSite *site = ChosenSite();
    if (url.isEmpty() || !site || IsDownloading())
        return;
    StoreModeToConfig();
    SetIdle(false);
    Memo1->clear();
    RememberUrl(url);
    if (!StartDownload(site, url))
        return FinishDownload();
    AddLog({QStringLiteral("処理開始"), QStringLiteral("-----------------------")});
}

// The URL goes to the top of the history when it is new there; the history is written at once.
void TBoardListDialog::RememberUrl(const QString &url)
{
    int index = ComboBox1->findText(url, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) {
        ComboBox1->insertItem(0, url);
        index = 0;
    }
    ComboBox1->setCurrentIndex(index);
    QStringList urls;
    for (int i = 0; i < ComboBox1->count(); ++i)
        urls << ComboBox1->itemText(i);
    try {
        SaveUrlHistory(ChosenSite(), urls, index);
    } catch (const EVarnelo &e) {
        AddLog({e.Message});
    }
}

bool TBoardListDialog::StartDownload(TSite *site, const QString &url)
{
    const QString script = TBoardListDownloaderRequest::ScriptPath(site);
    AddLog({QStringLiteral("  zuDAROZソースファイルの読み込み"), QStringLiteral("  →") + script, QStringLiteral(" ")});
    job = std::make_unique<TBoardListDownloader>();
    job->Site = site;
    job->BBS = site->BBS;
    job->CodePage = site->CodePage;
    request = new TBoardListDownloaderRequest(job.get(), this);
    request->OnProgress = [this](qint64 received, qint64 total) { HandleProgress(received, total); };
    request->OnNotice = [this](const QString &message) { AddLog({QStringLiteral("  ") + message}); };
    request->OnError = [this](int code, const QString &message) { HandleError(code, message); };
    request->OnDone = [this](bool failed) { HandleDone(failed); };
    if (!request->Start(url)) {
        AddLog({QStringLiteral("  ParseBoard.ruro を読み込めませんでした。")});
        return false;
    }
    AddLog({QStringLiteral("  ボード一覧の取得開始"), QStringLiteral("  →") + url, QStringLiteral(" ")});
    return true;
}

void TBoardListDialog::Button3Click()
{
    if (request)
        request->Abort();
}

void TBoardListDialog::HandleProgress(qint64 received, qint64 total)
{
    ProgressBar1->setRange(0, ClampToInt(total));
    ProgressBar1->setValue(ClampToInt(received));
}

void TBoardListDialog::HandleError(int code, const QString &message)
{
    ProgressBar1->setRange(0, 1);
    ProgressBar1->setValue(0);
    if (code != 0)
        AddLog({QStringLiteral("ボード一覧取得エラー"), QStringLiteral("　") + job->Site->NAME,
                QString::number(code) + QLatin1Char(':') + message, QString()});
}

// The boards read are compared with the site's whether the download succeeded or not; a download
// cut short changes nothing.
void TBoardListDialog::HandleDone(bool failed)
{
    ProgressBar1->setRange(0, 1);
    ProgressBar1->setValue(0);
    const bool standard = RadioButton1->isChecked();
    TBoardListMerge::TOptions options;
    options.DetectAdded = standard || CheckBox1->isChecked();
    options.DetectChanged = standard || CheckBox2->isChecked();
    options.DetectDeleted = standard || CheckBox3->isChecked();
    TSite *site = job->Site;
    const int held = TBoardListMerge::DropBoardsOfOtherSites(site, *job->Boards)
                     + TBoardListMerge::DropBoardsOfOtherSites(site, *job->Unclaimed);
    if (held > 0)
        AddLog({QStringLiteral("  他のBBSにある板を除きました(%1)").arg(held)});
    if (!failed && job->Boards->Count() == 0 && job->Unclaimed->Count() > 0 && OfferUnclaimed(site)) {
        std::swap(job->Boards, job->Unclaimed);
        options.DetectDeleted = false;   // the site's own boards stay
    }
    TBoardListMerge merge(site, *job->Boards, options);
    try {
        AddLog(merge.Run(failed));
    } catch (const EVarnelo &e) {
        AddLog({e.Message});
        Dialogs::ShowMessage(Dialogs::mkError, e.Message);
    }
    if (merge.Written && BoardsReloaded)
        BoardsReloaded(site);
    FinishDownload();
}

// The page listed boards but the site's URL patterns claim none of them: says so and asks whether
// they go to the site all the same.
bool TBoardListDialog::OfferUnclaimed(const TSite *site)
{
    const QString count = QString::number(job->Unclaimed->Count());
    AddLog({QStringLiteral("  サイトのURLに合う板がありません(見つかった板：%1)").arg(count)});
    return Dialogs::AskYesNo(QStringLiteral("ボード一覧に %1 個の板がありましたが、どれも「%2」のURLに合いません。\r\n"
                                            "「%2」に追加しますか？")
                                 .arg(count, site->NAME));
}

// The request reports from inside its transport: it is freed once the report is over, and its job
// with it.
void TBoardListDialog::FinishDownload()
{
    if (request) {
        request->OnProgress = nullptr;
        request->OnNotice = nullptr;
        request->OnError = nullptr;
        request->OnDone = nullptr;
        connect(request, &QObject::destroyed, [finished = job.release()] { delete finished; });
        request->deleteLater();
        request = nullptr;
    }
    job.reset();
    SetIdle(true);
}

void TBoardListDialog::SetIdle(bool idle)
{
    Button1->setEnabled(idle && HasScript(ChosenSite()));
    Button2->setEnabled(idle);
    Button3->setEnabled(!idle);
}

void TBoardListDialog::AddLog(const QStringList &lines)
{
    for (const QString &line : lines)
        Memo1->appendPlainText(line);
}

// Closing while the list is read stops the download first.
void TBoardListDialog::reject()
{
    if (request) {
        request->Abort();
        FinishDownload();
    }
    QDialog::reject();
}
