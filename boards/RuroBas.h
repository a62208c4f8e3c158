#pragma once
// TRuroBas: the interpreter of the board scripts (.ruro files) that turn the lines of a downloaded
// page into boards, threads and responses (docs/formats.md describes the language).
//
// The host sets the variables a script reads (SetVariable), runs the script from its first line
// (Run) and reads back what it set (GetVariable). Variables keep their values from one run to the
// next, so one interpreter serves every line of a page.
//
// A script cannot reach anything outside its variables: there is no statement or function for
// files, processes or the network. Every run is bounded: it stops with an error after a fixed
// amount of work, and strings, variables and nesting have upper limits. Errors are raised as
// ERuroBasError, whose message names the line of the script.

#include "core/Exceptions.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>

// A script error; Line is the line of the script (from 1), 0 when it belongs to no line.
class ERuroBasError : public EVarnelo {
public:
    ERuroBasError(int line, const QString &reason);
    int Line;
    QString Reason;   // the message without the line
};

// The value of a script variable: a text, an integer or a truth value.
class TRuroValue {
public:
    enum Kind { String, Integer, Boolean };

    TRuroValue() = default;
    TRuroValue(const QString &text) : kind(String), text(text) {}
    TRuroValue(const char *text) : kind(String), text(QString::fromUtf8(text)) {}
    TRuroValue(qint64 number) : kind(Integer), number(number) {}
    TRuroValue(int number) : kind(Integer), number(number) {}
    TRuroValue(bool truth) : kind(Boolean), number(truth ? 1 : 0) {}

    Kind Type() const { return kind; }
    // Integers in decimal, truth values as "true" / "false".
    QString ToString() const;
    // A text is false when it is empty, "0" or "false" (any case); an integer when it is 0.
    bool ToBool() const;
    // False when the value is a text that is not a decimal integer (an empty text reads as 0).
    bool ToInteger(qint64 &out) const;

private:
    Kind kind = String;
    QString text;
    qint64 number = 0;
};

class TRuroBas {
public:
    static constexpr int MaxVariables = 101;
    static constexpr qint64 MaxSteps = 1000000;          // statements of one run (work included)
    static constexpr qint64 CharactersPerStep = 1024;    // text handled that counts as one step
    static constexpr qsizetype MaxStringLength = 1 << 20;
    static constexpr qint64 MaxStoredCharacters = 8 << 20;   // all variables together
    static constexpr int MaxNesting = 64;                // blocks, and expressions in parentheses
    static constexpr int MaxExpressionParts = 1000;      // operators, values and calls of one line

    TRuroBas();
    ~TRuroBas();
    TRuroBas(const TRuroBas &) = delete;
    TRuroBas &operator=(const TRuroBas &) = delete;

    // The script's lines. Setting them drops the previously compiled script; the next run
    // compiles them.
    const QStringList &Source() const { return source; }
    void SetSource(const QStringList &lines);
    // Reads a .ruro file (Shift_JIS). False, with an empty script, when it cannot be read.
    bool LoadSource(const QString &path);

    // Creates or sets a variable (names ignore case). Raises "変数領域がなくなった" when a new
    // variable is needed and all slots are used.
    void SetVariable(const QString &name, const TRuroValue &value);
    // The value of a variable; an empty text when it does not exist.
    TRuroValue GetVariable(const QString &name) const;
    QString GetString(const QString &name) const { return GetVariable(name).ToString(); }
    bool GetBool(const QString &name) const { return GetVariable(name).ToBool(); }
    int VariableCount() const { return int(variables.size()); }
    void ClearVariables();

    // Runs the script from its first line. Raises ERuroBasError on a syntax error, a run-time
    // error or when a limit is reached; the variables keep what the script had set until then.
    void Run();

private:
    struct Program;   // the compiled script (RuroBas.cpp)

    QStringList source;
    std::unique_ptr<Program> program;
    QHash<QString, TRuroValue> variables;   // keyed by the upper-case name
    qint64 storedCharacters = 0;

    friend class TRuroRun;
    void Store(const QString &name, const TRuroValue &value, int line);
};
