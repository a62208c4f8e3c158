#include "render/TavuResWriter.h"

#include "core/FileUtil.h"
#include "core/JConvert.h"
#include "core/Res.h"
#include "core/TavuConfig.h"
#include "render/ResHtmlFilter.h"

#include <QDir>
#include <algorithm>
#include <QRegularExpression>
#include <QUrl>
#include <QVector>

using namespace ResHtmlFilter;

namespace {

// ---------------------------------------------------------------------------------------------
// Templates

enum TTag {
    tgNumber, tgPlainNumber, tgName, tgMail, tgMailName, tgDate, tgPlainDate, tgId, tgBe, tgMessage,
    tgCheckbox, tgSkinPath, tgThreadName, tgThreadUrl, tgBoardName, tgSiteName, tgResCount, tgNewCount,
};

struct TTagWord {
    QLatin1String word;
    TTag tag;
};

// Longest words first: a Katjusha tag has no end mark, so "&MAILNAME" must not be read as "&MAIL".
const TTagWord TagWords[] = {
    {QLatin1String("PLAINNUMBER"), tgPlainNumber}, {QLatin1String("THREADNAME"), tgThreadName},
    {QLatin1String("THREADURL"), tgThreadUrl},     {QLatin1String("PLAINDATE"), tgPlainDate},
    {QLatin1String("BOARDNAME"), tgBoardName},     {QLatin1String("MAILNAME"), tgMailName},
    {QLatin1String("SKINPATH"), tgSkinPath},       {QLatin1String("SITENAME"), tgSiteName},
    {QLatin1String("CHECKBOX"), tgCheckbox},       {QLatin1String("RESCOUNT"), tgResCount},
    {QLatin1String("NEWCOUNT"), tgNewCount},       {QLatin1String("MESSAGE"), tgMessage},
    {QLatin1String("NUMBER"), tgNumber},           {QLatin1String("NAME"), tgName},
    {QLatin1String("MAIL"), tgMail},               {QLatin1String("DATE"), tgDate},
    {QLatin1String("ID"), tgId},                   {QLatin1String("BE"), tgBe},
};

// One piece of a compiled template: literal text, or a tag to fill.
struct TPiece {
    QString text;
    int tag = -1;
    bool boldContext = false;   // a name tag that the template has put inside <b>
};

struct TTemplate {
    QVector<TPiece> pieces;
    bool hasCheckbox = false;
};

// The length of the tag written at pos in the given format (0 when there is none).
int MatchTag(const QString &text, int pos, TTavuResWriter::TSkinFormat format, TTag &tag)
{
    const QChar lead = format == TTavuResWriter::sfKatjusha ? u'&' : u'<';
    if (text[pos] != lead)
        return 0;
    const QStringView rest = QStringView(text).mid(pos + 1);
    for (const TTagWord &w : TagWords) {
        if (!rest.startsWith(w.word, Qt::CaseInsensitive))
            continue;
        int p = int(w.word.size());
        if (format == TTavuResWriter::sfCurrent) {
            while (p < rest.size() && rest[p] == u' ')
                ++p;
            if (!rest.mid(p).startsWith(u"/>"))
                continue;
            p += 2;
        } else if (format == TTavuResWriter::sfVarnelo10) {
            if (p >= rest.size() || rest[p] != u'>')
                continue;
            ++p;
        }
        tag = w.tag;
        return p + 1;
    }
    return 0;
}

// How many <b> are still open at the end of the text.
int OpenBoldDepth(const QString &html)
{
    static const QRegularExpression boldTag(QStringLiteral("<(/?)b(?:\\s[^>]*)?>"),
                                            QRegularExpression::CaseInsensitiveOption);
    int depth = 0;
    for (auto it = boldTag.globalMatch(html); it.hasNext();) {
        const bool close = !it.next().captured(1).isEmpty();
        depth = close ? qMax(0, depth - 1) : depth + 1;
    }
    return depth;
}

TTemplate Compile(const QString &text, TTavuResWriter::TSkinFormat format)
{
    TTemplate t;
    QString literal;
    QString before;   // all literal text before the current tag
    for (int i = 0; i < text.size();) {
        TTag tag;
        const int length = MatchTag(text, i, format, tag);
        if (length == 0) {
            literal += text[i++];
            continue;
        }
        before += literal;
        if (!literal.isEmpty())
            t.pieces.append({literal});
        literal.clear();
        TPiece piece;
        piece.tag = tag;
        piece.boldContext = (tag == tgName || tag == tgMailName) && OpenBoldDepth(before) > 0;
        t.pieces.append(piece);
        t.hasCheckbox = t.hasCheckbox || tag == tgCheckbox;
        i += length;
    }
    if (!literal.isEmpty())
        t.pieces.append({literal});
    return t;
}

// A response template without a CHECKBOX tag gets the box just before the response number
// (or at its start), so that every response of every skin can be checked.
void AddCheckBox(TTemplate &t)
{
    if (t.hasCheckbox)
        return;
    const auto number = std::find_if(t.pieces.begin(), t.pieces.end(), [](const TPiece &piece) {
        return piece.tag == tgNumber || piece.tag == tgPlainNumber;
    });
    TPiece box;
    box.tag = tgCheckbox;
    t.pieces.insert(number == t.pieces.end() ? t.pieces.begin() : number, box);
    t.hasCheckbox = true;
}

// The template file "<base>.htm" or "<base>.html" of a skin folder, names matched ignoring case.
QString FindTemplateFile(const QString &dir, const QString &base)
{
    const QStringList entries = QDir(dir).entryList(QDir::Files);
    for (const QString &ext : {QStringLiteral(".htm"), QStringLiteral(".html")}) {
        for (const QString &entry : entries) {
            if (entry.compare(base + ext, Qt::CaseInsensitive) == 0)
                return FileUtil::WithSlash(dir) + entry;
        }
    }
    return QString();
}

// The text of a template file in whatever Japanese code it was saved.
QString ReadTemplateFile(const QString &path)
{
    if (path.isEmpty())
        return QString();
    QString text = jconvert::Decode(FileUtil::ReadFile(path), jconvert::UNKNOWN);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

// Plain templates used in place of those a skin lacks (written in the current format).
const char *const BuiltinHeader =
    "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">"
    "<title><THREADNAME/></title></head><body>\n<h1><THREADNAME/></h1>\n";
const char *const BuiltinRes =
    "<dl><dt><CHECKBOX/><NUMBER/> : <b><MAILNAME/></b> : <DATE/></dt><dd><MESSAGE/><br><br></dd></dl>\n";
const char *const BuiltinFooter = "</body></html>\n";

// ---------------------------------------------------------------------------------------------
// Filling templates

QString CheckBox(int number)
{
    return QStringLiteral("<input type=\"checkbox\" class=\"tavu-check\" name=\"tavu-check\" value=\"%1\">")
        .arg(number);
}

// Fills the templates. A response is given to the response templates only; the header and footer
// leave the response tags empty.
class TTemplateFiller {
public:
    TTemplateFiller(const TTavuResWriter &writer, const TSkinSettings &settings,
                    const TTavuResWriter::TThreadInfo &info, const QString &skinUrl)
        : writer(writer), settings(settings), info(info), skinUrl(skinUrl)
    {
        options.AddHrefLink = writer.AddHrefLink;
        options.AddExtRes = writer.AddExtRes;
        options.ImageSize = settings.ImageSize;
        options.AnchorUrl = writer.AnchorUrl;
    }

    QString Fill(const TTemplate &t, const TRes *res) const
    {
        QString out;
        for (const TPiece &piece : t.pieces)
            out += piece.tag < 0 ? piece.text : Value(piece, res);
        return out;
    }

private:
    const TTavuResWriter &writer;
    const TSkinSettings &settings;
    const TTavuResWriter::TThreadInfo &info;
    const QString &skinUrl;
    TLinkOptions options;

    QString Value(const TPiece &piece, const TRes *res) const
    {
        switch (piece.tag) {
        case tgSkinPath: return EscapeHtml(skinUrl);
        case tgThreadName: return FilterField(info.Title, options, fkTitle);
        case tgThreadUrl: return EscapeHtml(info.Url);
        case tgBoardName: return EscapeHtml(info.BoardName);
        case tgSiteName: return EscapeHtml(info.SiteName);
        case tgResCount: return QString::number(info.ResCount);
        case tgNewCount: return QString::number(info.NewCount);
        }
        return res ? ResValue(piece, *res) : QString();
    }

    QString ResValue(const TPiece &piece, const TRes &res) const
    {
        switch (piece.tag) {
        case tgNumber:
            return QStringLiteral("<a href=\"%1\">%2</a>")
                .arg(TTavuResWriter::ResLink(res.Number), QString::number(res.Number));
        case tgPlainNumber: return QString::number(res.Number);
        case tgName: return FilterField(res.Name, options, fkName, piece.boldContext);
        case tgMail: return EscapeHtml(res.Mail);
        case tgMailName: return MailName(res, piece.boldContext);
        case tgDate: return DateLine(res);
        case tgPlainDate: return FilterField(res.Date, options, fkName);
        case tgId: return IdHtml(res);
        case tgBe: return BeHtml(res);
        case tgMessage: return Message(res);
        case tgCheckbox: return CheckBox(res.Number);
        }
        return QString();
    }

    QString MailName(const TRes &res, bool boldContext) const
    {
        const QString name = FilterField(res.Name, options, fkName, boldContext);
        if (res.Mail.isEmpty())
            return name;
        const bool sage = res.Mail.trimmed().compare(QLatin1String("sage"), Qt::CaseInsensitive) == 0;
        return QStringLiteral("<a href=\"mailto:%1\" class=\"%2\">%3</a>")
            .arg(EscapeHtml(res.Mail), sage ? QStringLiteral("mail sage") : QStringLiteral("mail"),
                 name);
    }

    QString DateLine(const TRes &res) const
    {
        QString line = FilterField(res.Date, options, fkName);
        for (const QString &part : {IdHtml(res), BeHtml(res)}) {
            if (!part.isEmpty())
                line += u' ' + part;
        }
        return line;
    }

    QString IdHtml(const TRes &res) const
    {
        if (res.ID.isEmpty())
            return QString();
        const QString text = QStringLiteral("ID:") + EscapeHtml(res.ID);
        if (!settings.IDPopup || !writer.AddIdLink)
            return text;
        return QStringLiteral("<a href=\"%1\" class=\"id\">%2</a>")
            .arg(EscapeHtml(TTavuResWriter::IdLink(res.ID)), text);
    }

    QString BeHtml(const TRes &res) const
    {
        if (res.BE.isEmpty())
            return QString();
        return QStringLiteral("<a href=\"%1\" class=\"be\">BE:%2</a>")
            .arg(EscapeHtml(TTavuResWriter::BeLink(res.BE)), EscapeHtml(res.BE));
    }

    QString Message(const TRes &res) const
    {
        const bool images = settings.RenderImage && (!settings.RenderImageNewOnly || res.IsNew);
        return FilterField(res.Body, options, fkBody, false, images);
    }
};

}  // namespace

// -------------------------------------------------------------------------------------------------

struct TTavuResWriter::Data {
    TSkinSettings settings;
    TSkinFormat format = sfCurrent;
    TTemplate header, res, newres, footer;
    TThreadInfo info;
    QString skinUrl;

    // The skin's template "<base>", or the given one when the skin lacks it.
    TTemplate Load(const QString &base, const TTemplate &missing) const
    {
        const QString text = ReadTemplateFile(FindTemplateFile(settings.SkinPath, base));
        return text.isEmpty() ? missing : Compile(text, format);
    }
};

TTavuResWriter::TSkinFormat TTavuResWriter::DetectFormat(const QString &skinDir)
{
    const QString text = ReadTemplateFile(FindTemplateFile(skinDir, QStringLiteral("res"))).toLower();
    if (text.contains(QLatin1String("&message")))
        return sfKatjusha;
    if (text.contains(QLatin1String("<message>")))
        return sfVarnelo10;
    return sfCurrent;
}

TTavuResWriter::TTavuResWriter(const TSkinSettings &settings) : d(std::make_unique<Data>())
{
    d->settings = settings;
    d->format = settings.Katjusha ? sfKatjusha : settings.Varnelo10 ? sfVarnelo10 : sfCurrent;
    d->skinUrl = !settings.SkinUrl.isEmpty() ? settings.SkinUrl
                                             : QUrl::fromLocalFile(FileUtil::WithSlash(settings.SkinPath)).toString();
    const auto builtin = [](const char *text) { return Compile(QString::fromUtf8(text), sfCurrent); };
    d->header = d->Load(QStringLiteral("header"), builtin(BuiltinHeader));
    d->res = d->Load(QStringLiteral("res"), builtin(BuiltinRes));
    d->newres = d->Load(QStringLiteral("newres"), d->res);   // a read response's look when missing
    d->footer = d->Load(QStringLiteral("footer"), builtin(BuiltinFooter));
    AddCheckBox(d->res);
    AddCheckBox(d->newres);
}

TTavuResWriter::~TTavuResWriter() = default;

void TTavuResWriter::SetThreadInfo(const TThreadInfo &info)
{
    d->info = info;
}

void TTavuResWriter::ApplyConfig()
{
    if (!TavuConfig)
        return;
    AddHrefLink = TavuConfig->ADDHREFLINK;
    AddExtRes = TavuConfig->ADDEXTRES;
    AddIdLink = TavuConfig->ADDIDLINK;
}

QString TTavuResWriter::RenderHeader() const
{
    return TTemplateFiller(*this, d->settings, d->info, d->skinUrl).Fill(d->header, nullptr);
}

QString TTavuResWriter::RenderRes(const TRes &res) const
{
    return ResAnchor(res.Number) + RenderResTemplate(res);
}

QString TTavuResWriter::ResAnchor(int number)
{
    return QStringLiteral("<a id=\"ID%1\" name=\"ID%1\"></a>").arg(number);
}

QString TTavuResWriter::RenderResTemplate(const TRes &res) const
{
    const TTemplate &t = res.IsNew ? d->newres : d->res;
    return TTemplateFiller(*this, d->settings, d->info, d->skinUrl).Fill(t, &res);
}

QString TTavuResWriter::RenderFooter() const
{
    return TTemplateFiller(*this, d->settings, d->info, d->skinUrl).Fill(d->footer, nullptr);
}

QString TTavuResWriter::ResLink(int number)
{
    return QStringLiteral("tavu://res/?no=%1").arg(number);
}

QString TTavuResWriter::IdLink(const QString &id)
{
    return QStringLiteral("tavu://res/?id=") + QString::fromLatin1(QUrl::toPercentEncoding(id));
}

QString TTavuResWriter::BeLink(const QString &be)
{
    int digits = 0;
    while (digits < be.size() && be[digits].isDigit() && be[digits].unicode() < 0x80)
        ++digits;
    return QStringLiteral("tavu://res/?be=") + be.left(digits);
}

QString TTavuResWriter::LinkValue(const QString &url)
{
    if (!url.startsWith(QLatin1String("tavu://res/?"), Qt::CaseInsensitive))
        return QString();
    const int equals = int(url.indexOf(u'='));
    return equals < 0 ? QString() : QUrl::fromPercentEncoding(url.mid(equals + 1).toUtf8());
}

QString TTavuResWriter::LinkStatusText(const QString &url)
{
    const QString value = LinkValue(url);
    if (value.isEmpty())
        return url;
    const QString kind = url.mid(12, 3).toLower();   // after "tavu://res/?"
    if (kind == QLatin1String("no="))
        return QStringLiteral("レス ") + value;
    if (kind == QLatin1String("id="))
        return QStringLiteral("ID:") + value;
    if (kind == QLatin1String("be="))
        return QStringLiteral("BE:") + value;
    return url;
}
