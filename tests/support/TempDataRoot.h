#pragma once
// TempDataRoot: a temporary program folder for one test. It sets VARNELO_HOME to a fresh folder,
// optionally seeded with the shipped def/, resource/ and config/ folders, and removes it afterwards.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

class TempDataRoot {
public:
    explicit TempDataRoot(bool seeded = false);
    ~TempDataRoot();

    QString Path() const;                       // with a trailing "/"
    QString File(const QString &relative) const;
    void Write(const QString &relative, const QByteArray &bytes) const;
    QByteArray Read(const QString &relative) const;

private:
    QTemporaryDir dir;
    QByteArray oldHome;
    bool hadHome;
};
