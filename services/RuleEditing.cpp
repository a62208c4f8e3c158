#include "services/RuleEditing.h"

#include "core/TavuAction.h"
#include "core/TavuActionList.h"

#include <QRegularExpression>

namespace RuleEditing {

namespace {

const QString LineBreakCode = QStringLiteral("#13#10");

bool IsNumericCondition(int condition)
{
    return condition >= TTavuAction::LENGTHLT && condition <= TTavuAction::NONGETCOUNTGT;
}

TRuleKind MakeResKind()
{
    TRuleKind kind;
    kind.TargetCaptions = {QStringLiteral("ハンドル"), QStringLiteral("メールアドレス"), QStringLiteral("ID"),
                           QStringLiteral("本文")};
    kind.TargetBits = {TTavuAction::RESHANDLE, TTavuAction::RESMAIL, TTavuAction::RESID, TTavuAction::RESBODY};
    kind.ConditionCaptions = {QStringLiteral("指定文字列が含まれる"), QStringLiteral("指定文字列と一致する"),
                              QStringLiteral("文字数がｎバイト以下"), QStringLiteral("文字数がｎバイト以上")};
    kind.ActionCaptions = {QStringLiteral("非表示"), QStringLiteral("置き換え"), QStringLiteral("お知らせ"),
                           QStringLiteral("しおりをつける")};
    kind.ActionCodes = {TTavuAction::ABONE, TTavuAction::REPLACE, TTavuAction::POPUP, TTavuAction::BOOKMARK};
    return kind;
}

TRuleKind MakeThreadKind()
{
    TRuleKind kind;
    kind.TargetCaptions = {QStringLiteral("タイトル"), QStringLiteral("レス総数"), QStringLiteral("最終読込日")};
    kind.TargetBits = {TTavuAction::THREADTITLE, TTavuAction::THREADRESCOUNT, TTavuAction::THREADLOADDATE};
    kind.ConditionCaptions = MakeResKind().ConditionCaptions;
    kind.ConditionCaptions << QStringLiteral("レス数がｎを越えたら") << QStringLiteral("ｎ日経過")
                           << QStringLiteral("未取得レス数がｎを越えたら");
    kind.ActionCaptions = {QStringLiteral("非表示"), QStringLiteral("置き換え"), QStringLiteral("お知らせ"),
                           QStringLiteral("お気に入りに登録"), QStringLiteral("ローカルログに移動"),
                           QStringLiteral("色を付ける"), QStringLiteral("反転する"), QStringLiteral("太字にする"),
                           QStringLiteral("過去ログ属性を設定する"), QStringLiteral("重要度を変更する")};
    kind.ActionCodes = {TTavuAction::ABONE, TTavuAction::REPLACE, TTavuAction::POPUP, TTavuAction::ADDTOFAV,
                        TTavuAction::MOVETOLOCAL, TTavuAction::SETCOLOR, TTavuAction::SETREVERSE,
                        TTavuAction::SETBOLD, TTavuAction::SETKAKOLOG, TTavuAction::SETPRIORITY};
    return kind;
}

void WriteBoards(const TRuleForm &form, TTavuAction &rule)
{
    rule.Boards.Clear();
    if (form.BoardChoice == bcBoardInView && form.HasBoardInView) {
        rule.Boards.Add(form.BoardInView.first, form.BoardInView.second);
    } else if (form.AllBoards) {
        rule.Boards.Add(TTargetBoard::AllSites(), QString(), true);
    } else {
        for (const TBoardKey &board : form.CheckedBoards)
            rule.Boards.Add(board.first, board.second);
    }
}

// Visits the board entries of the enabled rules of a list.
template <typename Visit>
void ForEachEntry(const TTavuActionList *list, const Visit &visit)
{
    if (!list)
        return;
    for (int i = 0; i < list->Count(); ++i) {
        TTavuAction *rule = list->Get(i);
        if (!rule->Enabled)
            continue;
        for (int j = 0; j < rule->Boards.Count(); ++j)
            visit(rule, *rule->Boards.Get(j));
    }
}

bool NamesBoard(const TTargetBoard &entry, const QString &siteId, const QString &boardId)
{
    return !entry.AllBoards && entry.SiteID == siteId && entry.BoardID == boardId;
}

}  // namespace

QString ActionName(int action)
{
    static const QStringList names = {
        QStringLiteral("消去"), QStringLiteral("置換"), QStringLiteral("通知"), QStringLiteral("お気に入り"),
        QStringLiteral("ローカル"), QStringLiteral("しおり"), QStringLiteral("着色"), QStringLiteral("色反転"),
        QStringLiteral("太字"), QStringLiteral("過去ログ"), QStringLiteral("重要度"), QStringLiteral("強調")};
    return names.value(action);
}

QString ConditionName(int condition)
{
    static const QStringList names = {
        QStringLiteral("指定文字を含む"), QStringLiteral("指定文字と一致"), QStringLiteral("文字数が指定数以下"),
        QStringLiteral("文字数が指定数以上"), QStringLiteral("レス数が指定数を越えた"),
        QStringLiteral("最終読込日から指定日数経過した"), QStringLiteral("未取得レス数が指定数を越えた")};
    return names.value(condition);
}

QStringList TargetNames(int targets)
{
    static const QStringList names = {
        QStringLiteral("レス・ハンドル"), QStringLiteral("レス・メール"), QStringLiteral("レス・ID"),
        QStringLiteral("レス・本文"), QStringLiteral("スレッド・タイトル"), QStringLiteral("スレッド・レス総数"),
        QStringLiteral("スレッド・最終取得日")};
    QStringList result;
    for (int bit = 0; bit < names.size(); ++bit) {
        if (targets & (1 << bit))
            result << names.at(bit);
    }
    return result;
}

const TRuleKind &KindOf(bool threadRule)
{
    static const TRuleKind res = MakeResKind();
    static const TRuleKind thread = MakeThreadKind();
    return threadRule ? thread : res;
}

QString EncodeLineBreaks(const QString &text)
{
    static const QRegularExpression breaks(QStringLiteral("\r\n|\n|\r"));
    QString result = text;
    return result.replace(breaks, LineBreakCode);
}

QString DecodeLineBreaks(const QString &text)
{
    QString result = text;
    return result.replace(LineBreakCode, QStringLiteral("\r\n"));
}

void WriteRule(const TRuleForm &form, bool threadRule, TTavuAction &rule, const QDateTime &now)
{
    const TRuleKind &kind = KindOf(threadRule);
    rule.Target = form.Targets;

    rule.Condition = form.Condition;
    if (form.Condition == TTavuAction::LIKE)
        rule.Value1 = EncodeLineBreaks(form.LikeText);
    else if (form.Condition == TTavuAction::SAME)
        rule.Value1 = EncodeLineBreaks(form.SameText);
    else
        rule.Value1 = QString::number(form.Number);
    rule.Value2.clear();

    rule.Action = kind.ActionCodes.value(form.ActionIndex, TTavuAction::ABONE);
    switch (rule.Action) {
    case TTavuAction::ABONE:
        rule.PopupHide = form.PopupHide;
        rule.Chain = form.Chain;
        break;
    case TTavuAction::REPLACE:
        rule.Value2 = EncodeLineBreaks(form.ReplaceText);
        break;
    case TTavuAction::SETCOLOR:
        rule.Value2 = ColorToString(form.Color);
        break;
    case TTavuAction::SETPRIORITY:
        rule.Value2 = QString::number(form.Priority);
        break;
    default:
        break;
    }

    if (threadRule)
        rule.NewThreadOnly = form.NewThreadOnly;
    rule.Comment = form.Comment;
    rule.ExpireDays = form.ExpireDays;
    if (rule.RegistDate.isEmpty())
        rule.RegistDate = TTavuAction::FormatDate(now);
    WriteBoards(form, rule);
}

TRuleForm ReadRule(const TTavuAction &rule, bool threadRule)
{
    const TRuleKind &kind = KindOf(threadRule);
    TRuleForm form;
    form.Targets = rule.Target;
    form.Condition = rule.Condition;
    if (rule.Condition == TTavuAction::LIKE)
        form.LikeText = DecodeLineBreaks(rule.Value1);
    else if (rule.Condition == TTavuAction::SAME)
        form.SameText = DecodeLineBreaks(rule.Value1);
    else if (IsNumericCondition(rule.Condition))
        form.Number = rule.Value1.trimmed().toInt();   // 0 when not a number

    form.ActionIndex = qMax(0, kind.ActionCodes.indexOf(rule.Action));
    form.PopupHide = rule.PopupHide;
    form.Chain = rule.Chain;
    if (rule.Action == TTavuAction::REPLACE)
        form.ReplaceText = DecodeLineBreaks(rule.Value2);
    if (rule.Action == TTavuAction::SETCOLOR) {
        bool ok = false;
        const TColor color = StringToColor(rule.Value2, &ok);
        if (ok)
            form.Color = color;
    }
    if (rule.Action == TTavuAction::SETPRIORITY)
        form.Priority = rule.Value2.trimmed().toInt();

    form.NewThreadOnly = rule.NewThreadOnly;
    form.Comment = rule.Comment;
    form.ExpireDays = rule.ExpireDays;
    form.BoardChoice = bcFromList;
    for (int i = 0; i < rule.Boards.Count(); ++i) {
        const TTargetBoard *entry = rule.Boards.Get(i);
        if (entry->AllBoards)
            form.AllBoards = true;
        else
            form.CheckedBoards << TBoardKey(entry->SiteID, entry->BoardID);
    }
    return form;
}

std::vector<std::unique_ptr<TTavuAction>> MakeBatchRules(const QString &memo, bool popupHide, bool chain,
                                                         const QDateTime &now)
{
    QString text = memo;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    std::vector<std::unique_ptr<TTavuAction>> rules;
    if (memo.isEmpty())
        return rules;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        auto rule = std::make_unique<TTavuAction>();
        rule->Target = TTavuAction::ResTargets;
        rule->Condition = TTavuAction::LIKE;
        rule->Action = TTavuAction::ABONE;
        rule->Value1 = line;
        rule->PopupHide = popupHide;
        rule->Chain = chain;
        rule->ExpireDays = 0;
        rule->RegistDate = TTavuAction::FormatDate(now);
        rule->Boards.Add(TTargetBoard::AllSites(), QString(), true);
        rules.push_back(std::move(rule));
    }
    return rules;
}

QList<TBoardRuleRow> RulesForBoard(const TTavuActionList *resRules, const TTavuActionList *threadRules,
                                   const QString &siteId, const QString &boardId, bool hideAllBoards)
{
    const bool root = siteId == TTargetBoard::AllSites();
    QList<TBoardRuleRow> rows;
    const auto collect = [&](const TTavuActionList *list, bool threadRule) {
        ForEachEntry(list, [&](TTavuAction *rule, const TTargetBoard &entry) {
            if (entry.AllBoards && (root || (!hideAllBoards && entry.Targets(siteId, boardId))))
                rows << TBoardRuleRow{rule, threadRule, true};
            else if (!root && NamesBoard(entry, siteId, boardId))
                rows << TBoardRuleRow{rule, threadRule, false};
        });
    };
    collect(resRules, false);
    collect(threadRules, true);
    return rows;
}

bool BoardHasRules(const TTavuActionList *resRules, const TTavuActionList *threadRules, const QString &siteId,
                   const QString &boardId)
{
    bool found = false;
    const auto look = [&](TTavuAction *, const TTargetBoard &entry) {
        found = found || NamesBoard(entry, siteId, boardId);
    };
    ForEachEntry(resRules, look);
    ForEachEntry(threadRules, look);
    return found;
}

}  // namespace RuleEditing
