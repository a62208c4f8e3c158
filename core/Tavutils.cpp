#include "core/Tavutils.h"

#include "core/Exceptions.h"
#include "core/FileUtil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

namespace Tavutils {

namespace {

// Splits a mask into its folder and its file-name pattern; "*.*" means every file.
std::pair<QString, QString> SplitMask(const QString &mask)
{
    const QFileInfo info(mask);
    const QString pattern = info.fileName() == QLatin1String("*.*") ? QStringLiteral("*") : info.fileName();
    return {info.path(), pattern};
}

// The files a mask names: those of its folder that match its pattern, or the one file it names.
QStringList FilesOfMask(const QString &mask)
{
    const auto [folder, pattern] = SplitMask(mask);
    QStringList files;
    if (!pattern.contains(QLatin1Char('*')) && !pattern.contains(QLatin1Char('?'))) {
        if (QFileInfo(mask).isFile())
            files.append(mask);
        return files;
    }
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (MatchWildcard(pattern, name))
            files.append(dir.filePath(name));
    }
    return files;
}

}  // namespace

QString MakeShortCaption(const QString &text, int maxLength)
{
    if (maxLength <= 0 || text.size() <= maxLength)
        return text;
    qsizetype cut = maxLength;
    if (text.at(cut - 1).isHighSurrogate())
        --cut;   // never half a character
    return text.left(cut) + QStringLiteral("...");
}

bool MatchWildcard(const QString &pattern, const QString &text)
{
    // greedy scan that returns to the last "*" on a mismatch
    qsizetype p = 0, t = 0, starP = -1, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starP = p++;
            starT = t;
        } else if (p < pattern.size()
                   && (pattern[p] == QLatin1Char('?') || pattern[p].toCaseFolded() == text[t].toCaseFolded())) {
            ++p;
            ++t;
        } else if (starP >= 0) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

bool ShellCopyFiles(const QString &sourceMask, const QString &targetFolder, bool overwrite)
{
    bool ok = true;
    for (const QString &source : FilesOfMask(sourceMask)) {
        const QString target = FileUtil::WithSlash(targetFolder) + QFileInfo(source).fileName();
        if (!overwrite && QFileInfo::exists(target))
            continue;
        QFile in(source);
        if (!in.open(QIODevice::ReadOnly)) {
            ok = false;
            continue;
        }
        try {
            FileUtil::WriteFileAtomic(target, in.readAll());
        } catch (const EFileError &) {
            ok = false;
        }
    }
    return ok;
}

bool ShellDeleteFiles(const QString &path, bool toRecycleBin)
{
    bool ok = true;
    for (const QString &file : FilesOfMask(path)) {
        QFile f(file);
        ok = (toRecycleBin ? f.moveToTrash() : f.remove()) && ok;
    }
    return ok;
}

QString ToFullWidth(const QString &digits)
{
    QString out = digits;
    for (QChar &c : out) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            c = QChar(c.unicode() - u'0' + 0xFF10);
    }
    return out;
}

QString MakeTempFileName(const QString &folder)
{
    FileUtil::ForceDirectories(folder);
    const quint32 start = QRandomGenerator::global()->bounded(0x10000);
    for (quint32 i = 0; i < 0x10000; ++i) {
        const QString hex = QString::number((start + i) & 0xFFFF, 16).toUpper().rightJustified(4, QLatin1Char('0'));
        const QString path = FileUtil::WithSlash(folder) + QStringLiteral("KPW") + hex + QStringLiteral(".tmp");
        QFile f(path);
        if (f.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return path;
    }
    throw EFileError(QStringLiteral("一時ファイルを作成できません: %1").arg(folder));
}

QString FormatElapsedTime(const QDateTime &then, const QDateTime &now)
{
    qint64 seconds = qMax<qint64>(0, then.secsTo(now));
    const qint64 days = seconds / 86400;
    const qint64 hours = seconds / 3600 % 24;
    const qint64 minutes = seconds / 60 % 60;
    seconds %= 60;
    QString text;
    if (days > 0)
        text += QStringLiteral("%1日").arg(days);
    if (!text.isEmpty() || hours > 0)
        text += QStringLiteral("%1時間").arg(hours);
    if (!text.isEmpty() || minutes > 0)
        text += QStringLiteral("%1分").arg(minutes);
    return text + QStringLiteral("%1秒").arg(seconds);
}

jconvert::Code CodePageCode(int codePage)
{
    switch (codePage) {
    case CP_EUC: return jconvert::EUC;
    case CP_UTF8: return jconvert::UTF8;
    default: return jconvert::SJIS;
    }
}

QString ConvertToSjis(int codePage, const QByteArray &bytes)
{
    return jconvert::Decode(bytes, CodePageCode(codePage));
}

QString CharsetToName(int codePage)
{
    switch (codePage) {
    case CP_EUC: return QStringLiteral("EUC");
    case CP_UTF8: return QStringLiteral("UTF8");
    default: return QStringLiteral("SJIS");
    }
}

int NameToCharset(const QString &name)
{
    for (int cp : {CP_EUC, CP_UTF8}) {
        if (name.compare(CharsetToName(cp), Qt::CaseInsensitive) == 0)
            return cp;
    }
    return CP_SJIS;
}

QString ExtractBetween(const QString &text, const QString &startText, const QString &endText)
{
    const qsizetype start = text.indexOf(startText);
    if (start < 0)
        return QString();
    const qsizetype from = start + startText.size();
    if (endText.isEmpty())
        return text.mid(from);
    const qsizetype end = text.indexOf(endText, from);
    return end < 0 ? QString() : text.mid(from, end - from);
}

QString UrlToFileName(const QString &url)
{
    const qsizetype scheme = url.indexOf(QLatin1String("://"));
    QString name = scheme >= 0 ? url.mid(scheme + 3) : url;
    static const QString forbidden = QStringLiteral("/\\?&:;*\"<>|,");
    const qsizetype keepDotsFrom = name.size() - 8;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (forbidden.contains(name[i]) || (name[i] == QLatin1Char('.') && i < keepDotsFrom))
            name[i] = QLatin1Char('_');
    }
    return name;
}

}  // namespace Tavutils
