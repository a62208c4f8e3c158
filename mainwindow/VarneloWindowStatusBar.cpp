#include "mainwindow/VarneloWindowStatusBar.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QStackedLayout>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>

// A panel: a sunken frame with a line of plain text (titles and link texts come from servers), cut
// off where the panel ends. Its size does not follow its text, so a new text is only drawn: the
// window is not laid out again for every status the flows show.
class TStatusPanel : public QFrame {
public:
    explicit TStatusPanel(QWidget *parent) : QFrame(parent)
    {
        setFrameShape(QFrame::Panel);
        setFrameShadow(QFrame::Sunken);
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    }

    QString Text() const { return text; }

    void SetText(const QString &newText)
    {
        if (newText == text)
            return;
        text = newText;
        update();
    }

    QSize sizeHint() const override
    {
        const int frame = 2 * frameWidth();
        return {fontMetrics().horizontalAdvance(QLatin1Char('x')) + frame, fontMetrics().height() + frame};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QFrame::paintEvent(event);
        QPainter painter(this);
        const QRect area = contentsRect().adjusted(1, 0, -1, 0);
        painter.setClipRect(area);
        painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    }

private:
    QString text;
};

TStatusBar::TStatusBar(const QList<int> &widths, QWidget *parent) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    for (int i = 0; i < widths.size(); ++i) {
        auto *panel = new TStatusPanel(this);
        const bool last = i == widths.size() - 1;
        if (last)
            panel->setMinimumWidth(0);
        else
            panel->setFixedWidth(widths[i]);
        layout->addWidget(panel, last ? 1 : 0);
        panels.append(panel);
    }
}

QString TStatusBar::Text(int panel) const
{
    return panels.value(panel) ? panels[panel]->Text() : QString();
}

void TStatusBar::SetText(int panel, const QString &text)
{
    if (TStatusPanel *label = panels.value(panel))
        label->SetText(text);
}

void TStatusBar::SetWidth(int panel, int width)
{
    if (TStatusPanel *label = panels.value(panel); label && panel < panels.size() - 1)
        label->setFixedWidth(width);
}

int TStatusBar::Width(int panel) const
{
    return panels.value(panel) ? panels[panel]->width() : 0;
}

void TStatusBar::PutWidget(int panel, QWidget *widget)
{
    TStatusPanel *label = panels.value(panel);
    if (!label)
        return;
    auto *layout = new QStackedLayout(label);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(widget);
}

TStatusProgress::TStatusProgress(QWidget *parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void TStatusProgress::SetProgress(int newMaximum, int newPosition)
{
    newMaximum = std::max(newMaximum, 0);
    newPosition = std::clamp(newPosition, 0, newMaximum);
    if (running && newMaximum == maximum && newPosition == position)
        return;
    running = true;
    maximum = newMaximum;
    position = newPosition;
    update();
}

void TStatusProgress::Reset()
{
    if (!running)
        return;
    running = false;
    maximum = 0;
    position = 0;
    update();
}

QSize TStatusProgress::sizeHint() const
{
    return {fontMetrics().horizontalAdvance(QLatin1Char('x')) * 10, fontMetrics().height()};
}

void TStatusProgress::paintEvent(QPaintEvent *)
{
    QStyleOptionProgressBar option;
    option.initFrom(this);
    option.styleObject = this;   // the busy bar moves by the style's animation of this widget
    option.minimum = 0;
    option.maximum = running ? maximum : 1;
    option.progress = running ? position : 0;
    option.textVisible = false;
    option.state |= QStyle::State_Horizontal;
    QPainter painter(this);
    style()->drawControl(QStyle::CE_ProgressBar, &option, &painter, this);
}
