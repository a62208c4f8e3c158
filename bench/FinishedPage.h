#pragma once
// The floor of the page benches: the finished page of an open thread tab (or other HTML given), written
// to a file that a bare view of the same engine loads, shown at the tab's size.

#include "window/PostTestEnv.h"
#include "render/TavuBrowser.h"

#include <QFile>
#include <QTemporaryDir>
#include <QWebEngineView>

struct TFinishedPage {
    QTemporaryDir dir;
    QString path;
    QWebEngineView view;

    explicit TFinishedPage(TTavuBrowser *tab) : TFinishedPage(tab, PostTest::PageHtml(tab)) {}

    TFinishedPage(TTavuBrowser *tab, const QString &html) : path(dir.filePath(QStringLiteral("thread.html")))
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(html.toUtf8()) < 0)
            qFatal("cannot write the page");
        file.close();
        view.resize(tab->size());
        view.show();
    }
};
