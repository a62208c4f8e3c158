#include "controls/ShortcutData.h"

#include "controls/Dialogs.h"
#include "core/TavuConfig.h"
#include "core/TextList.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QChar Tab = QLatin1Char('\t');

QStringList PaddedFields(const QStringList &fields, int count)
{
    QStringList padded = fields.mid(0, count);
    while (padded.size() < count)
        padded.append(QString());
    return padded;
}

// A field written into one line: a TAB or a line break inside it would split the record, so they
// become blanks.
QString OneLineField(QString text)
{
    for (QChar &c : text) {
        if (c == Tab || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    }
    return text;
}

QString TabLine(const TTabData &tab)
{
    return OneLineField(tab.Name) + Tab + ColorToString(tab.Color) + Tab
           + OneLineField(TTabData::RelativeImagePath(tab.BitmapFile()));
}

QString ItemLine(const TShortcutData &item)
{
    return QString(Tab) + QString::number(item.Kind) + Tab + OneLineField(item.Text) + Tab
           + OneLineField(item.Param1) + Tab + OneLineField(item.Param2) + Tab + OneLineField(item.Param3);
}

// Lines of shortcut.txt that the parser skips: items before the first tab, and items of a kind
// this program does not know, by the tab they stand under. A save writes them back there.
struct TRejectedLines {
    bool BeforeTabs = false;
    QString TabName;
    QStringList Lines;
};

QList<TRejectedLines> RejectedLines(const QStringList &lines)
{
    QList<TRejectedLines> rejected;
    bool inTab = false;
    QString tabName;
    for (const QString &line : lines) {
        if (line.isEmpty())
            continue;
        if (!line.startsWith(Tab)) {
            inTab = true;
            tabName = line.section(Tab, 0, 0);
            continue;
        }
        quint8 kind = skSeparator;
        if (inTab && ParseShortcutKind(line.section(Tab, 1, 1), kind))
            continue;
        if (rejected.isEmpty() || rejected.last().BeforeTabs == inTab || rejected.last().TabName != tabName)
            rejected.append({!inTab, tabName, {}});
        rejected.last().Lines.append(line);
    }
    return rejected;
}

// Takes the rejected lines that stood under the tab of that name.
QStringList TakeRejected(QList<TRejectedLines> &rejected, const QString &tabName)
{
    for (qsizetype i = 0; i < rejected.size(); ++i) {
        if (!rejected[i].BeforeTabs && rejected[i].TabName == tabName)
            return rejected.takeAt(i).Lines;
    }
    return {};
}

}  // namespace

QString ShortcutKindName(int kind)
{
    switch (kind) {
    case skBoard: return QStringLiteral("板");
    case skThread: return QStringLiteral("スレッド");
    case skApplication: return QStringLiteral("アプリ");
    case skWebPage: return QStringLiteral("サイト");
    case skCategory: return QStringLiteral("板カテゴリー");
    default: return QString();
    }
}

// ---- TTabData ----

QString TTabData::ResolveImagePath(const QString &fileName)
{
    if (fileName.isEmpty())
        return QString();
    const QString path = QDir::fromNativeSeparators(QString(fileName).replace(QLatin1Char('\\'), QLatin1Char('/')));
    return QDir::cleanPath(QDir(TTavuConfig::AppDir()).absoluteFilePath(path));
}

QString TTabData::RelativeImagePath(const QString &fileName)
{
    if (fileName.isEmpty())
        return QString();
    return QDir(TTavuConfig::AppDir()).relativeFilePath(ResolveImagePath(fileName));
}

bool TTabData::LoadBitmapFile(const QString &fileName)
{
    bitmapFile = fileName;
    Bitmap = QPixmap();
    const QString path = ResolveImagePath(fileName);
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return true;   // no image to show
    return Bitmap.load(path);
}

bool TTabData::SetBitmapFile(const QString &fileName)
{
    if (LoadBitmapFile(fileName))
        return true;
    Dialogs::ShowMessage(Dialogs::mkError, QStringLiteral("指定された画像は利用できません。"));
    return false;
}

TShortcutData *TTabData::Add()
{
    return Insert(GetCount());
}

TShortcutData *TTabData::Insert(int index)
{
    auto item = std::make_unique<TShortcutData>();
    TShortcutData *made = item.get();
    Insert(index, std::move(item));
    return made;
}

void TTabData::Insert(int index, std::unique_ptr<TShortcutData> item)
{
    index = qBound(0, index, GetCount());
    items.insert(items.begin() + index, std::move(item));
}

void TTabData::Delete(int index)
{
    items.erase(items.begin() + index);
}

std::unique_ptr<TShortcutData> TTabData::Take(int index)
{
    std::unique_ptr<TShortcutData> item = std::move(items[size_t(index)]);
    items.erase(items.begin() + index);
    return item;
}

void TTabData::Assign(const TTabData &source)
{
    Name = source.Name;
    bitmapFile = source.bitmapFile;
    Color = source.Color;
    Bitmap = source.Bitmap;
}

// ---- shortcut.txt ----

bool ParseShortcutKind(const QString &field, quint8 &kind)
{
    if (field == QLatin1String("-")) {
        kind = skSeparator;
        return true;
    }
    bool ok = false;
    const int value = field.trimmed().toInt(&ok);
    if (!ok || value < 0 || value > 255)
        return false;
    kind = quint8(value);
    return true;
}

QList<TShortcutLine> ParseShortcutLines(const QStringList &lines)
{
    QList<TShortcutLine> parsed;
    bool inTab = false;
    for (const QString &line : lines) {
        if (line.isEmpty())
            continue;
        const bool isTab = !line.startsWith(Tab);
        if (!isTab && !inTab)
            continue;   // an item without a tab
        inTab = true;
        const QStringList fields = line.split(Tab);
        parsed.append({isTab, isTab ? PaddedFields(fields, 3) : PaddedFields(fields.mid(1), 5)});
    }
    return parsed;
}

namespace ShortcutData {

QString ShortcutFileName()
{
    return TavuConfig->GetProfileDir() + QStringLiteral("shortcut.txt");
}

TShortcutBarModel LoadShortcutBarModel(const QString &fileName)
{
    TTextList file;
    file.LoadFromFile(fileName);
    TShortcutBarModel model;
    for (const TShortcutLine &line : ParseShortcutLines(file.Lines)) {
        if (line.IsTab) {
            auto tab = std::make_unique<TTabData>();
            tab->Name = line.Fields[0];
            bool ok = false;
            const TColor color = StringToColor(line.Fields[1], &ok);
            tab->Color = ok ? color : clBtnFace;
            tab->LoadBitmapFile(line.Fields[2]);
            model.push_back(std::move(tab));
            continue;
        }
        quint8 kind = skSeparator;
        if (!ParseShortcutKind(line.Fields[0], kind))
            continue;
        TShortcutData *item = model.back()->Add();
        item->Kind = kind;
        item->Text = line.Fields[1];
        item->Param1 = line.Fields[2];
        item->Param2 = line.Fields[3];
        item->Param3 = line.Fields[4];
    }
    return model;
}

void SaveShortcutBarModel(const TShortcutBarModel &model, const QString &fileName)
{
    // The file as it stands gives the lines the model could not hold, and the bytes of the lines
    // that did not change.
    TTextList file;
    file.LoadFromFile(fileName);
    QList<TRejectedLines> rejected = RejectedLines(file.Lines);
    QStringList lines;
    if (!rejected.isEmpty() && rejected.first().BeforeTabs)
        lines += rejected.takeFirst().Lines;
    for (const auto &tab : model) {
        lines.append(TabLine(*tab));
        for (int i = 0; i < tab->GetCount(); ++i)
            lines.append(ItemLine(*tab->GetItem(i)));
        lines += TakeRejected(rejected, tab->Name);
    }
    for (const TRejectedLines &left : rejected)   // their tab is gone: unknown items stay unknown
        lines += left.Lines;
    file.Lines = lines;
    file.SaveToFile(fileName);
}

}  // namespace ShortcutData
