#include "core/SendData.h"

#include "core/BBS.h"
#include "core/MonaUtils.h"

#include <QDateTime>
#include <QMap>

TSendData::TSendData() : Time(QDateTime::currentSecsSinceEpoch()) {}

QString TSendData::FillTemplate(const QString &text, int codePage) const
{
    const QMap<QString, QString> values{
        {QStringLiteral("<name>"), MonaUtils::UrlEncode(Name, codePage)},
        {QStringLiteral("<mail>"), MonaUtils::UrlEncode(Mail, codePage)},
        {QStringLiteral("<message>"), MonaUtils::UrlEncode(Body, codePage)},
        {QStringLiteral("<subject>"), MonaUtils::UrlEncode(Subject, codePage)},
        {QStringLiteral("<password>"), MonaUtils::UrlEncode(Password, codePage)},
        {QStringLiteral("<bbs>"), MonaUtils::UrlEncode(BBS, codePage)},
        {QStringLiteral("<key>"), MonaUtils::UrlEncode(Key, codePage)},
        {QStringLiteral("<time>"), QString::number(Time)},
        {QStringLiteral("<url>"), MonaUtils::UrlEncode(ReadUrl, codePage)},
    };
    return TBBS::FillTemplate(text, values);
}
