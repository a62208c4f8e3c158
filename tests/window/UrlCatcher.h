#pragma once
// Stands in for the desktop's browser: a URL handler that keeps the URLs it is asked to open.

#include <QList>
#include <QObject>
#include <QUrl>

class TUrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> Urls;
public slots:
    void Open(const QUrl &url) { Urls.append(url); }
};
