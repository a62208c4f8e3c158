#pragma once
// TStartArguments: what a command line asks for. Every argument is examined: one that begins with
// "http:" or "https:" is the URL to open (the last one wins); "-n" or "/n" turns save mode off for
// this run. Anything else is ignored; in particular a lone "-n" is never taken for a URL.

#include <QString>
#include <QStringList>

struct TStartArguments {
    bool NoSave = false;
    QString Url;

    static TStartArguments Parse(const QStringList &arguments);
};
