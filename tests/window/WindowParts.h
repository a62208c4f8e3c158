#pragma once
// Part: a part of the main window found as a user's automation finds it, by its object name in the
// window's tree of widgets and objects ("BoardListView", "Memo1", "ThreadListBar"), or, for a part
// the window has only one of (a flow controller, the tray icon), by its kind alone.

#include <QList>
#include <QObject>
#include <QString>
#include <QtGlobal>

// The one descendant of the window of that kind and object name (of any name when none is given);
// the test program stops when the window has none or more than one.
template <typename T>
T *Part(const QObject *window, const char *name = nullptr)
{
    const QList<QObject *> named =
        name ? window->findChildren<QObject *>(QString::fromUtf8(name)) : window->findChildren<QObject *>();
    QList<T *> found;
    for (QObject *object : named) {
        if (auto *part = dynamic_cast<T *>(object))
            found.append(part);
    }
    if (found.size() != 1)
        qFatal("the window has %d parts of the kind asked for named \"%s\"", int(found.size()), name ? name : "");
    return found.first();
}
