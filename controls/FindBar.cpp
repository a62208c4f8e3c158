#include "controls/FindBar.h"

#include "render/EmbeddedWB.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

TFindBar *TFindBar::Of(TEmbeddedWB *browser)
{
    if (auto *bar = browser->findChild<TFindBar *>(QString(), Qt::FindDirectChildrenOnly))
        return bar;
    return new TFindBar(browser);
}

TFindBar::TFindBar(TEmbeddedWB *browser) : QFrame(browser), browser(browser)
{
    setObjectName(QStringLiteral("FindBar"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    Edit = new QLineEdit(this);
    Edit->setPlaceholderText(QStringLiteral("このページの検索"));
    Edit->setMinimumWidth(Edit->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 24);
    Matches = new QLabel(this);
    Matches->setMinimumWidth(Matches->fontMetrics().horizontalAdvance(QStringLiteral("9999 件")));   // the bar keeps its size
    PriorButton = new QToolButton(this);
    PriorButton->setText(QStringLiteral("前へ"));
    NextButton = new QToolButton(this);
    NextButton->setText(QStringLiteral("次へ"));
    CloseButton = new QToolButton(this);
    CloseButton->setText(QStringLiteral("×"));
    CloseButton->setToolTip(QStringLiteral("閉じる (Esc)"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    for (QWidget *part : {static_cast<QWidget *>(Edit), static_cast<QWidget *>(Matches), static_cast<QWidget *>(PriorButton),
                          static_cast<QWidget *>(NextButton), static_cast<QWidget *>(CloseButton)})
        layout->addWidget(part);

    connect(Edit, &QLineEdit::returnPressed, this, [this] { FindNext(); });
    connect(PriorButton, &QToolButton::clicked, this, [this] { FindNext(true); });
    connect(NextButton, &QToolButton::clicked, this, [this] { FindNext(); });
    connect(CloseButton, &QToolButton::clicked, this, &TFindBar::Close);
    connect(browser, &TEmbeddedWB::FindFinished, this, [this](int count) {
        if (isVisible())   // not the end of the search that closing the bar runs
            Matches->setText(Edit->text().isEmpty() ? QString() : QStringLiteral("%1 件").arg(count));
    });
    Edit->installEventFilter(this);
    browser->installEventFilter(this);
    hide();
}

void TFindBar::Open()
{
    Place();
    show();
    raise();
    Edit->setFocus();
    Edit->selectAll();
}

void TFindBar::FindNext(bool backward)
{
    if (!Edit->text().isEmpty())
        browser->Find(Edit->text(), backward);
}

void TFindBar::Close()
{
    hide();
    Matches->clear();
    browser->Find(QString());
    browser->setFocus();
}

// The top right corner of the control, wherever its size goes.
void TFindBar::Place()
{
    adjustSize();
    move(qMax(0, browser->width() - width() - 16), 0);
}

bool TFindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == browser) {
        if (event->type() == QEvent::Resize && isVisible())
            Place();
        return false;
    }
    const bool key = event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress;
    if (!key)
        return false;
    auto *press = static_cast<QKeyEvent *>(event);
    if (press->key() == Qt::Key_Escape) {
        // The bar's own key: taken before any shortcut of the window sees it.
        event->accept();
        if (event->type() == QEvent::KeyPress)
            Close();
        return true;
    }
    if ((press->key() == Qt::Key_Return || press->key() == Qt::Key_Enter) && (press->modifiers() & Qt::ShiftModifier)) {
        event->accept();
        if (event->type() == QEvent::KeyPress)
            FindNext(true);
        return true;
    }
    return false;
}
