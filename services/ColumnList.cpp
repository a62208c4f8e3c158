#include "services/ColumnList.h"

#include "core/TextList.h"
#include "services/RowMoves.h"

namespace {

struct TColumnName {
    const char *Key;
    const char *Name;
};

const TColumnName ColumnNames[] = {
    {"UPDATE", "新着・更新情報"},
    {"INFO", "既読・お気に入り登録情報"},
    {"PRIORITY", "重要度"},
    {"TITLE", "タイトル"},
    {"READPOINT", "ここまで読んだ"},
    {"READPOINTNO", "ここまで読んだのレス番号"},
    {"AGECOUNT", "レス数(掲示板でのレス数)"},
    {"NEWCOUNT", "新着レス数"},
    {"RESCOUNT", "取得済みレス数"},
    {"LASTLOAD", "最終読み込み日"},
    {"LASTSENT", "最終書き込み日"},
    {"COMMENT", "コメント"},
    {"BOARD", "板"},
    {"BBS", "BBS"},
    {"DAT", "DAT番号"},
    {"THREADNO", "スレ番号"},
    {"SINCE", "スレ立て日"},
};

}  // namespace

TColumnList::TColumnList(const QString &fileName) : fileName(fileName)
{
    TTextList file;
    if (file.LoadFromFile(fileName))
        Lines = file.Lines;
}

QString TColumnList::NameOf(const QString &key)
{
    for (const TColumnName &column : ColumnNames) {
        if (key.compare(QLatin1String(column.Key), Qt::CaseInsensitive) == 0)
            return QString::fromUtf8(column.Name);
    }
    return {};
}

QList<int> TColumnList::MoveUp(const QList<int> &selected)
{
    return RowMoves::Move(Lines, selected, -1);
}

QList<int> TColumnList::MoveDown(const QList<int> &selected)
{
    return RowMoves::Move(Lines, selected, 1);
}

void TColumnList::Save() const
{
    TTextList::RewriteFile(fileName, Lines);
}
