#include "settings/PropertyWindow.h"

#include "controls/BarsAndMenus.h"
#include "controls/Dialogs.h"
#include "controls/UserFiles.h"
#include "core/BBS.h"
#include "core/Board.h"
#include "core/LocalFolderReturn.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/Tavutils.h"
#include "core/ThreadItem.h"
#include "settings/FavoriteDialog.h"
#include "settings/ShortcutDialog.h"

#include <QCheckBox>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QLineEdit *Field(QFormLayout *form, const QString &caption)
{
    auto *field = new QLineEdit;
    field->setReadOnly(true);
    form->addRow(caption, field);
    return field;
}

QString Grouped(qint64 value)
{
    return QLocale(QLocale::English).toString(value);
}

}  // namespace

TPropertyWindow::TPropertyWindow(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("プロパティ"));
    BuildForm();
}

TPropertyWindow::~TPropertyWindow()
{
    if (item)
        item->Release();
}

void TPropertyWindow::BuildForm()
{
    auto *threadPage = new QWidget;
    auto *thread = new QFormLayout(threadPage);
    DatNo = Field(thread, QStringLiteral("DAT番号"));
    Path = Field(thread, QStringLiteral("ログファイル"));
    Size = Field(thread, QStringLiteral("サイズ"));
    DiskSize = Field(thread, QStringLiteral("ディスク上のサイズ"));
    BBSName = Field(thread, QStringLiteral("BBS"));
    BoardName = Field(thread, QStringLiteral("板"));
    URL = Field(thread, QStringLiteral("URL"));
    Title = Field(thread, QStringLiteral("タイトル"));
    ResCount = Field(thread, QStringLiteral("レス数"));
    Priority = Field(thread, QStringLiteral("重要度"));
    LastReadDate = Field(thread, QStringLiteral("最終読込時"));
    LastSentDate = Field(thread, QStringLiteral("最終書込時"));
    ReadCount = Field(thread, QStringLiteral("読込回数"));
    Memo = Field(thread, QStringLiteral("コメント"));
    InFavorites = new QCheckBox(QStringLiteral("お気に入り"));
    KakoLog = new QCheckBox(QStringLiteral("過去ログ"));
    InShortcutBar = new QCheckBox(QStringLiteral("ショートカットバー"));
    SpeedButton1 = new QPushButton(QStringLiteral("色設定の初期化"));
    SpeedButton2 = new QPushButton(QStringLiteral("ローカルフォルダから戻す"));
    SpeedButton2->setEnabled(false);
    auto *marks = new QHBoxLayout;
    for (QWidget *widget : {static_cast<QWidget *>(InFavorites), static_cast<QWidget *>(KakoLog),
                            static_cast<QWidget *>(InShortcutBar), static_cast<QWidget *>(SpeedButton1),
                            static_cast<QWidget *>(SpeedButton2)})
        marks->addWidget(widget);
    thread->addRow(marks);

    auto *boardPage = new QWidget;
    auto *board = new QFormLayout(boardPage);
    RemoteBoardID = Field(board, QStringLiteral("板ID"));
    BoardBBS = Field(board, QStringLiteral("BBS"));
    BoardUrl = Field(board, QStringLiteral("URL"));
    TextBoardName = Field(board, QStringLiteral("板名"));
    BoardPath = Field(board, QStringLiteral("ログフォルダ"));
    BoardSize = Field(board, QStringLiteral("サイズ"));
    BoardValue = Field(board, QStringLiteral("ログ"));
    CategoryName = Field(board, QStringLiteral("カテゴリ"));
    CharSet = Field(board, QStringLiteral("文字コード"));

    Pages = new QTabWidget;
    Pages->addTab(threadPage, QStringLiteral("スレッド"));
    Pages->addTab(boardPage, QStringLiteral("板"));
    Pages->tabBar()->hide();
    Button1 = new QPushButton(QStringLiteral("OK"));
    Button2 = new QPushButton(QStringLiteral("キャンセル"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Pages);
    layout->addLayout(buttons);
    connect(Button1, &QPushButton::clicked, this, &TPropertyWindow::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(SpeedButton1, &QPushButton::clicked, this, &TPropertyWindow::SpeedButton1Click);
    connect(SpeedButton2, &QPushButton::clicked, this, &TPropertyWindow::SpeedButton2Click);
    connect(KakoLog, &QCheckBox::clicked, this, &TPropertyWindow::KakoLogClick);
}

QString TPropertyWindow::LogSizeText(qint64 bytes)
{
    return QStringLiteral("%1 バイト (%2 KB)").arg(bytes).arg(bytes / 1024 + 1);
}

void TPropertyWindow::FolderSummary(const QString &folder, int &dats, qint64 &bytes)
{
    dats = 0;
    bytes = 0;
    QDirIterator files(folder, QDir::Files);
    while (files.hasNext()) {
        const QFileInfo file(files.next());
        bytes += file.size();
        if (file.suffix().compare(QLatin1String("dat"), Qt::CaseInsensitive) == 0)
            ++dats;
    }
}

QString TPropertyWindow::FolderSizeText(qint64 bytes)
{
    if (bytes >= 1048576)
        return QStringLiteral("%1 MB (%2 バイト)").arg(Grouped(bytes / 1024 / 1024), Grouped(bytes));
    return QStringLiteral("%1 KB (%2 バイト)").arg(Grouped(bytes / 1024), Grouped(bytes));
}

void TPropertyWindow::SetThreadItem(TThreadItem *shown)
{
    if (item)
        item->Release();
    item = shown;
    item->AddRef();
    ShowThread();
    Pages->setCurrentIndex(0);
}

void TPropertyWindow::ShowThread()
{
    const TBoard *board = item->GetBoard();
    DatNo->setText(item->GetKey());
    Path->setText(item->GetLogFile());
    Size->setText(LogSizeText(item->SIZE));
    DiskSize->setText(item->LogExists() ? LogSizeText(QFileInfo(item->GetLogFile()).size()) : QString());
    BBSName->setText(item->Site ? item->Site->NAME : QString());
    BoardName->setText(board ? board->Name : QString());
    URL->setText(item->BBS ? item->BBS->GetReadUrl(item) : QString());
    Title->setText(item->ShownTitle());
    ResCount->setText(QString::number(item->COUNT));
    Priority->setText(QString::number(item->PRIORITY));
    LastReadDate->setText(item->LAST_LOAD);
    LastSentDate->setText(item->LAST_SENT);
    ReadCount->setText(QString::number(item->LOAD_COUNT));
    Memo->setText(item->COMMENT);
    InFavorites->setChecked(item->FAVORITE);
    InFavorites->setEnabled(!item->LOCALLOG);
    SpeedButton2->setEnabled(LocalFolderReturn::FormerBoard(*item) != nullptr);
    KakoLog->setChecked(item->KAKOLOG);
    InShortcutBar->setChecked(item->SHORTCUT);
}

void TPropertyWindow::SetBoard(const TBoard *board)
{
    RemoteBoardID->setText(board->BBSName);
    BoardBBS->setText(board->Site ? board->Site->NAME : QString());
    BoardUrl->setText(board->URL);
    TextBoardName->setText(board->Name);
    BoardPath->setText(board->GetLogDir());
    CategoryName->setText(board->Category);
    CharSet->setText(Tavutils::CharsetToName(board->CodePage));
    int dats = 0;
    qint64 bytes = 0;
    FolderSummary(board->GetLogDir(), dats, bytes);
    BoardValue->setText(QStringLiteral("DATの数 : %1").arg(dats));
    BoardSize->setText(FolderSizeText(bytes));
    Pages->setCurrentIndex(1);
}

void TPropertyWindow::KakoLogClick()
{
    if (!TavuConfig->CACHED)
        Dialogs::ShowMessage(Dialogs::mkWarning,
                             QStringLiteral("保存モードになっていません。[ファイル|保存モード]をオンにしてください。"));
}

void TPropertyWindow::SpeedButton1Click()
{
    if (!item)
        return;
    item->COLOR = clWindowText;
    item->SaveInfo();
}

void TPropertyWindow::SpeedButton2Click()
{
    if (!item)
        return;
    if (!LocalFolderReturn::MoveBack(item))
        Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("ログをローカルフォルダから戻せませんでした。"));
    ShowThread();
}

// False when the favourite dialog was cancelled: the box is cleared and the window stays.
bool TPropertyWindow::ApplyFavorite()
{
    if (item->FAVORITE && !InFavorites->isChecked()) {
        UserFiles::RemoveFromFavoriteFiles(item);
        item->SaveInfo();
    } else if (!item->FAVORITE && InFavorites->isChecked()) {
        TFavoriteDialog dialog(this);
        dialog.Mode = TFavoriteDialog::fmThread;
        dialog.Items.Add(item);
        if (Dialogs::ExecDialog(dialog) != QDialog::Accepted) {
            InFavorites->setChecked(false);
            return false;
        }
    }
    return true;
}

void TPropertyWindow::Button1Click()
{
    if (!item || Pages->currentIndex() != 0) {
        accept();
        return;
    }
    if (!ApplyFavorite())
        return;
    if (item->SHORTCUT && !InShortcutBar->isChecked()) {
        BarsAndMenus::RemoveFromShortcutFile(item);
        item->SaveInfo();
    } else if (!item->SHORTCUT && InShortcutBar->isChecked() && item->Site) {
        TShortcutDialog dialog(this);
        dialog.AddItem(skThread, item->ShownTitle(), item->GetKey(), item->BoardID, item->Site->SITEID);
        dialog.FormShow();
        if (Dialogs::ExecDialog(dialog) == QDialog::Accepted) {
            item->SHORTCUT = true;
            item->SaveInfo();
        }
    }
    if (item->KAKOLOG != KakoLog->isChecked()) {
        item->KAKOLOG = KakoLog->isChecked();
        item->SaveInfo();
    }
    accept();
}
