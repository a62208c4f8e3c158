#include "tools/SendDialog.h"

#include "services/ComposerFiles.h"
#include "services/EventLog.h"
#include "tools/PreviewWindow.h"

#include "boards/Be2chManager.h"
#include "boards/DolibManager.h"

#include "controls/BarsAndMenus.h"
#include "controls/Dialogs.h"
#include "core/BBS.h"
#include "core/Board.h"
#include "core/Exceptions.h"
#include "core/FileUtil.h"
#include "core/JConvert.h"
#include "core/MonaUtils.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/ShortcutText.h"
#include "core/Site.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/TextList.h"
#include "core/ThreadItem.h"
#include "net/HttpCli.h"
#include "net/HttpSettings.h"
#include "render/EmbeddedWB.h"
#include "render/TavuBrowser.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

const QString WritingCategory = QStringLiteral("書き込みウィンドウ");
const QString EditorCategory = QStringLiteral("エディタ");
const QString TextFileFilter = QStringLiteral("テキストファイル (*.txt);;All Files (*.*)");
const QString BarSection = QStringLiteral("SENDWIN_COOLBAR1");
const QString PreviewView = QStringLiteral("senddialog_preview");
const QString LocalRuleFileName = QStringLiteral("localrule.htm");

// True when the text holds nothing but blanks, control characters and line breaks.
bool IsBlankText(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() > ' ')
            return false;
    }
    return true;
}

QStringList ComboItems(const QComboBox *combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items.append(combo->itemText(i));
    return items;
}

// Puts the entry first in the combo box's list; the edit text is set again by the caller.
void PutFirst(QComboBox *combo, const QString &entry)
{
    QStringList items = ComboItems(combo);
    if (!ComposerFiles::PushHistory(items, entry))
        return;
    combo->clear();
    combo->addItems(items);
}

QComboBox *NewHandleCombo(QWidget *parent)
{
    auto *combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    return combo;
}

// The number of lines as a memo counts them (a final empty line does not count) and the length of
// the text in Shift_JIS bytes with CR LF line ends.
QString CountText(const QString &text)
{
    TTextList lines;
    lines.SetText(text);
    QString crlf = text;
    crlf.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return QStringLiteral("行数: %1  文字数: %2").arg(lines.Count()).arg(jconvert::UnicodeToSjis(crlf).size());
}

// The local rules as localrule.htm holds them: an HTML body as it came, any other text wrapped.
QByteArray LocalRulePage(const QByteArray &body)
{
    if (body.startsWith('<'))
        return body;
    return QByteArray("<HTML><BODY>\r\n") + body + QByteArray("\r\n</BODY></HTML>\r\n");
}

}  // namespace

// ---- creation ----

TSendDialog::TSendDialog(QWidget *parent)
    : TFoldingWindow(parent, Qt::Window)
{
    setObjectName(FormName());
    setAttribute(Qt::WA_DeleteOnClose);
    // The composer stays above the main window while the user reads the thread beside it.
    if (TavuConfig->SEND_EXPAND)
        setWindowFlag(Qt::WindowStaysOnTopHint);
    CreateActions();
    CreatePages();
    CreateBars();

    Timer1 = new QTimer(this);
    Timer1->setInterval(500);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &TSendDialog::Timer1Timer);

    SenderBody->setFont(QFont(TavuConfig->SEND_FONTNAME, TavuConfig->SEND_FONTSIZE));
    CheckBox1->setChecked(TavuConfig->DESKTOP_SENDWIN_SAVEHANDLE);
    AAList->addItems(ComposerFiles::LoadAAList());
    resize(TavuConfig->SENDWIN_WIDTH, TavuConfig->SENDWIN_HEIGHT);
    savedHeight = height();
    ApplyStoredShortcuts();
}

TSendDialog::~TSendDialog()
{
    if (previewWindow && actShowPreview->isChecked())
        previewWindow->SaveBounds();
    if (SwitchWindowCommands)
        SwitchWindowCommands(true);
    if (WebBrowser1 && WebBrowser1->IsBusy())
        WebBrowser1->Stop();
    if (item)
        item->Release();
}

QAction *TSendDialog::NewAction(const QString &name, const QString &caption, const QString &category)
{
    auto *action = new QAction(caption, this);
    action->setObjectName(name);
    action->setProperty("category", category);
    ActionList1.append(action);
    return action;
}

void TSendDialog::CreateActions()
{
    actNew = NewAction(QStringLiteral("actNew"), QStringLiteral("新規作成(&N)"), WritingCategory);
    actOpen = NewAction(QStringLiteral("actOpen"), QStringLiteral("開く(&O)..."), WritingCategory);
    actSave = NewAction(QStringLiteral("actSave"), QStringLiteral("保存(&S)..."), WritingCategory);
    actShowPreview = NewAction(QStringLiteral("actShowPreview"), QStringLiteral("プレビュー表示(&R)..."), WritingCategory);
    actSend = NewAction(QStringLiteral("actSend"), QStringLiteral("送信(&D)"), WritingCategory);
    actPre = NewAction(QStringLiteral("actPre"), QStringLiteral("&PRE"), WritingCategory);
    actSage = NewAction(QStringLiteral("actSage"), QStringLiteral("SA&GE"), WritingCategory);
    actTouhaba = NewAction(QStringLiteral("actTouhaba"), QStringLiteral("等幅(&T)"), WritingCategory);
    actFont = NewAction(QStringLiteral("actFont"), QStringLiteral("フォント(&T)..."), WritingCategory);
    actShowAAList = NewAction(QStringLiteral("actShowAAList"), QStringLiteral("AAリストの表示"), WritingCategory);
    actUndo = NewAction(QStringLiteral("actUndo"), QStringLiteral("元に戻す(&U)"), EditorCategory);
    actRedo = NewAction(QStringLiteral("actRedo"), QStringLiteral("やり直し(&R)"), EditorCategory);
    actCut = NewAction(QStringLiteral("actCut"), QStringLiteral("切り取り(&T)"), EditorCategory);
    actCopy = NewAction(QStringLiteral("actCopy"), QStringLiteral("コピー(&C)"), EditorCategory);
    actPaste = NewAction(QStringLiteral("actPaste"), QStringLiteral("貼り付け(&P)"), EditorCategory);
    actDelete = NewAction(QStringLiteral("actDelete"), QStringLiteral("削除(&D)"), EditorCategory);
    actSelectAll = NewAction(QStringLiteral("actSelectAll"), QStringLiteral("すべて選択(&A)"), EditorCategory);

    actSend->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    actShowAAList->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Space));
    actSelectAll->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    for (QAction *toggle : {actShowPreview, actPre, actSage, actTouhaba})
        toggle->setCheckable(true);
    for (QAction *action : ActionList1)
        action->setShortcutContext(Qt::WindowShortcut);
    addActions(ActionList1);

    connect(actNew, &QAction::triggered, this, &TSendDialog::actNewExecute);
    connect(actOpen, &QAction::triggered, this, &TSendDialog::actOpenExecute);
    connect(actSave, &QAction::triggered, this, &TSendDialog::actSaveExecute);
    connect(actShowPreview, &QAction::triggered, this, &TSendDialog::actShowPreviewExecute);
    connect(actSend, &QAction::triggered, this, [this] { actSendExecute(); });
    connect(actSage, &QAction::triggered, this, &TSendDialog::actSageExecute);
    connect(actFont, &QAction::triggered, this, &TSendDialog::actFontExecute);
    connect(actShowAAList, &QAction::triggered, this, &TSendDialog::actShowAAListExecute);
}

void TSendDialog::CreatePages()
{
    auto *central = new QWidget(this);
    CentralLayout = new QVBoxLayout(central);
    CentralLayout->setContentsMargins(2, 2, 2, 2);
    PageControl1 = new QTabWidget(central);
    TabSheet1 = CreateWritingPage();
    PageControl1->addTab(TabSheet1, QStringLiteral("書き込み(&A)"));
    TabSheet2 = new QWidget;
    Memo2 = new QPlainTextEdit(TabSheet2);
    Memo2->setReadOnly(true);
    Memo2->setLineWrapMode(QPlainTextEdit::NoWrap);
    (new QVBoxLayout(TabSheet2))->addWidget(Memo2);
    PageControl1->addTab(TabSheet2, QStringLiteral("書き込みログ"));
    TabSheet3 = new QWidget;
    new QVBoxLayout(TabSheet3);
    PageControl1->addTab(TabSheet3, QStringLiteral("ローカルルール"));
    connect(PageControl1, &QTabWidget::currentChanged, this, &TSendDialog::PageControl1Change);
    CentralLayout->addWidget(PageControl1, 1);
    setCentralWidget(central);

    StatusPanel0 = new QLabel(this);
    StatusPanel1 = new QLabel(this);
    statusBar()->addWidget(StatusPanel0, 1);
    statusBar()->addWidget(StatusPanel1, 1);

    AAList = new QListWidget(central);
    AAList->hide();
    AAList->installEventFilter(this);
    connect(AAList, &QListWidget::itemDoubleClicked, this, [this] {
        AAListChoose();
        AAListClose();
    });
}

QWidget *TSendDialog::CreateWritingPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    InfoPanel = new QWidget(page);
    InfoMsg = new QLabel(QStringLiteral("BE@2ch にログインしています。この書き込みはユーザプロフィール付きになります。"), InfoPanel);
    (new QVBoxLayout(InfoPanel))->addWidget(InfoMsg);
    InfoPanel->hide();
    layout->addWidget(InfoPanel);

    auto *form = new QFormLayout;
    SenderName = NewHandleCombo(page);
    SenderMail = NewHandleCombo(page);
    form->addRow(QStringLiteral("ハンドル(&H) :"), SenderName);
    form->addRow(QStringLiteral("メール(&M) :"), SenderMail);
    layout->addLayout(form);

    lblCaution = new QLabel(QStringLiteral("※書き込む前に 『ローカルルール』 をよく読みましょう。"), page);
    QFont bold = lblCaution->font();
    bold.setBold(true);
    lblCaution->setFont(bold);
    layout->addWidget(lblCaution);

    SenderBody = new QPlainTextEdit(page);
    SenderBody->setLineWrapMode(QPlainTextEdit::NoWrap);
    SenderBody->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    SenderBody->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    SenderBody->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(SenderBody, &QPlainTextEdit::textChanged, this, &TSendDialog::SenderBodyChange);
    connect(SenderBody, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        QMenu menu(this);
        menu.addActions({actUndo, actRedo});
        menu.addSeparator();
        menu.addActions({actCut, actCopy, actPaste, actDelete});
        menu.addSeparator();
        menu.addAction(actSelectAll);
        menu.exec(SenderBody->mapToGlobal(pos));
    });
    connect(actUndo, &QAction::triggered, SenderBody, &QPlainTextEdit::undo);
    connect(actRedo, &QAction::triggered, SenderBody, &QPlainTextEdit::redo);
    connect(actCut, &QAction::triggered, SenderBody, &QPlainTextEdit::cut);
    connect(actCopy, &QAction::triggered, SenderBody, &QPlainTextEdit::copy);
    connect(actPaste, &QAction::triggered, SenderBody, &QPlainTextEdit::paste);
    connect(actDelete, &QAction::triggered, SenderBody, [this] { SenderBody->textCursor().removeSelectedText(); });
    connect(actSelectAll, &QAction::triggered, SenderBody, &QPlainTextEdit::selectAll);
    layout->addWidget(SenderBody, 1);
    return page;
}

void TSendDialog::CreateBars()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    file->addActions({actNew, actOpen, actSave, actSend});
    QMenu *edit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
    edit->addAction(actUndo);
    edit->addSeparator();
    edit->addActions({actSage, actPre, actTouhaba});
    QMenu *view = menuBar()->addMenu(QStringLiteral("表示(&V)"));
    view->addActions({actFont, actShowPreview});

    FileToolBar = addToolBar(QStringLiteral("ファイル"));
    FileToolBar->setObjectName(QStringLiteral("FileToolBar"));
    FileToolBar->addActions({actNew, actOpen, actSave, actShowPreview});
    SendToolBar = addToolBar(QStringLiteral("送信"));
    SendToolBar->setObjectName(QStringLiteral("SendToolBar"));
    QAction *sendButton = SendToolBar->addAction(QStringLiteral("送信"));
    connect(sendButton, &QAction::triggered, actSend, &QAction::trigger);
    connect(actSend, &QAction::enabledChanged, sendButton, &QAction::setEnabled);
    addToolBarBreak();   // the switches get a row of their own in the narrow window
    SwitchToolBar = addToolBar(QStringLiteral("スイッチ"));
    SwitchToolBar->setObjectName(QStringLiteral("SwitchToolBar"));
    SwitchToolBar->addActions({actSage, actPre, actTouhaba});
    CheckBox1 = new QCheckBox(QStringLiteral("このハンドルを保存(&S)"), SwitchToolBar);
    SaveHandleItem = SwitchToolBar->addWidget(CheckBox1);
    SetSwitchesAllowed(false, false, false);
}

// The composer's key bindings (section SHORTCUT_SendDialog, written by the key-binding editor)
// replace the designed ones once the section exists.
void TSendDialog::ApplyStoredShortcuts()
{
    const QString section = QStringLiteral("SHORTCUT_") + FormName();
    if (!TavuConfig->Ini.SectionExists(section))
        return;
    for (QAction *action : ActionList1) {
        const int key = ShortcutText::TextToQtKey(TavuConfig->Ini.ReadString(section, action->objectName()));
        action->setShortcut(key ? QKeySequence(key) : QKeySequence());
    }
}

// ---- preparation ----

void TSendDialog::SetThread(TThreadItem *thread)
{
    thread->AddRef();
    if (item)
        item->Release();
    item = thread;
    board = item->GetBoard();
    setWindowTitle(item->ShownTitle() + QStringLiteral(" に書き込み"));

    const quint8 flags = item->BBS ? item->BBS->ResFlags : 0;
    SetSwitchesAllowed(flags & TBBS::RES_SAGE, flags & TBBS::RES_PRE, flags & TBBS::RES_FIXED);
    sageInMail = flags & TBBS::RES_SAGE_IN_MAIL;

    LoadHandleHistories();
    const QString siteId = item->Site ? item->Site->SITEID : QString();
    ApplyDefaultHandles(siteId, item->BoardID);
    for (const auto &handle : ComposerFiles::MatchThreadHandles(ComposerFiles::LoadThreadHandles(), item->TITLE)) {
        TakeName(handle.Handle);
        TakeMail(handle.Mail);
    }
    const QString identity = ComposerFiles::ThreadIdentity(siteId, item->BoardID, item->GetKey());
    for (const auto &last : ComposerFiles::LookupSendNames(identity)) {
        TakeName(last.Name);
        TakeMail(last.Mail);
        actSage->setChecked(last.Sage);
        actPre->setChecked(last.Pre);
        actTouhaba->setChecked(last.Touhaba);
    }
    ShowCurrentHandle();
    if (!actSage->isChecked() && currentMail.compare(QStringLiteral("sage"), Qt::CaseInsensitive) == 0)
        actSage->setChecked(true);
}

void TSendDialog::SetSwitchesAllowed(bool sage, bool pre, bool touhaba)
{
    sageAllowed = sage;
    preAllowed = pre;
    touhabaAllowed = touhaba;
    // A switch the board type does not allow stays off on every page.
    const bool writing = PageControl1->currentIndex() == 0;
    actSage->setEnabled(writing && sageAllowed);
    actPre->setEnabled(writing && preAllowed);
    actTouhaba->setEnabled(writing && touhabaAllowed);
}

void TSendDialog::LoadHandleHistories()
{
    SenderName->clear();
    SenderName->addItems(ComposerFiles::LoadLines(ComposerFiles::NameLogFile()));
    SenderMail->clear();
    SenderMail->addItems(ComposerFiles::LoadLines(ComposerFiles::MailLogFile()));
}

void TSendDialog::ApplyDefaultHandles(const QString &siteId, const QString &boardId)
{
    TakeName(TavuConfig->GLOBALHANDLE);
    TakeMail(TavuConfig->GLOBALMAIL);
    const ComposerFiles::TBoardHandle fixed = ComposerFiles::LookupBoardHandle(siteId, boardId);
    if (!fixed.Handle.isEmpty())
        TakeName(fixed.Handle);
    if (!fixed.Mail.isEmpty())
        TakeMail(fixed.Mail);
}

void TSendDialog::TakeName(const QString &name)
{
    currentName = name;
    PutFirst(SenderName, name);
}

void TSendDialog::TakeMail(const QString &mail)
{
    currentMail = mail;
    PutFirst(SenderMail, mail);
}

void TSendDialog::ShowCurrentHandle()
{
    SenderName->setEditText(currentName);
    SenderMail->setEditText(currentMail);
}

bool TSendDialog::GetSage() const
{
    return actSage->isEnabled() && actSage->isChecked();
}

bool TSendDialog::GetPre() const
{
    return actPre->isEnabled() && actPre->isChecked();
}

bool TSendDialog::GetTouhaba() const
{
    return actTouhaba->isEnabled() && actTouhaba->isChecked();
}

// ---- sending ----

bool TSendDialog::Confirm(const QString &text)
{
    return Dialogs::AskYesNo(text, Dialogs::mkWarning);
}

// The histories are written first, so that a post the user then abandons, or the server refuses,
// keeps its text; a file that cannot be written is only logged.
void TSendDialog::actSendExecute()
{
    try {
        SaveHistory();
    } catch (const EVarnelo &e) {
        EventLog::AddLog(e.Message);
    }
    bool goOn = true;
    ApplyPastLogLoginOffer(goOn);
    if (!goOn)
        return;
    if (TavuConfig->FUSIANASAN && SenderName->currentText().contains(QStringLiteral("fusianasan"))
        && !Confirm(QStringLiteral("fusianasanで書き込もうとしています。\r\n"
                                   "掲示板によってはfusianasanで書き込むとリモートホストが表示されたりします。\r\n"
                                   "書き込みますか？")))
        return;
    if (TavuConfig->MACHIBBS_WARNING && item && item->BBS
        && item->BBS->ID.compare(QStringLiteral("machibbsscript"), Qt::CaseInsensitive) == 0
        && !Confirm(QStringLiteral("まちBBSに書き込もうとしています。\r\n"
                                   "まちBBSはリモートホストを採取・公開します。\r\n"
                                   "書き込みますか？")))
        return;
    RaiseSend();
}

void TSendDialog::RaiseSend()
{
    Sending = 1;
    // Hidden, not closed: the user's choice to show the preview stays as it is.
    if (previewWindow)
        previewWindow->hide();
    hide();
    if (OnSend)
        OnSend(this);
}

void TSendDialog::ShowAgain()
{
    Sending = 0;
    show();
    raise();
    activateWindow();
}

void TSendDialog::SaveHistory()
{
    if (!TavuConfig->SAVEHIST_SEND)
        return;
    WritePostLog();
    if (CheckBox1->isChecked() && item) {
        const QString siteId = item->Site ? item->Site->SITEID : QString();
        ComposerFiles::AppendSendName({ComposerFiles::ThreadIdentity(siteId, item->BoardID, item->GetKey()),
                                       SenderName->currentText(), SenderMail->currentText(), actSage->isChecked(),
                                       actPre->isChecked(), actTouhaba->isChecked()});
    }
    RecordHandleHistories();
    TavuConfig->DESKTOP_SENDWIN_SAVEHANDLE = CheckBox1->isChecked();
}

void TSendDialog::RecordHandleHistories()
{
    const QString name = SenderName->currentText();
    const QString mail = SenderMail->currentText();
    TakeName(name);
    TakeMail(mail);
    ComposerFiles::RecordHistory(ComposerFiles::NameLogFile(), name);
    ComposerFiles::RecordHistory(ComposerFiles::MailLogFile(), mail);
    ShowCurrentHandle();
}

void TSendDialog::actSageExecute(bool checked)
{
    if (!sageInMail)
        return;
    const QString sage = QStringLiteral("sage");
    const QString mail = SenderMail->currentText();
    if (checked && !mail.contains(sage))
        SenderMail->setEditText(sage + mail);
    else if (!checked && mail.startsWith(sage))
        SenderMail->setEditText(mail.mid(sage.size()));
}

// A "●" name on 2ch posts through the past-log account: offer to log in first. A failed login
// stops the send; declining goes on without it.
void TSendDialog::ApplyPastLogLoginOffer(bool &goOn)
{
    const bool on2ch = board && board->Site && board->Site->SITEID.toLower() == QStringLiteral("2ch");
    if (!on2ch || !SenderName->currentText().contains(QStringLiteral("●")) || TavuConfig->DOLIB_USERNAME.isEmpty()
        || !DolibManager || DolibManager->IsLoggedIn())
        return;
    if (!Dialogs::AskYesNo(QStringLiteral("２ちゃんねるへログインしますか？"), Dialogs::mkInformation))
        return;
    if (!DolibManager->Login()) {
        DolibManager->Logout();
        goOn = false;
    }
}

void TSendDialog::UpdateBeNotice()
{
    InfoPanel->hide();
    const bool on2ch = board && board->Site && board->Site->SITEID == QStringLiteral("2ch");
    if (on2ch && Be2chManager && Be2chManager->IsLoggedIn()
        && (TavuConfig->BE_SENDLOGININFO || Be2chManager->IsBeBoard(board)))
        InfoPanel->show();
}

// ---- post log ----

QString TSendDialog::GetPostLogFile() const
{
    return ComposerFiles::ProfileFile(ComposerFiles::SendLogFile());
}

ComposerFiles::TPostLogEntry TSendDialog::NewPostLogEntry() const
{
    ComposerFiles::TPostLogEntry entry;
    entry.BoardName = board ? board->Name : QString();
    entry.SiteName = board && board->Site ? board->Site->NAME : QString();
    entry.Name = SenderName->currentText();
    entry.Mail = SenderMail->currentText();
    entry.Body = SenderBody->toPlainText();
    entry.Time = QDateTime::currentDateTime();
    return entry;
}

void TSendDialog::WritePostLog()
{
    ComposerFiles::TPostLogEntry entry = NewPostLogEntry();
    entry.Title = item ? item->TITLE : QString();
    ComposerFiles::PrependPostLog(GetPostLogFile(), entry);
}

void TSendDialog::LoadPostLog()
{
    const QString path = GetPostLogFile();
    if (!Memo2->toPlainText().isEmpty() || !QFileInfo::exists(path))
        return;
    QString text;
    switch (ComposerFiles::ReadPostLogForPage(path, text)) {
    case ComposerFiles::TPostLogPage::Read:
        Memo2->setPlainText(text);
        return;
    case ComposerFiles::TPostLogPage::Unreadable:
        Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("書き込みログを読み込めませんでした：%1").arg(path));
        return;
    case ComposerFiles::TPostLogPage::TooLarge:
        break;
    }
    try {
        const QString bak = ComposerFiles::RenameOverfullLog(path);
        Dialogs::ShowMessage(Dialogs::mkWarning,
                             QStringLiteral("書き込みログの容量が制限を越えました。\r\n今までの書き込みログを別名で保存しました。\r\n \r\n") + bak);
    } catch (const EFileError &e) {
        Dialogs::ShowMessage(Dialogs::mkError, e.Message);
    }
}

// ---- commands ----

void TSendDialog::actNewExecute()
{
    if (Confirm(QStringLiteral("内容をクリアしますか？")))
        SenderBody->clear();
}

void TSendDialog::actOpenExecute()
{
    QFileDialog dialog(this, QString(), QFileInfo(openFileName).path(), TextFileFilter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    openFileName = dialog.selectedFiles().constFirst();
    TTextList text;
    text.LoadFromFile(openFileName);
    SenderBody->setPlainText(text.Lines.join(QLatin1Char('\n')));
}

// A file that cannot be written is reported; the body stays as it is.
void TSendDialog::actSaveExecute()
{
    try {
        if (PageControl1->currentIndex() == 1) {
            WritePostLog();
            Memo2->clear();
            LoadPostLog();
            return;
        }
        const QString name = openFileName.isEmpty() ? QStringLiteral("書き込み文章をいったん保存") : openFileName;
        QFileDialog dialog(this, QString(), name, TextFileFilter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("txt"));
        if (Dialogs::ExecDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return;
        TTextList text;
        text.SetText(SenderBody->toPlainText());
        text.SaveToFile(dialog.selectedFiles().constFirst());
    } catch (const EVarnelo &e) {
        Dialogs::ShowMessage(Dialogs::mkError, e.Message);
    }
}

void TSendDialog::actFontExecute()
{
    QFontDialog dialog(SenderBody->font(), this);
    if (Dialogs::ExecDialog(dialog) != QDialog::Accepted)
        return;
    const QFont font = dialog.selectedFont();
    SenderBody->setFont(font);
    TavuConfig->SEND_FONTNAME = font.family();
    TavuConfig->SEND_FONTSIZE = font.pointSize();
}

void TSendDialog::PageControl1Change(int index)
{
    const bool writing = index == 0;
    for (QAction *action : {actNew, actOpen, actShowPreview, actFont, actSend})
        action->setEnabled(writing);
    SetSwitchesAllowed(sageAllowed, preAllowed, touhabaAllowed);
    actSave->setEnabled(index == 0 || index == 1);
    if (index == 2)
        ShowLocalRules();
    else if (index == 1)
        LoadPostLog();
}

// ---- preview ----

TPreviewWindow *TSendDialog::Preview()
{
    if (!previewWindow) {
        previewWindow = new TPreviewWindow(this);
        previewWindow->OnClose = [this] { actShowPreview->setChecked(false); };
    }
    return previewWindow;
}

void TSendDialog::actShowPreviewExecute()
{
    if (!isVisible())
        return;
    if (actShowPreview->isChecked()) {
        Preview()->show();
        Timer1->start();
    } else if (previewWindow) {
        previewWindow->SaveBounds();
        previewWindow->hide();
    }
}

void TSendDialog::SenderBodyChange()
{
    Timer1->start();
    StatusPanel0->setText(CountText(SenderBody->toPlainText()));
}

void TSendDialog::Timer1Timer()
{
    Timer1->stop();
    if (previewWindow && previewWindow->isVisible())
        UpdatePreview(previewWindow->Browser());
}

// The preview shows the reply as a response of a thread of its own at the thread's address: its
// footer counts the one response shown, not the responses of the thread answered.
void TSendDialog::UpdatePreview(TTavuBrowser *preview)
{
    if (!item)
        return;
    auto *thread = new TThreadItem;
    thread->Site = item->Site;
    thread->BoardID = item->BoardID;
    thread->BBS = item->BBS;
    thread->DatName = item->DatName;
    thread->TITLE = item->TITLE;
    RenderPreview(preview, thread, thread->TITLE);
    thread->Release();
}

void TSendDialog::RenderPreview(TTavuBrowser *preview, TThreadItem *previewItem, const QString &title)
{
    preview->SetThreadItem(previewItem);
    auto *list = new TResList(previewItem);
    preview->SetResList(list);
    auto *res = new TRes;
    res->Number = 1;
    res->Name = SenderName->currentText();
    res->SetMail(SenderMail->currentText());
    res->SetDate(QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")) + QStringLiteral(" ID:???"));
    res->BBS = previewItem->BBS;
    res->Site = previewItem->Site;
    res->Board = board;
    res->Title = title;
    res->IsNew = false;
    res->Body = MonaUtils::TextToHtml(SenderBody->toPlainText());
    list->Add(res);

    preview->ClearDocument();
    preview->ReadSkinSettings(PreviewView);
    preview->CreateResWriter();
    preview->WriteHeader();
    preview->AppendRes(res);
    preview->WriteHtml();
}

// ---- local rules ----

QString TSendDialog::GetLocalRuleFile()
{
    if (TavuEnviron->IsOffline() || !board)
        return QString();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    StatusPanel1->setText(QStringLiteral("ローカルルール取得中・・・"));
    const auto restore = qScopeGuard([this] {
        StatusPanel1->clear();
        QGuiApplication::restoreOverrideCursor();
    });

    const QString url = board->Site ? board->Site->GetLocalRule(board) : QString();
    if (url.isEmpty())
        return QString();
    const QString file = board->GetLogDir() + LocalRuleFileName;
    if (QFileInfo(file).isFile())
        return file;

    THttpCli http;
    http.URL = url;
    UseConfiguredProxy(http);
    UseLimits(http, TRequestKind::Service);
    QBuffer body;
    body.open(QIODevice::WriteOnly);
    http.RcvdStream = &body;
    http.Get();
    if (http.StatusCode() != 200)
        throw EHttpException(http.StatusCode(), THttpCli::StatusMessage(http.StatusCode()));
    if (body.data().isEmpty())
        return QString();
    FileUtil::ForceDirectories(board->GetLogDir());
    FileUtil::WriteFileAtomic(file, LocalRulePage(body.data()));
    return file;
}

// Most boards have no local rules: a failed fetch is one line in the log pane, and this composer
// does not ask the server again.
QString TSendDialog::LocalRuleFileOrNothing()
{
    if (localRuleFailed)
        return QString();
    try {
        return GetLocalRuleFile();
    } catch (const EVarnelo &e) {
        localRuleFailed = true;
        EventLog::AddLog(QStringLiteral("・ローカルルールを取得できませんでした →") + e.Message);
        return QString();
    }
}

void TSendDialog::ShowLocalRules()
{
    const QString file = LocalRuleFileOrNothing();
    if (file.isEmpty())
        return;
    if (!WebBrowser1) {
        WebBrowser1 = new TEmbeddedWB(TabSheet3);
        TabSheet3->layout()->addWidget(WebBrowser1);
    }
    WebBrowser1->Navigate(file);
}

void TSendDialog::ShowLocalRulesInPreview()
{
    if (!SenderBody->toPlainText().isEmpty())
        return;
    Preview()->ShowFile(LocalRuleFileOrNothing());
}

// ---- ASCII-art list ----

void TSendDialog::actShowAAListExecute()
{
    if (AAList->count() == 0)
        return;
    const QRect caret = SenderBody->cursorRect();
    const QPoint at = SenderBody->viewport()->mapTo(centralWidget(), caret.topLeft());
    AAList->move(at.x(), at.y() + SenderBody->fontMetrics().height());
    AAList->resize(AAList->sizeHintForColumn(0) + 24, qMin(AAList->count(), 10) * AAList->sizeHintForRow(0) + 8);
    AAList->setCurrentRow(0);
    AAList->show();
    AAList->raise();
    AAList->setFocus();
}

void TSendDialog::AAListChoose()
{
    if (QListWidgetItem *chosen = AAList->currentItem())
        SenderBody->insertPlainText(chosen->text());
}

void TSendDialog::AAListClose()
{
    AAList->hide();
    SenderBody->setFocus();
}

bool TSendDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == AAList && AAList->isVisible()) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                AAListChoose();
                AAListClose();
                return true;
            }
            if (key == Qt::Key_Escape) {
                AAListClose();
                return true;
            }
        } else if (event->type() == QEvent::FocusOut) {
            AAList->hide();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- window life ----

void TSendDialog::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (event->spontaneous())
        return;
    setGeometry(TavuConfig->SENDWIN_LEFT, TavuConfig->SENDWIN_TOP, TavuConfig->SENDWIN_WIDTH,
                TavuConfig->SENDWIN_HEIGHT);
    savedHeight = height();
    collapsed = false;
    if (TavuConfig->SENDWIN_PREVIEW) {
        actShowPreview->setChecked(true);
        Preview()->show();
        ShowLocalRulesInPreview();
    } else if (actShowPreview->isChecked()) {
        actShowPreview->setChecked(false);
        actShowPreviewExecute();
    }
    LoadBarLayout();
}

void TSendDialog::hideEvent(QHideEvent *event)
{
    QMainWindow::hideEvent(event);
    if (event->spontaneous())
        return;
    const QRect r = geometry();
    TavuConfig->SENDWIN_LEFT = r.left();
    TavuConfig->SENDWIN_TOP = r.top();
    TavuConfig->SENDWIN_WIDTH = r.width();
    TavuConfig->SENDWIN_HEIGHT = collapsed ? savedHeight : r.height();
    TavuConfig->SENDWIN_PREVIEW = actShowPreview->isChecked();
    SaveBarLayout();
}

void TSendDialog::closeEvent(QCloseEvent *event)
{
    if (isVisible() && !IsBlankText(SenderBody->toPlainText())
        && !Confirm(QStringLiteral("編集中です。閉じてもよかですか？"))) {
        event->ignore();
        return;
    }
    if (SwitchWindowCommands)
        SwitchWindowCommands(true);
    event->accept();
    if (OnClose)
        OnClose(this);
}

void TSendDialog::FormActivate()
{
    if (SwitchWindowCommands)
        SwitchWindowCommands(false);
    if (actShowPreview->isChecked() && !(previewWindow && previewWindow->isVisible())) {
        Preview()->show();
        ShowLocalRulesInPreview();
    }
    setWindowOpacity(1.0);
    Expand();
    raise();
    if (previewWindow && previewWindow->isVisible())
        previewWindow->raise();
    SenderBody->setFocus();
    SenderBody->moveCursor(QTextCursor::End);
    UpdateBeNotice();
}

void TSendDialog::FormDeactivate()
{
    // A window of the composer's own (the preview, its dialogs) taking the focus does not count.
    if (!OwnWindowActive()) {
        if (previewWindow && actShowPreview->isChecked())
            previewWindow->hide();
        if (TavuConfig->SEND_TRANS)
            setWindowOpacity(0.5);
        if (TavuConfig->SEND_EXPAND)
            Collapse();
    }
    if (SwitchWindowCommands)
        SwitchWindowCommands(true);
}

// ---- bar layout ----

void TSendDialog::LoadBarLayout()
{
    BarsAndMenus::LoadCoolBarBands(this, {FileToolBar, SendToolBar, SwitchToolBar}, TavuConfig->Ini, BarSection);
}

void TSendDialog::SaveBarLayout()
{
    BarsAndMenus::SaveCoolBarBands(this, {FileToolBar, SendToolBar, SwitchToolBar}, TavuConfig->Ini, BarSection);
}
