#include "mainwindow/VarneloWindowStatusBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStackedLayout>

TStatusBar::TStatusBar(const QList<int> &widths, QWidget *parent) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    for (int i = 0; i < widths.size(); ++i) {
        auto *panel = new QLabel(this);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setTextInteractionFlags(Qt::NoTextInteraction);
        panel->setTextFormat(Qt::PlainText);   // titles and link texts come from servers
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
    return panels.value(panel) ? panels[panel]->text() : QString();
}

void TStatusBar::SetText(int panel, const QString &text)
{
    if (QLabel *label = panels.value(panel))
        label->setText(text);
}

void TStatusBar::SetWidth(int panel, int width)
{
    if (QLabel *label = panels.value(panel); label && panel < panels.size() - 1)
        label->setFixedWidth(width);
}

int TStatusBar::Width(int panel) const
{
    return panels.value(panel) ? panels[panel]->width() : 0;
}

void TStatusBar::PutWidget(int panel, QWidget *widget)
{
    QLabel *label = panels.value(panel);
    if (!label)
        return;
    auto *layout = new QStackedLayout(label);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(widget);
}
