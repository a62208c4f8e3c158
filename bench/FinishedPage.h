#pragma once
// The floor of the page benches: the finished page of an open thread tab (or other HTML given), written
// to a file that a bare view of the same engine loads, shown at the tab's size. The view has a profile
// of its own, so its page has a renderer process to itself, as a lone page in the engine would: the
// tabs share one, which a load of another page there would wait on.

#include "window/PostTestEnv.h"
#include "render/TavuBrowser.h"

#include <QFile>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

struct TFinishedPage {
    QTemporaryDir dir;
    QString path;
    QWebEngineProfile profile;   // off the record
    QWebEngineView view;

    explicit TFinishedPage(TTavuBrowser *tab) : TFinishedPage(tab, PostTest::PageHtml(tab)) {}

    TFinishedPage(TTavuBrowser *tab, const QString &html) : path(dir.filePath(QStringLiteral("thread.html")))
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(html.toUtf8()) < 0)
            qFatal("cannot write the page");
        file.close();
        view.setPage(new QWebEnginePage(&profile, &view));
        view.resize(tab->size());
        view.show();
    }
};
