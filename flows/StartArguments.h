#pragma once
// TStartArguments: what a command line asks for. Every argument is examined: one that begins with
// "http:" or "https:" is the URL to open (the last one wins); "-n" or "/n" turns save mode off for
// this run, and so does a bare "n" that a later copy hands over. Anything else is ignored; in
// particular a lone "-n" is never taken for a URL.

#include <QString>
#include <QStringList>

struct TStartArguments {
    bool NoSave = false;
    QString Url;

    // The program's own command line.
    static TStartArguments Parse(const QStringList &arguments);
    // The arguments a later copy handed over.
    static TStartArguments ParseHandOver(const QStringList &arguments);

private:
    static TStartArguments Parse(const QStringList &arguments, bool handedOver);
};
