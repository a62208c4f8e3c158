#include "services/ToolList.h"

#include "core/TextList.h"

#include <QFileInfo>

TToolFields TToolFields::FromLine(const QString &line)
{
    const QStringList fields = line.split(QLatin1Char('\t'));
    return {fields.value(0), fields.value(1), fields.value(2), fields.value(3), fields.value(4) == QLatin1String("1")};
}

QString TToolFields::Line() const
{
    return QStringList{Title, Program, WorkDir, Arguments, AppendUrl ? QStringLiteral("1") : QStringLiteral("0")}
        .join(QLatin1Char('\t'));
}

TToolList::TToolList(const QString &fileName) : fileName(fileName)
{
    TTextList file;
    if (file.LoadFromFile(fileName))
        Lines = file.Lines;
}

QStringList TToolList::Titles() const
{
    QStringList titles;
    for (const QString &line : Lines)
        titles << line.section(QLatin1Char('\t'), 0, 0);
    return titles;
}

bool TToolList::Move(int index, int delta)
{
    const int target = index + delta;
    if (index < 0 || index >= Lines.size() || target < 0 || target >= Lines.size())
        return false;
    Lines.move(index, target);
    return true;
}

void TToolList::Save() const
{
    TTextList::RewriteFile(fileName, Lines);
}

TToolList::TFieldError TToolList::Check(const TToolFields &fields)
{
    if (fields.Title.trimmed().isEmpty())
        return feTitle;
    if (fields.Program.trimmed().isEmpty())
        return feProgram;
    if (!QFileInfo(fields.Program).isFile())
        return feProgramMissing;
    if (!fields.WorkDir.isEmpty() && !QFileInfo(fields.WorkDir).isDir())
        return feFolderMissing;
    return feNone;
}
