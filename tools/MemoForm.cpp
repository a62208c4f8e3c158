#include "tools/MemoForm.h"

#include "controls/Dialogs.h"
#include "core/Exceptions.h"
#include "core/TavuConfig.h"
#include "services/MemoData.h"

#include <QAction>
#include <QInputDialog>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTabBar>
#include <QTextBlock>
#include <QVBoxLayout>

namespace {

// Asks for a page name; false when cancelled.
bool AskName(QWidget *parent, const QString &caption, QString &name)
{
    QInputDialog input(parent);
    input.setWindowTitle(caption);
    input.setLabelText(QStringLiteral("名前"));
    input.setTextValue(name);
    if (Dialogs::ExecDialog(input) != QDialog::Accepted)
        return false;
    name = input.textValue();
    return true;
}

}  // namespace

TMemoForm::TMemoForm(const QString &profileDir, const QString &appDir, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), TabControl1(new QTabBar), Memo1(new QPlainTextEdit),
      PopupMenu1(new QMenu(this)), book(std::make_unique<TMemoBook>(profileDir, appDir))
{
    setWindowTitle(QStringLiteral("ヴァルネロメモ"));
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(TabControl1);
    layout->addWidget(Memo1, 1);

    A1 = PopupMenu1->addAction(QStringLiteral("ページの追加(&A)..."), this, &TMemoForm::A1Click);
    Rename1 = PopupMenu1->addAction(QStringLiteral("名前の変更(&E)..."), this, &TMemoForm::Rename1Click);
    N1 = PopupMenu1->addAction(QStringLiteral("ページの削除"), this, &TMemoForm::N1Click);
    N4 = PopupMenu1->addAction(QStringLiteral("タブを複数段で表示"));
    N4->setCheckable(true);
    connect(N4, &QAction::toggled, TabControl1, [this](bool on) { TabControl1->setExpanding(!on); TabControl1->setUsesScrollButtons(!on); });
    actSelectAll = new QAction(QStringLiteral("すべて選択(&A)"), this);
    actSelectAll->setShortcut(QKeySequence(QStringLiteral("Ctrl+A")));
    connect(actSelectAll, &QAction::triggered, Memo1, &QPlainTextEdit::selectAll);
    addAction(actSelectAll);
    TabControl1->installEventFilter(this);

    if (TavuConfig) {
        QFont font = Memo1->font();
        if (!TavuConfig->DESKTOP_TAVUMEMOFONTNAME.isEmpty())
            font.setFamily(TavuConfig->DESKTOP_TAVUMEMOFONTNAME);
        font.setPointSize(TavuConfig->DESKTOP_TAVUMEMOFONTSIZE);
        Memo1->setFont(font);
    }

    book->Open();
    if (!book->OpenMessage().isEmpty())
        Dialogs::ShowMessage(Dialogs::mkWarning, book->OpenMessage());
    for (int i = 0; i < book->Count(); ++i)
        TabControl1->addTab(book->Page(i)->Name);
    connect(TabControl1, &QTabBar::currentChanged, this, [this](int index) {
        StorePage();
        ShowPage(index);
    });
    ShowPage(TabControl1->currentIndex());
    savedHeight = height();
}

TMemoForm::~TMemoForm()
{
    try {
        StorePage();
        book->Close();
    } catch (const EVarnelo &e) {
        Dialogs::ShowMessage(Dialogs::mkError, e.Message);
    }
}

TMemoData *TMemoForm::CurrentPage() const
{
    return shownIndex >= 0 && shownIndex < book->Count() ? book->Page(shownIndex) : nullptr;
}

void TMemoForm::StorePage()
{
    TMemoData *page = CurrentPage();
    if (!page)
        return;
    page->Lines.SetText(Memo1->toPlainText());
    const QTextCursor cursor = Memo1->textCursor();
    page->SelStart = cursor.selectionStart();
    page->SelLen = cursor.selectionEnd() - cursor.selectionStart();
    page->TopIndex = Memo1->verticalScrollBar()->value();
    page->Save();
}

void TMemoForm::ShowPage(int index)
{
    shownIndex = index;
    TMemoData *page = CurrentPage();
    if (!page) {
        Memo1->clear();
        return;
    }
    Memo1->setPlainText(page->Lines.Lines.join(QLatin1Char('\n')));
    QTextCursor cursor = Memo1->textCursor();
    const int end = Memo1->document()->characterCount() - 1;
    cursor.setPosition(qBound(0, page->SelStart, end));
    cursor.setPosition(qBound(0, page->SelStart + page->SelLen, end), QTextCursor::KeepAnchor);
    Memo1->setTextCursor(cursor);
    Memo1->verticalScrollBar()->setValue(page->TopIndex);
}

void TMemoForm::A1Click()
{
    QString name = QStringLiteral("新規ページ");
    if (!AskName(this, QStringLiteral("ページの追加"), name))
        return;
    try {
        TabControl1->addTab(book->AddPage(name)->Name);
    } catch (const EFileError &e) {
        Dialogs::ShowMessage(Dialogs::mkError, e.Message);
    }
}

void TMemoForm::Rename1Click()
{
    TMemoData *page = CurrentPage();
    if (!page)
        return;
    QString name = page->Name;
    if (!AskName(this, QStringLiteral("名前の変更"), name))
        return;
    page->Name = name;
    TabControl1->setTabText(shownIndex, name);
}

void TMemoForm::N1Click()
{
    if (!CurrentPage() || !Dialogs::AskYesNo(QStringLiteral("ページを削除しますか？"), Dialogs::mkWarning))
        return;
    const int index = shownIndex;
    shownIndex = -1;   // the page goes: nothing to store
    book->DeletePage(index);
    const QSignalBlocker quiet(TabControl1);
    TabControl1->removeTab(index);
    TabControl1->setCurrentIndex(0);
    ShowPage(TabControl1->currentIndex());
}

// The bounds are those of the inner area, placed and stored alike, so that the window comes back
// exactly where it was.
void TMemoForm::showEvent(QShowEvent *event)
{
    if (TavuConfig) {
        const TTavuConfig &config = *TavuConfig;
        setGeometry(config.DESKTOP_TAVUMEMOWIN_LEFT, config.DESKTOP_TAVUMEMOWIN_TOP, config.DESKTOP_TAVUMEMOWIN_WIDTH,
                    config.DESKTOP_TAVUMEMOWIN_HEIGHT);
        N4->setChecked(config.DESKTOP_TAVUMEMOMULTILINE);
    }
    savedHeight = height();
    QWidget::showEvent(event);
}

void TMemoForm::hideEvent(QHideEvent *event)
{
    if (TavuConfig) {
        TTavuConfig &config = *TavuConfig;
        const QRect bounds = geometry();
        config.DESKTOP_TAVUMEMOWIN_LEFT = bounds.left();
        config.DESKTOP_TAVUMEMOWIN_TOP = bounds.top();
        config.DESKTOP_TAVUMEMOWIN_WIDTH = bounds.width();
        // While inactive the window may be shrunk to its title bar; its height is the one it comes back to.
        config.DESKTOP_TAVUMEMOWIN_HEIGHT = isActiveWindow() ? bounds.height() : savedHeight;
        config.DESKTOP_TAVUMEMOMULTILINE = N4->isChecked();
    }
    QWidget::hideEvent(event);
}

void TMemoForm::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isVisible()) {
        if (isActiveWindow()) {
            setWindowOpacity(1.0);
            resize(width(), savedHeight);
            Memo1->setFocus();
        } else {
            Deactivated();
        }
    }
    QWidget::changeEvent(event);
}

void TMemoForm::Deactivated()
{
    try {
        StorePage();
    } catch (const EVarnelo &e) {
        Dialogs::ShowMessage(Dialogs::mkError, e.Message);
    }
    if (TavuConfig && TavuConfig->DESKTOP_TAVUMEMOTRANS)
        setWindowOpacity(128 / 255.0);
    savedHeight = height();
    if (TavuConfig && TavuConfig->DESKTOP_TAVUMEMOEXPAND)
        resize(width(), 0);
}

bool TMemoForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == TabControl1 && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
        PopupMenu1->popup(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
