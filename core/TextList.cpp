#include "core/TextList.h"

#include "core/FileUtil.h"
#include "core/JConvert.h"

#include <QFileInfo>

bool TTextList::LoadFromFile(const QString &path)
{
    Lines.clear();
    if (!QFileInfo(path).isFile())
        return false;
    SetText(jconvert::SjisToUnicode(FileUtil::ReadFile(path)));
    return true;
}

void TTextList::SaveToFile(const QString &path) const
{
    FileUtil::WriteFileAtomic(path, jconvert::UnicodeToSjis(Text()));
}

void TTextList::SetText(const QString &text)
{
    Lines.clear();
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        Lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < n)
        Lines.append(text.mid(start));
}

QString TTextList::Text() const
{
    QString text;
    qsizetype size = 0;
    for (const QString &line : Lines)
        size += line.size() + LineBreak.size();
    text.reserve(size);
    for (const QString &line : Lines) {
        text += line;
        text += LineBreak;
    }
    return text;
}

int TTextList::IndexOf(const QString &line) const
{
    for (int i = 0; i < Lines.size(); ++i) {
        if (Lines[i].compare(line, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int TTextList::IndexOfName(const QString &name) const
{
    for (int i = 0; i < Lines.size(); ++i) {
        const qsizetype eq = Lines[i].indexOf(QLatin1Char('='));
        if (eq >= 0 && QStringView(Lines[i]).left(eq).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString TTextList::Value(const QString &name) const
{
    const int i = IndexOfName(name);
    return i < 0 ? QString() : ValueOf(Lines[i]);
}

void TTextList::SetValue(const QString &name, const QString &value)
{
    const int i = IndexOfName(name);
    if (value.isEmpty()) {
        if (i >= 0)
            Lines.removeAt(i);
    } else if (i >= 0) {
        Lines[i] = name + QLatin1Char('=') + value;
    } else {
        Lines.append(name + QLatin1Char('=') + value);
    }
}

QString TTextList::NameOf(const QString &line)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return eq < 0 ? QString() : line.left(eq);
}

QString TTextList::ValueOf(const QString &line)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return eq < 0 ? QString() : line.mid(eq + 1);
}

namespace {

constexpr QChar kQuote = QLatin1Char('"');
constexpr QChar kDelimiter = QLatin1Char(',');

bool IsBlank(QChar c) { return c.unicode() > 0 && c.unicode() <= ' '; }

}  // namespace

QStringList TTextList::SplitCommaText(const QString &text)
{
    QStringList fields;
    const qsizetype n = text.size();
    qsizetype i = 0;
    auto skipBlanks = [&] {
        while (i < n && IsBlank(text.at(i)))
            ++i;
    };
    skipBlanks();
    while (i < n) {
        QString field;
        if (text.at(i) == kQuote) {
            // quoted: up to the closing quote, a doubled quote standing for one
            for (++i; i < n; ++i) {
                if (text.at(i) != kQuote) {
                    field += text.at(i);
                } else if (i + 1 < n && text.at(i + 1) == kQuote) {
                    field += kQuote;
                    ++i;
                } else {
                    ++i;
                    break;
                }
            }
        } else {
            const qsizetype start = i;
            while (i < n && text.at(i).unicode() > ' ' && text.at(i) != kDelimiter)
                ++i;
            field = text.mid(start, i - start);
        }
        fields.append(field);
        skipBlanks();
        if (i < n && text.at(i) == kDelimiter) {
            ++i;
            skipBlanks();
        }
    }
    return fields;
}

QString TTextList::JoinCommaText(const QStringList &fields)
{
    if (fields.size() == 1 && fields.first().isEmpty())
        return QStringLiteral("\"\"");
    QStringList parts;
    for (const QString &field : fields) {
        const bool needsQuotes = std::any_of(field.begin(), field.end(), [](QChar c) {
            return c.unicode() <= ' ' || c == kQuote || c == kDelimiter;
        });
        if (needsQuotes) {
            QString quoted = field;
            quoted.replace(kQuote, QStringLiteral("\"\""));
            parts.append(kQuote + quoted + kQuote);
        } else {
            parts.append(field);
        }
    }
    return parts.join(kDelimiter);
}
