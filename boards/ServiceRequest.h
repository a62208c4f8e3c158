#pragma once
// A synchronous request of the two login services (the past-log service and the Be account): a GET
// or a form POST with a THttpCli, the whole body and the cookies of the answer. Raises
// EHttpException when the server cannot be reached, the stop flag ends the wait, or the status is
// 400 or above.

#include "net/HttpSettings.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

struct TServiceReply {
    int Status = 0;
    QByteArray Body;
    QStringList Cookies;   // the Set-Cookie texts
};

struct TServiceRequest {
    QString Url;
    QString Agent;
    QString Cookie;
    QByteArray Form;       // a POST when not empty
    THttpProxy Proxy;

    TServiceReply Run() const;
};
