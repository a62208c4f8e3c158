#pragma once
// TPostForm: the fields of one post as the board's CGI takes them, in order, and what the server's
// answer page says: success, a write confirmation (with the hidden fields to send back), or an error.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

class TPostForm {
public:
    void Add(const QString &name, const QString &value);
    // Adds the field unless the form already has one of that name.
    void AddMissing(const QString &name, const QString &value);
    QString Value(const QString &name) const;
    // "name=value&..." with every value form-encoded in the code page (0 Shift_JIS, 1 EUC-JP, 2 UTF-8).
    QByteArray Encode(int codePage) const;

private:
    QList<QPair<QString, QString>> fields;
};

namespace PostReply {

enum Kind {
    Success,   // the post was written
    Confirm,   // the server asks to confirm once (cookie check / "書き込み確認")
    Error,     // an error page, or a page that says nothing the program knows
};

Kind Classify(const QString &page);
// The text of the page's <title>, without tags; empty when it has none.
QString Title(const QString &page);
// What an error page says went wrong: its first line of text that names an error (the heading in
// bold under the title, as "ＥＲＲＯＲ：本文がありません！"), other than the title; empty when none does.
QString Reason(const QString &page);
// The hidden fields of the page's form, in order, values with their entities decoded.
QList<QPair<QString, QString>> HiddenFields(const QString &page);

}  // namespace PostReply
