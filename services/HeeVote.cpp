#include "services/HeeVote.h"

#include "core/JConvert.h"
#include "services/OutsidePage.h"

#include <QRegularExpression>

QString THeeVote::VoteUrl(const QString &urlTemplate, const QString &title, const QString &threadUrl)
{
    QString url = urlTemplate;
    url.replace(QStringLiteral("<THREADURL/>"), threadUrl);
    url.replace(QStringLiteral("<THREADNAME/>"), title);
    return url;
}

bool THeeVote::Score(const QString &page, QString &score)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    const QString rowEnd = QStringLiteral("へぇ</td></tr>");
    bool found = false;
    for (const QString &line : page.split(lineBreak)) {
        const int end = line.indexOf(rowEnd);
        if (end < 0)
            continue;
        const int link = line.indexOf(QStringLiteral("</a>"));
        const int from = link < 0 ? 0 : link + 4;
        score = from <= end ? line.mid(from, end - from) : QString();
        found = true;
    }
    return found;
}

bool THeeVote::Send(const QString &url, QString &score, QString &error)
{
    const TOutsidePage page = FetchOutsidePage(url);
    if (!page.Ok()) {
        error = page.Error;
        return false;
    }
    const QString text = jconvert::Decode(page.Body, jconvert::DetectCode(page.Body));
    if (!Score(text, score)) {
        error = UnknownPageFormat(url);
        return false;
    }
    return true;
}
