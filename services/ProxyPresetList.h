#pragma once
// TProxyPresetList: the proxy presets of proxy.txt in the profile folder, one per line, newest
// first: address "," port "," user name "," password "," comment. The password is kept in plain
// text. Field n is the text between the n-th and the (n+1)-th ",", so no field can hold a ","
// (a comment with one is cut there when the preset is applied).
//
// TProxySet is what one kpw.ini proxy section (PROXY for reading, SEND_PROXY for posting) holds.

#include <QString>
#include <QStringList>

struct TProxySet {
    bool Use = false;
    QString Host;
    QString Port;
    QString UserName;
    QString Password;
    QString Memo;
};

class TProxyPresetList {
public:
    QStringList Lines;

    // A missing file leaves the list empty (false).
    bool LoadFromFile(const QString &path);
    // Raises EFileError when the file cannot be written.
    void SaveToFile(const QString &path) const;

    // The preset line of a set's address, port, user, password and comment (its use flag is not
    // part of a preset).
    static QString MakeLine(const TProxySet &set);
    // The five fields of a line, missing ones empty.
    static QStringList SplitLine(const QString &line);
    // Puts the line's fields into the set's address, port, user, password and comment.
    static void ApplyLine(const QString &line, TProxySet &set);

    // Inserts the line at the top unless an identical line is there already; true when inserted.
    bool AddLine(const QString &line);
};
