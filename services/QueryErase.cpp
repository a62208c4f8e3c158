#include "services/QueryErase.h"

#include "core/MonaUtils.h"
#include "core/Res.h"
#include "core/ResList.h"
#include "core/ThreadItem.h"
#include "core/ThreadItemList.h"

namespace QueryErase {

namespace {

QStringList Distinct(const QList<TResRow> &rows, QString TResRow::*field)
{
    QStringList values;
    for (const TResRow &row : rows) {
        const QString &value = row.*field;
        if (!value.isEmpty() && !values.contains(value))
            values << value;
    }
    return values;
}

void Log(const TLog &log, const QString &line)
{
    if (log)
        log(line);
}

}  // namespace

bool MatchText(const QString &field, const QString &text, TMatchMode mode)
{
    if (mode == mmExact)
        return field.compare(text, Qt::CaseInsensitive) == 0;
    return field.contains(text, Qt::CaseInsensitive);
}

QList<TResRow> ResRows(const TResList &list)
{
    QList<TResRow> rows;
    for (int i = list.Count() - 1; i >= 0; --i) {
        TRes *res = list.Get(i);
        if (res->Erased)
            continue;
        rows << TResRow{res, i + 1, MonaUtils::HtmlToPlainText(res->Name), res->Mail, res->ID,
                        MonaUtils::HtmlToPlainText(res->Body), false};
    }
    return rows;
}

QStringList DistinctHandles(const QList<TResRow> &rows)
{
    return Distinct(rows, &TResRow::Handle);
}

QStringList DistinctIDs(const QList<TResRow> &rows)
{
    return Distinct(rows, &TResRow::ID);
}

QStringList MailCandidates(const QList<TResRow> &rows)
{
    QStringList values;
    for (const TResRow &row : rows) {
        const QString mail = row.Mail.trimmed();
        if (mail.size() <= 7)
            continue;
        const QString value = mail.mid(7).toLower();
        if (!values.contains(value))
            values << value;
    }
    return values;
}

TResCriterion ByHandle(const QString &text, TMatchMode mode)
{
    return [text, mode](const TResRow &row) { return MatchText(row.Handle, text, mode); };
}

TResCriterion ByNumber(int from, int to)
{
    return [from, to](const TResRow &row) { return row.Position >= from && row.Position <= to; };
}

TResCriterion ByWord(const QString &word)
{
    return [word](const TResRow &row) { return !word.isEmpty() && row.Body.contains(word); };
}

TResCriterion ByMail(const QString &text, TMatchMode mode)
{
    return [text, mode](const TResRow &row) { return MatchText(row.Mail, text, mode); };
}

TResCriterion ByID(const QString &id)
{
    return [id](const TResRow &row) { return !id.isEmpty() && row.ID.compare(id, Qt::CaseInsensitive) == 0; };
}

TResCriterion ByLength(int maximum)
{
    return [maximum](const TResRow &row) { return row.Body.size() <= maximum; };
}

int CheckRows(QList<TResRow> &rows, const TResCriterion &criterion)
{
    int checked = 0;
    for (TResRow &row : rows) {
        if (criterion(row)) {
            row.Checked = true;
            ++checked;
        }
    }
    return checked;
}

int EraseCheckedRes(const QList<TResRow> &rows, const TLog &log)
{
    int erased = 0;
    for (const TResRow &row : rows) {
        if (!row.Checked || row.Res->Erased)
            continue;
        row.Res->Erased = true;
        ++erased;
        Log(log, QStringLiteral("  %1を消去").arg(row.Res->Number));
        Log(log, QStringLiteral("  →%1 : %2").arg(row.Handle, row.Body));
    }
    Log(log, QStringLiteral("%1 個のレスを消去しました。").arg(erased));
    return erased;
}

QList<TThreadRow> ThreadRows(const TThreadItemList &list)
{
    QList<TThreadRow> rows;
    for (int i = 0; i < list.Count(); ++i) {
        if (!list.Get(i)->ABONE)
            rows << TThreadRow{list.Get(i), false};
    }
    return rows;
}

int CheckThreadRows(QList<TThreadRow> &rows, const QString &word, const QString &datNumber)
{
    int checked = 0;
    for (TThreadRow &row : rows) {
        const bool byWord = !word.isEmpty() && row.Item->ShownTitle().contains(word);
        const bool byKey = !datNumber.isEmpty() && row.Item->GetKey() == datNumber;
        if (byWord || byKey) {
            row.Checked = true;
            ++checked;
        }
    }
    return checked;
}

int EraseCheckedThreads(const QList<TThreadRow> &rows, TThreadItemList &list, const TLog &log)
{
    int erased = 0;
    for (int i = rows.size() - 1; i >= 0; --i) {
        TThreadItem *item = rows.at(i).Item;
        if (!rows.at(i).Checked || item->ABONE)
            continue;
        item->LoadInfo();
        item->ABONE = true;
        item->SaveInfo();
        ++erased;
        Log(log, QStringLiteral("  %1を消去").arg(item->Number));
        Log(log, QStringLiteral("  →%1 : %2").arg(item->ShownTitle(), item->GetKey()));
        const int index = list.IndexOf(item);
        if (index >= 0)
            list.Delete(index);
    }
    Log(log, QStringLiteral("%1 個のスレッドを消去しました。").arg(erased));
    return erased;
}

}  // namespace QueryErase
