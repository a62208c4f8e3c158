#include "core/BBS.h"

#include "core/Board.h"
#include "core/FileUtil.h"
#include "core/Site.h"

#include <QFile>

namespace {
const QString ScriptSection = QStringLiteral("SCRIPT");
const QString AnyHost = QStringLiteral("*");

// A capability byte as stored (decimal); out of range values keep their low byte.
quint8 ReadFlagByte(const TIniFile &ini, const QString &key)
{
    return static_cast<quint8>(ini.ReadInteger(ScriptSection, key, 0) & 0xFF);
}

QString ReadHostOrAny(const TIniFile &ini, const QString &section, const QString &host)
{
    QString value = host.isEmpty() ? QString() : ini.ReadString(section, host);
    if (value.isEmpty())
        value = ini.ReadString(section, AnyHost);
    return value;
}
}  // namespace

TBBS::TBBS(const QString &id, const QString &folder)
    : ID(id), Folder(FileUtil::WithSlash(folder))
{
    const QString path = Folder + QStringLiteral("bbs.ini");
    hasIni = QFile::exists(path);
    if (!hasIni)
        return;
    ini.SetFileName(path);
    ini.Load();
    Name = ini.ReadString(ScriptSection, QStringLiteral("NAME"), id);
    CharSet = ini.ReadInteger(ScriptSection, QStringLiteral("CHARSET"), 0);
    ResFlags = ReadFlagByte(ini, QStringLiteral("RES"));
    ThreadFlags = ReadFlagByte(ini, QStringLiteral("THREAD"));
    Param.PARAM_BBS = ini.ReadString(ScriptSection, QStringLiteral("PARAM_BBS"));
    Param.PARAM_NOFIRST = ini.ReadString(ScriptSection, QStringLiteral("PARAM_NOFIRST"));
    Param.PARAM_DAT = ini.ReadString(ScriptSection, QStringLiteral("PARAM_DAT"));
    Param.PARAM_START = ini.ReadString(ScriptSection, QStringLiteral("PARAM_START"));
    Param.PARAM_END = ini.ReadString(ScriptSection, QStringLiteral("PARAM_END"));
    Param.PARAM_RES = ini.ReadString(ScriptSection, QStringLiteral("PARAM_RES"));
    Param.PARAM_TRUE = ini.ReadString(ScriptSection, QStringLiteral("PARAM_TRUE"));
    Param.PARAM_FALSE = ini.ReadString(ScriptSection, QStringLiteral("PARAM_FALSE"));
}

TBBS::~TBBS() = default;

QString TBBS::GetTemplate(const QString &section, const QString &host, const TSite *site) const
{
    QString value;
    if (site)
        value = ReadHostOrAny(site->Ini(), section, host);
    if (value.isEmpty())
        value = ReadHostOrAny(ini, section, host);
    return value;
}

QString TBBS::FillTemplate(const QString &text, const QMap<QString, QString> &values)
{
    // One pass from left to right, so a value that itself holds a placeholder is not filled again.
    QString result;
    result.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        bool replaced = false;
        if (text.at(i) == QLatin1Char('<')) {
            for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
                if (QStringView(text).mid(i).startsWith(it.key(), Qt::CaseInsensitive)) {
                    result += it.value();
                    i += it.key().size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced)
            result += text.at(i++);
    }
    return result;
}

QMap<QString, QString> TBBS::TemplateValues(const TBoard *board, const QString &key) const
{
    QMap<QString, QString> values{
        {QStringLiteral("<PARAM_BBS>"), Param.PARAM_BBS},
        {QStringLiteral("<PARAM_NOFIRST>"), Param.PARAM_NOFIRST},
        {QStringLiteral("<PARAM_DAT>"), Param.PARAM_DAT},
        {QStringLiteral("<PARAM_START>"), Param.PARAM_START},
        {QStringLiteral("<PARAM_END>"), Param.PARAM_END},
        {QStringLiteral("<PARAM_RES>"), Param.PARAM_RES},
        {QStringLiteral("<PARAM_TRUE>"), Param.PARAM_TRUE},
        {QStringLiteral("<PARAM_FALSE>"), Param.PARAM_FALSE},
        {QStringLiteral("<key>"), key},
        {QStringLiteral("<dat>"), key},
    };
    if (board) {
        values.insert(QStringLiteral("<host>"), board->GetHost());
        values.insert(QStringLiteral("<bbs>"), board->BBSName);
        values.insert(QStringLiteral("<boardpath>"), board->HostPath);
        values.insert(QStringLiteral("<dir>"), board->GetDir());
    }
    return values;
}

QString TBBS::BoardUrl(const QString &section, const TBoard *board, const QString &key) const
{
    const QString text = GetTemplate(section, board ? board->GetHost() : QString(), board ? board->Site : nullptr);
    return FillTemplate(text, TemplateValues(board, key));
}
