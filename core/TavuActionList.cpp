#include "core/TavuActionList.h"

#include "core/Colors.h"
#include "core/FileUtil.h"
#include "core/JConvert.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/ThreadItem.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <climits>

namespace {

// A record: the rule's fields, the number of its boards, then three fields per board.
constexpr int RuleFieldCount = 15;
constexpr int BoardFieldCount = 3;
const QString FieldSeparator = QStringLiteral("\t");
const QString LineBreak = QStringLiteral("\r\n");

// ------------------------------------------------------------------ the record format

// A text as a record holds it: a line break becomes "#13#10", a TAB a blank.
QString StoredText(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("#13#10"));
    text.replace(QLatin1Char('\r'), QStringLiteral("#13#10"));
    text.replace(QLatin1Char('\n'), QStringLiteral("#13#10"));
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return text;
}

QString Flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

QString RuleToLine(const TTavuAction &rule)
{
    QStringList fields = {
        QString::number(rule.Target), QString::number(rule.Action), QString::number(rule.Condition),
        StoredText(rule.Value1), StoredText(rule.Value2),
        Flag(rule.PopupHide), Flag(rule.Chain), Flag(rule.NewThreadOnly),
        QString::number(rule.HitCount), StoredText(rule.LastHitDate), StoredText(rule.Comment),
        QString::number(rule.ExpireDays), StoredText(rule.RegistDate), Flag(rule.Enabled),
        QString::number(rule.Boards.Count()),
    };
    for (int i = 0; i < rule.Boards.Count(); ++i) {
        const TTargetBoard *board = rule.Boards.Get(i);
        fields << StoredText(board->SiteID) << StoredText(board->BoardID) << Flag(board->AllBoards);
    }
    return fields.join(FieldSeparator);
}

// Reads the fields of a record in order; any number out of its range marks the record bad.
class FieldReader {
public:
    explicit FieldReader(QStringList fields) : fields(std::move(fields)) {}

    QString Text() { return fields.value(next++); }
    int Number(int min, int max)
    {
        bool ok = false;
        const int value = fields.value(next++).toInt(&ok);
        bad = bad || !ok || value < min || value > max;
        return value;
    }
    bool Flag() { return Number(0, 1) == 1; }
    bool Bad() const { return bad; }

private:
    QStringList fields;
    int next = 0;
    bool bad = false;
};

std::unique_ptr<TTavuAction> LineToRule(const QString &line)
{
    const QStringList fields = line.split(FieldSeparator);
    if (fields.size() < RuleFieldCount)
        return nullptr;
    FieldReader read(fields);
    auto rule = std::make_unique<TTavuAction>();
    rule->Target = read.Number(0, TTavuAction::AllTargets);
    rule->Action = read.Number(0, TTavuAction::MaxAction);
    rule->Condition = read.Number(0, TTavuAction::MaxCondition);
    rule->Value1 = read.Text();
    rule->Value2 = read.Text();
    rule->PopupHide = read.Flag();
    rule->Chain = read.Flag();
    rule->NewThreadOnly = read.Flag();
    rule->HitCount = read.Number(0, INT_MAX);
    rule->LastHitDate = read.Text();
    rule->Comment = read.Text();
    rule->ExpireDays = read.Number(0, INT_MAX);
    rule->RegistDate = read.Text();
    rule->Enabled = read.Flag();
    const int boards = read.Number(0, INT_MAX);
    if (read.Bad() || fields.size() != RuleFieldCount + BoardFieldCount * qsizetype(boards))
        return nullptr;
    for (int i = 0; i < boards; ++i) {
        const QString siteId = read.Text();
        const QString boardId = read.Text();
        rule->Boards.Add(siteId, boardId, read.Flag());
    }
    return read.Bad() ? nullptr : std::move(rule);
}

QString BackupPath(const QString &path)
{
    const QFileInfo info(path);
    return info.path() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral(".bak");
}

// ------------------------------------------------------------------ anchors for chain hiding

struct AnchorRange {
    int first;
    int last;
};

int DigitsValue(const QString &text)
{
    int value = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const int digit = u >= 0xFF10 ? u - 0xFF10 : u - u'0';
        if (digit >= 0 && digit <= 9)
            value = value * 10 + digit;
    }
    return value;
}

// The responses a message refers to: ">>n", ">>n-m", ">>n,m" with ">" as it stands in a message
// ("&gt;"), as typed, or full width, and digits half or full width.
QList<AnchorRange> Anchors(const QString &message)
{
    static const QRegularExpression anchor(QStringLiteral(
        "(?:&gt;|>|＞){2}\\s*([0-9０-９]{1,6}(?:\\s*[-－,、]\\s*[0-9０-９]{1,6})*)"));
    static const QRegularExpression listSeparator(QStringLiteral("[,、]"));
    static const QRegularExpression rangeSeparator(QStringLiteral("[-－]"));
    QList<AnchorRange> ranges;
    for (const auto &match : anchor.globalMatch(message)) {
        for (const QString &item : match.captured(1).split(listSeparator)) {
            const QStringList ends = item.split(rangeSeparator);
            const int first = DigitsValue(ends.first());
            const int last = DigitsValue(ends.last());
            ranges.append({std::min(first, last), std::max(first, last)});
        }
    }
    return ranges;
}

// The chain rule that hid a response this one refers to; nullptr when there is none.
TTavuAction *ChainRuleOf(const TResList &list, const TRes &res)
{
    if (list.HiddenNumbers.isEmpty())
        return nullptr;
    for (const AnchorRange &range : Anchors(res.Body)) {
        for (auto it = list.HiddenNumbers.lowerBound(range.first);
             it != list.HiddenNumbers.end() && it.key() <= range.last; ++it) {
            if (it.key() != res.Number)
                return it.value();
        }
    }
    return nullptr;
}

void HideRes(TResList &list, TRes &res, TTavuAction *rule)
{
    res.Hidden = true;
    if (rule->Chain)
        list.HiddenNumbers.insert(res.Number, rule);
}

void ApplyToThreadItem(const TTavuAction &rule, TThreadItem &item)
{
    bool ok = false;
    switch (rule.Action) {
    case TTavuAction::REPLACE:
        rule.ReplaceInThread(item);
        break;
    case TTavuAction::SETCOLOR: {
        const TColor color = StringToColor(rule.Value2.trimmed(), &ok);
        if (ok)
            item.COLOR = color;
        break;
    }
    case TTavuAction::SETREVERSE:
        item.REVERSE = true;
        break;
    case TTavuAction::SETBOLD:
        item.BOLD = true;
        break;
    case TTavuAction::SETKAKOLOG:
        item.SetKakolog(true);
        break;
    case TTavuAction::SETPRIORITY: {
        const int priority = rule.Value2.trimmed().toInt(&ok);
        if (ok)
            item.SetPriority(priority);
        break;
    }
    default:
        break;
    }
}

}  // namespace

// ------------------------------------------------------------------ files

bool TTavuActionList::LoadFromFile(const QString &path)
{
    Clear();
    if (!QFileInfo::exists(path))
        return false;
    FileUtil::MakeBackup(path, BackupPath(path));
    const QString text = jconvert::SjisToUnicode(FileUtil::ReadFile(path));
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    const QDateTime now = QDateTime::currentDateTime();
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].trimmed().isEmpty())
            continue;
        std::unique_ptr<TTavuAction> rule = LineToRule(lines[i]);
        if (!rule) {
            unreadLines.append(lines[i]);
            messages.append(QStringLiteral("%1: %2 行目のルールを読めません。この行は使わずにそのまま残します。")
                                .arg(QFileInfo(path).fileName())
                                .arg(i + 1));
            continue;
        }
        if (rule->IsExpired(now))
            rule->Enabled = false;
        rules.push_back(std::move(rule));
    }
    return true;
}

void TTavuActionList::SaveToFile(const QString &path) const
{
    QString text;
    for (const auto &rule : rules)
        text += RuleToLine(*rule) + LineBreak;
    for (const QString &line : unreadLines)
        text += line + LineBreak;
    FileUtil::WriteFileAtomic(path, jconvert::UnicodeToSjis(text));
}

// ------------------------------------------------------------------ the list

void TTavuActionList::Add(std::unique_ptr<TTavuAction> rule)
{
    rules.push_back(std::move(rule));
}

TTavuAction *TTavuActionList::Get(int index) const
{
    return rules.at(static_cast<size_t>(index)).get();
}

int TTavuActionList::IndexOf(const TTavuAction *rule) const
{
    for (int i = 0; i < Count(); ++i) {
        if (rules[static_cast<size_t>(i)].get() == rule)
            return i;
    }
    return -1;
}

void TTavuActionList::Delete(int index)
{
    if (index >= 0 && index < Count())
        rules.erase(rules.begin() + index);
}

void TTavuActionList::Clear()
{
    rules.clear();
    unreadLines.clear();
    messages.clear();
}

// ------------------------------------------------------------------ matching

bool TTavuActionList::TakesPart(TTavuAction &rule, const QString &siteId, const QString &boardId,
                                const QDateTime &now)
{
    if (rule.Enabled && rule.IsExpired(now))
        rule.Enabled = false;
    return rule.Enabled && rule.Boards.Targets(siteId, boardId);
}

int TTavuActionList::MatchRes(int from, const QString &siteId, const QString &boardId, const TRes &res,
                              const QDateTime &now)
{
    for (int i = std::max(from, 0); i < Count(); ++i) {
        TTavuAction &rule = *rules[static_cast<size_t>(i)];
        if (TakesPart(rule, siteId, boardId, now) && rule.MatchRes(res)) {
            rule.RecordHit(now);
            return i;
        }
    }
    return -1;
}

int TTavuActionList::MatchThread(int from, const QString &siteId, const QString &boardId,
                                 const TThreadItem &item, const QDateTime &now)
{
    for (int i = std::max(from, 0); i < Count(); ++i) {
        TTavuAction &rule = *rules[static_cast<size_t>(i)];
        if (rule.NewThreadOnly && !item.IsNew)
            continue;
        if (TakesPart(rule, siteId, boardId, now) && rule.MatchThread(item, now)) {
            rule.RecordHit(now);
            return i;
        }
    }
    return -1;
}

QList<TActionHit> TTavuActionList::ApplyToRes(TResList &list, TRes &res, const QString &siteId,
                                              const QString &boardId, bool inView, const QDateTime &now)
{
    QList<TActionHit> hits;
    if (!res.RuleMark) {
        res.RuleMark = true;
        for (int i = MatchRes(0, siteId, boardId, res, now); i >= 0;
             i = MatchRes(i + 1, siteId, boardId, res, now)) {
            TTavuAction *rule = Get(i);
            hits.append({rule, false});
            if (rule->Action == TTavuAction::ABONE) {
                HideRes(list, res, rule);
                break;
            }
            if (rule->Action == TTavuAction::REPLACE)
                rule->ReplaceInRes(res);
            else if (rule->Action == TTavuAction::RESMARK && inView)
                res.Body = QStringLiteral("<B>") + res.Body + QStringLiteral("</B>");
        }
    }
    if (!res.Hidden) {
        TTavuAction *rule = ChainRuleOf(list, res);
        if (rule && IndexOf(rule) >= 0) {   // a rule deleted since hides nothing more
            res.Hidden = true;
            list.HiddenNumbers.insert(res.Number, rule);
            hits.append({rule, true});
        }
    }
    return hits;
}

QList<TActionHit> TTavuActionList::ApplyToThread(TThreadItem &item, const QString &siteId,
                                                 const QString &boardId, const QDateTime &now)
{
    QList<TActionHit> hits;
    for (int i = MatchThread(0, siteId, boardId, item, now); i >= 0;
         i = MatchThread(i + 1, siteId, boardId, item, now)) {
        TTavuAction *rule = Get(i);
        hits.append({rule, false});
        if (rule->Action == TTavuAction::ABONE)
            break;
        ApplyToThreadItem(*rule, item);
    }
    return hits;
}
