#pragma once
// TSettingText: a board's SETTING.TXT, the file in which a 2ch-style board tells its name for
// anonymous posts, its title picture and its limits ("KEY=value" lines, Shift_JIS).
//
// The board settings viewer fetches it and shows its lines; the composer reads the name and the
// limits through this class.

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

class TBoard;

class TSettingText {
public:
    // The SETTING.TXT beside the board's URL: everything up to its last '/' or ':', then the name.
    static QString UrlOf(const QString &boardUrl);

    // Fetches the board's SETTING.TXT. False with the error text for the log pane when it could not
    // be read or is not a SETTING.TXT; the settings held before are then kept.
    bool Load(const QString &boardUrl, QString &error);
    // Takes the file's bytes; false when no line has the KEY=value form (an error page, say).
    bool Parse(const QByteArray &sjis);

    QStringList Lines() const { return lines; }     // the decoded text, line by line
    QList<QPair<QString, QString>> Pairs() const { return pairs; }   // in file order
    bool Has(const QString &key) const;
    QString Value(const QString &key) const;        // empty when not given
    // A number the file gives; fallback when missing or not a number.
    int IntValue(const QString &key, int fallback) const;

    // What the composer needs.
    QString NonameName() const { return Value(QStringLiteral("BBS_NONAME_NAME")); }
    QString TitlePicture() const { return Value(QStringLiteral("BBS_TITLE_PICTURE")); }
    int SubjectLimit() const { return IntValue(QStringLiteral("BBS_SUBJECT_COUNT"), 0); }
    int NameLimit() const { return IntValue(QStringLiteral("BBS_NAME_COUNT"), 0); }
    int MailLimit() const { return IntValue(QStringLiteral("BBS_MAIL_COUNT"), 0); }
    int MessageLimit() const { return IntValue(QStringLiteral("BBS_MESSAGE_COUNT"), 0); }
    int LineLimit() const { return IntValue(QStringLiteral("BBS_LINE_NUMBER"), 0); }

private:
    QStringList lines;
    QList<QPair<QString, QString>> pairs;
};
