#pragma once
// TToolList: tool.txt as the tools editor changes it. One line per tool, in menu order: title,
// program, working folder, arguments and "1"/"0" (the open thread's URL added), TAB-separated.
// Lines are kept as they were read (a "-" separator line too); the file is written whole.

#include <QStringList>

struct TToolFields {
    QString Title;
    QString Program;
    QString WorkDir;
    QString Arguments;
    bool AppendUrl = false;

    static TToolFields FromLine(const QString &line);
    QString Line() const;
};

class TToolList {
public:
    explicit TToolList(const QString &fileName);   // reads the file when it exists

    QStringList Lines;

    // The title of every line (field 1).
    QStringList Titles() const;
    // Moves a line one place up (delta -1) or down (+1); false at either end.
    bool Move(int index, int delta);
    // Writes every line (zero lines give an empty file), Shift_JIS, CR LF, atomically.
    void Save() const;

    // What the tool editor refuses; feNone when the fields can be stored.
    enum TFieldError { feNone, feTitle, feProgram, feProgramMissing, feFolderMissing };
    static TFieldError Check(const TToolFields &fields);

private:
    QString fileName;
};
