#pragma once
// TNinkinet: a short-lived worker thread that calls a site's outside access counter once.
//
// Everything it needs from the configuration is read on the GUI thread when it is made; the cookie
// the counter sets is handed back through CookieReceived (queued to the GUI thread, the only thread
// that changes the configuration). Nothing is shown to the user. The request gives up when stop-all
// sets the stop flag or when the thread is asked to end (shutdown).

#include "net/HttpSettings.h"

#include <QString>
#include <QThread>

class TNinkinet : public QThread {
    Q_OBJECT
public:
    // urlTemplate holds "<ID>" (any letter case) where the counter id goes; cookie is the value kept
    // for the id (empty: none is sent).
    TNinkinet(const QString &counterId, const QString &urlTemplate, const QString &cookie, const THttpProxy &proxy,
              QObject *parent = nullptr);

    static QString CounterUrl(const QString &urlTemplate, const QString &counterId);
    // The value for the id in a Set-Cookie text: after "<id>=" up to the next ";" (empty when there
    // is no ";"). False when the cookie does not name the id.
    static bool CookieValue(const QString &cookie, const QString &counterId, QString &value);

signals:
    void CookieReceived(const QString &counterId, const QString &value);

protected:
    void run() override;

private:
    QString counterId;
    QString url;
    QString cookie;
    THttpProxy proxy;
};
