#include "commands/SelectedResCommands.h"

#include "commands/CopyFormats.h"
#include "commands/ThreadCommands.h"
#include "controls/Dialogs.h"
#include "controls/WindowServices.h"
#include "core/MonaUtils.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/TavuConfig.h"
#include "core/TavuEnviron.h"
#include "core/ThreadItem.h"
#include "render/TavuBrowser.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputDialog>
#include <QRegularExpression>

namespace {

// The response's text as quoted lines: anchors and tags removed, each line behind RESCHAR. A line
// that held anchors alone goes with them.
QString QuotedText(const TRes &res)
{
    static const QRegularExpression anchor(QStringLiteral("<a [^>]*>(&gt;|＞)+[0-9０-９,\\-]+</a>"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression lineBreak(QStringLiteral("<br\\s*/?>"), QRegularExpression::CaseInsensitiveOption);
    QStringList quoted;
    for (const QString &line : res.Body.split(lineBreak)) {
        QString text = line;
        text.remove(anchor);
        if (text != line && text.trimmed().isEmpty())
            continue;
        text = MonaUtils::HtmlToText(MonaUtils::StripHtmlTags(text));   // tags first: "&lt;" is text
        quoted << TavuConfig->RESCHAR + (text.startsWith(QLatin1Char(' ')) ? text.mid(1) : text);
    }
    return quoted.join(QLatin1Char('\n'));
}

}  // namespace

TSelectedResCommands::TSelectedResCommands(TWindowFrameServices &frame, TTabServices &tabs, TReadingServices &reading,
                                           TThreadViewServices &views, QObject *parent)
    : QObject(parent), frame(frame), tabs(tabs), reading(reading), views(views)
{
    const struct {
        const char *Name;
        CopyFormats::TResCopy Kind;
    } copies[] = {{"actSelectResCopy", CopyFormats::rcText},       {"actSelectResCopy2", CopyFormats::rcQuoted},
                  {"actSelectResCopyID", CopyFormats::rcID},       {"actSelectResCopyHandle", CopyFormats::rcHandle},
                  {"actSelectResCopyMail", CopyFormats::rcMail},   {"actSelectResCopyEx", CopyFormats::rcUrlText},
                  {"actSelectResCopyEx2", CopyFormats::rcUrlQuoted}, {"actSelectResURLCopyEx", CopyFormats::rcUrl}};
    for (const auto &copy : copies) {
        const int kind = copy.Kind;
        frame.BindAction(QString::fromLatin1(copy.Name), this, [this, kind] { actSelectResCopyExecute(kind); });
    }
    frame.BindAction(QStringLiteral("actSelectResWrite"), this, [this] { actSelectResWriteExecute(false); });
    frame.BindAction(QStringLiteral("actSelectResWrite2"), this, [this] { actSelectResWriteExecute(true); });
    frame.BindAction(QStringLiteral("actSelectResReadPoint"), this, [this] { actSelectResReadPointExecute(); });
    frame.BindAction(QStringLiteral("actSelectResAbone"), this, [this] { actSelectResAboneExecute(); });
    frame.BindAction(QStringLiteral("actSelectionCopy"), this, [this] { actSelectionCopyExecute(); });
}

TTavuBrowser *TSelectedResCommands::SelectedRes(TRes *&res) const
{
    res = nullptr;
    TTavuBrowser *tab = tabs.CurrentBrowser();
    if (!tab || tab->IsWebPage() || !tab->ThreadItem() || !tab->ResList())
        return nullptr;
    res = tab->ResList()->FindByNumber(tab->ClickedResNumber);
    return res ? tab : nullptr;
}

void TSelectedResCommands::actSelectResCopyExecute(int kind)
{
    TRes *res = nullptr;
    if (TTavuBrowser *tab = SelectedRes(res))
        QGuiApplication::clipboard()->setText(CopyFormats::ResText(*tab->ThreadItem(), *res, CopyFormats::TResCopy(kind)));
}

// A reply to the response: ">>n", and with quote its text.
void TSelectedResCommands::actSelectResWriteExecute(bool quote)
{
    TRes *res = nullptr;
    TTavuBrowser *tab = SelectedRes(res);
    if (!tab)
        return;
    QString text = QStringLiteral(">>%1\n").arg(res->Number);
    if (quote)
        text += QuotedText(*res) + QLatin1Char('\n');
    reading.WriteReply(tab, text);
}

void TSelectedResCommands::actSelectResReadPointExecute()
{
    TRes *res = nullptr;
    TTavuBrowser *tab = SelectedRes(res);
    if (!tab)
        return;
    TThreadCommands::SetReadPoint(views, tab, res->Number);
}

// The response is erased in the log and leaves the view; only in save mode.
void TSelectedResCommands::actSelectResAboneExecute()
{
    TRes *res = nullptr;
    TTavuBrowser *tab = SelectedRes(res);
    if (tab && TavuEnviron->GetCached())
        TThreadCommands::EraseRes(views, tab, {res});
}

void TSelectedResCommands::actSelectionCopyExecute()
{
    if (TTavuBrowser *tab = tabs.CurrentBrowser()) {
        const QString text = tab->GetSelectedText();
        if (!text.isEmpty())
            QGuiApplication::clipboard()->setText(text);
    }
}
