#pragma once
// Small makers of the window's pane widgets: a named plain panel, and a column that lays its
// widgets edge to edge.

#include <QString>
#include <QVBoxLayout>
#include <QWidget>

namespace PaneWidgets {

inline QVBoxLayout *TightColumn(QWidget *widget)
{
    auto *layout = new QVBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return layout;
}

inline QWidget *Panel(const char *name, QWidget *parent)
{
    auto *panel = new QWidget(parent);
    panel->setObjectName(QString::fromUtf8(name));
    return panel;
}

}  // namespace PaneWidgets
