#include "boards/RuroBas.h"

#include "core/MonaUtils.h"
#include "core/Tavutils.h"
#include "core/TextList.h"

#include <functional>
#include <vector>

// ---------------------------------------------------------------------------------------------
// Messages

namespace {

QString Msg(const char *text) { return QString::fromUtf8(text); }

const char *const NoSlotsLeft = "変数領域がなくなった";
const char *const SyntaxError = "構文が正しくない（%1）";
const char *const TooManySteps = "実行ステップ数が上限を超えた";
const char *const StringTooLong = "文字列が長すぎる";
const char *const StoreFull = "変数の文字列が合計で大きすぎる";
const char *const NotANumber = "数値でない（%1）";
const char *const NumberTooLarge = "数値が大きすぎる";
const char *const DivisionByZero = "0で割った";
const char *const NestedTooDeep = "入れ子が深すぎる";
const char *const ExpressionTooLong = "式が長すぎる";
const char *const UnknownFunction = "そんな関数はない（%1）";
const char *const WrongArgumentCount = "引数の数が違う（%1）";
const char *const BadCharacterCode = "文字コードが正しくない（%1）";
const char *const ZeroStep = "STEPが0";
const char *const MissingEnd = "%1がない";
const char *const UnmatchedEnd = "対応する%1がない";
const char *const ExitOutsideLoop = "%1の外でEXITした";

}  // namespace

ERuroBasError::ERuroBasError(int line, const QString &reason)
    : EVarnelo(line > 0 ? QStringLiteral("%1行目: %2").arg(line).arg(reason) : reason),
      Line(line), Reason(reason)
{
}

// ---------------------------------------------------------------------------------------------
// Values

namespace {

// A decimal integer with an optional sign; an empty or blank text reads as 0.
bool ParseInteger(QStringView text, qint64 &out)
{
    text = text.trimmed();
    if (text.isEmpty()) {
        out = 0;
        return true;
    }
    bool ok = false;
    if (MonaUtils::IsInteger(text.toString()))
        out = text.toLongLong(&ok);
    return ok;
}

}  // namespace

QString TRuroValue::ToString() const
{
    switch (kind) {
    case Integer: return QString::number(number);
    case Boolean: return number ? QStringLiteral("true") : QStringLiteral("false");
    case String: break;
    }
    return text;
}

bool TRuroValue::ToBool() const
{
    if (kind != String)
        return number != 0;
    return !(text.isEmpty() || text == QLatin1String("0") || text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0);
}

bool TRuroValue::ToInteger(qint64 &out) const
{
    if (kind != String) {
        out = number;
        return true;
    }
    return ParseInteger(text, out);
}

// ---------------------------------------------------------------------------------------------
// The compiled script

class TRuroRun;

namespace {

enum class Op {
    Literal, Variable, Call, Negate, Not, And, Or,
    Add, Sub, Mul, Div, Mod, Concat, Eq, Ne, Lt, Gt, Le, Ge,
};

using TRuroArgs = std::vector<TRuroValue>;
using TRuroFunction = std::function<TRuroValue(TRuroRun &, const TRuroArgs &)>;

struct Expr {
    Op op = Op::Literal;
    TRuroValue value;          // Literal
    QString name;              // Variable (upper case), Call (the function's name)
    const TRuroFunction *function = nullptr;
    std::vector<std::unique_ptr<Expr>> args;
};
using ExprPtr = std::unique_ptr<Expr>;

struct Stmt;
using Block = std::vector<std::unique_ptr<Stmt>>;

struct Stmt {
    enum Kind { Assign, If, While, For, ExitFor, ExitWhile, End } kind = Assign;
    int line = 0;
    QString name;                 // Assign, For: the variable
    ExprPtr value;                // Assign: the value; While: the condition; For: the start
    ExprPtr limit, step;          // For
    std::vector<std::pair<ExprPtr, Block>> branches;   // If: condition (null for ELSE) and block
    Block body;                   // While, For
};

}  // namespace

struct TRuroBas::Program {
    Block main;
    int errorLine = 0;            // a compile error, raised by every run
    QString error;
};

// ---------------------------------------------------------------------------------------------
// Functions

namespace {

struct FunctionInfo {
    int minArgs;
    int maxArgs;
    TRuroFunction call;
};

const QHash<QString, FunctionInfo> &Functions();

}  // namespace

// ---------------------------------------------------------------------------------------------
// Running

class TRuroRun {
public:
    explicit TRuroRun(TRuroBas &bas) : bas(bas) {}

    enum class Flow { Normal, ExitFor, ExitWhile, End };

    Flow ExecBlock(const Block &block)
    {
        for (const auto &stmt : block) {
            const Flow flow = Exec(*stmt);
            if (flow != Flow::Normal)
                return flow;
        }
        return Flow::Normal;
    }

    // Counts work; raises when the run has done too much.
    void Charge(qint64 characters)
    {
        work += characters;
        if (work > TRuroBas::MaxSteps * TRuroBas::CharactersPerStep)
            Fail(Msg(TooManySteps));
    }
    // Charges a search of a needle in a text (the worst case of the search).
    void ChargeSearch(const QString &text, const QString &needle)
    {
        Charge(qint64(text.size()) * qMax<qint64>(1, needle.size()));
    }
    QString CheckedString(QString text)
    {
        if (text.size() > TRuroBas::MaxStringLength)
            Fail(Msg(StringTooLong));
        Charge(text.size());
        return text;
    }
    qint64 Integer(const TRuroValue &value)
    {
        qint64 number = 0;
        if (!value.ToInteger(number))
            Fail(QString(Msg(NotANumber)).arg(value.ToString().left(20)));
        return number;
    }
    [[noreturn]] void Fail(const QString &reason) { throw ERuroBasError(line, reason); }

private:
    TRuroBas &bas;
    qint64 work = 0;
    int line = 0;

    Flow Exec(const Stmt &stmt)
    {
        line = stmt.line;
        Charge(TRuroBas::CharactersPerStep);
        switch (stmt.kind) {
        case Stmt::Assign:
            bas.Store(stmt.name, Eval(*stmt.value), line);
            return Flow::Normal;
        case Stmt::If:
            return ExecIf(stmt);
        case Stmt::While:
            return ExecWhile(stmt);
        case Stmt::For:
            return ExecFor(stmt);
        case Stmt::ExitFor:
            return Flow::ExitFor;
        case Stmt::ExitWhile:
            return Flow::ExitWhile;
        case Stmt::End:
            return Flow::End;
        }
        return Flow::Normal;
    }

    Flow ExecIf(const Stmt &stmt)
    {
        for (const auto &[condition, block] : stmt.branches) {
            if (!condition || Eval(*condition).ToBool())
                return ExecBlock(block);
            line = stmt.line;
        }
        return Flow::Normal;
    }

    Flow ExecWhile(const Stmt &stmt)
    {
        while (true) {
            line = stmt.line;
            Charge(TRuroBas::CharactersPerStep);
            if (!Eval(*stmt.value).ToBool())
                return Flow::Normal;
            const Flow flow = ExecBlock(stmt.body);
            if (flow == Flow::ExitWhile)
                return Flow::Normal;
            if (flow != Flow::Normal)
                return flow;
        }
    }

    Flow ExecFor(const Stmt &stmt)
    {
        qint64 counter = Integer(Eval(*stmt.value));
        const qint64 limit = Integer(Eval(*stmt.limit));
        const qint64 step = stmt.step ? Integer(Eval(*stmt.step)) : 1;
        if (step == 0)
            Fail(Msg(ZeroStep));
        while (step > 0 ? counter <= limit : counter >= limit) {
            bas.Store(stmt.name, counter, stmt.line);
            const Flow flow = ExecBlock(stmt.body);
            if (flow == Flow::ExitFor)
                return Flow::Normal;
            if (flow != Flow::Normal)
                return flow;
            line = stmt.line;
            Charge(TRuroBas::CharactersPerStep);
            // the body may have changed the counter
            if (__builtin_add_overflow(Integer(bas.GetVariable(stmt.name)), step, &counter))
                return Flow::Normal;
        }
        return Flow::Normal;
    }

    TRuroValue Eval(const Expr &expr)
    {
        switch (expr.op) {
        case Op::Literal:
            return expr.value;
        case Op::Variable:
            return bas.GetVariable(expr.name);
        case Op::Call:
            return Call(expr);
        case Op::Negate:
            return Arithmetic(Op::Sub, TRuroValue(qint64(0)), Eval(*expr.args[0]));
        case Op::Not:
            return !Eval(*expr.args[0]).ToBool();
        case Op::And:
            return Eval(*expr.args[0]).ToBool() && Eval(*expr.args[1]).ToBool();
        case Op::Or:
            return Eval(*expr.args[0]).ToBool() || Eval(*expr.args[1]).ToBool();
        case Op::Concat:
            return Concat(Eval(*expr.args[0]), Eval(*expr.args[1]));
        case Op::Eq: case Op::Ne: case Op::Lt: case Op::Gt: case Op::Le: case Op::Ge:
            return Compare(expr.op, Eval(*expr.args[0]), Eval(*expr.args[1]));
        default:
            return Arithmetic(expr.op, Eval(*expr.args[0]), Eval(*expr.args[1]));
        }
    }

    TRuroValue Call(const Expr &expr)
    {
        TRuroArgs args;
        args.reserve(expr.args.size());
        for (const auto &arg : expr.args)
            args.push_back(Eval(*arg));
        return (*expr.function)(*this, args);
    }

    TRuroValue Concat(const TRuroValue &left, const TRuroValue &right)
    {
        const QString a = left.ToString();
        const QString b = right.ToString();
        if (a.size() + b.size() > TRuroBas::MaxStringLength)
            Fail(Msg(StringTooLong));
        return CheckedString(a + b);
    }

    TRuroValue Arithmetic(Op op, const TRuroValue &left, const TRuroValue &right)
    {
        const qint64 a = Integer(left);
        const qint64 b = Integer(right);
        qint64 result = 0;
        bool overflow = false;
        switch (op) {
        case Op::Add: overflow = __builtin_add_overflow(a, b, &result); break;
        case Op::Sub: overflow = __builtin_sub_overflow(a, b, &result); break;
        case Op::Mul: overflow = __builtin_mul_overflow(a, b, &result); break;
        case Op::Div:
        case Op::Mod:
            if (b == 0)
                Fail(Msg(DivisionByZero));
            overflow = (a == std::numeric_limits<qint64>::min() && b == -1);
            if (!overflow)
                result = op == Op::Div ? a / b : a % b;
            break;
        default: break;
        }
        if (overflow)
            Fail(Msg(NumberTooLarge));
        return result;
    }

    // Truth values compare as truth values, two numbers (at least one an integer) as numbers,
    // anything else as texts.
    TRuroValue Compare(Op op, const TRuroValue &left, const TRuroValue &right)
    {
        int order = 0;
        qint64 a = 0, b = 0;
        if (left.Type() == TRuroValue::Boolean || right.Type() == TRuroValue::Boolean) {
            order = int(left.ToBool()) - int(right.ToBool());
        } else if ((left.Type() == TRuroValue::Integer || right.Type() == TRuroValue::Integer)
                   && left.ToInteger(a) && right.ToInteger(b)) {
            order = a < b ? -1 : (a > b ? 1 : 0);
        } else {
            const QString x = left.ToString();
            const QString y = right.ToString();
            Charge(qMin(x.size(), y.size()));
            order = x.compare(y);
        }
        switch (op) {
        case Op::Eq: return order == 0;
        case Op::Ne: return order != 0;
        case Op::Lt: return order < 0;
        case Op::Gt: return order > 0;
        case Op::Le: return order <= 0;
        default: return order >= 0;
        }
    }
};

// ---------------------------------------------------------------------------------------------
// Reading the script

namespace {

struct Token {
    enum Kind { Word, Number, Text, Symbol, EndOfLine } kind = EndOfLine;
    QString text;      // Word: upper case; Symbol: the operator; Text: the string's value
    qint64 number = 0;
};

class CompileError {
public:
    CompileError(int line, QString reason) : line(line), reason(std::move(reason)) {}
    int line;
    QString reason;
};

bool IsWordStart(QChar c) { return c.unicode() < 128 && (c.isLetter() || c == QLatin1Char('_')); }
bool IsWordChar(QChar c) { return c.unicode() < 128 && (c.isLetterOrNumber() || c == QLatin1Char('_')); }

const QStringList &ReservedWords()
{
    static const QStringList words = {
        QStringLiteral("IF"),   QStringLiteral("THEN"), QStringLiteral("ELSE"), QStringLiteral("ELSEIF"),
        QStringLiteral("END"),  QStringLiteral("ENDIF"), QStringLiteral("WHILE"), QStringLiteral("WEND"),
        QStringLiteral("FOR"),  QStringLiteral("TO"),   QStringLiteral("STEP"), QStringLiteral("NEXT"),
        QStringLiteral("EXIT"), QStringLiteral("LET"),  QStringLiteral("REM"),  QStringLiteral("AND"),
        QStringLiteral("OR"),   QStringLiteral("NOT"),  QStringLiteral("MOD"),  QStringLiteral("TRUE"),
        QStringLiteral("FALSE"),
    };
    return words;
}

// Splits one line into tokens; a "'" outside a string starts a comment.
class Lexer {
public:
    Lexer(const QString &text, int line) : text(text), line(line) {}

    std::vector<Token> Tokens()
    {
        std::vector<Token> tokens;
        while (true) {
            SkipBlanks();
            if (pos >= text.size() || text[pos] == QLatin1Char('\''))
                break;
            tokens.push_back(Next());
        }
        tokens.push_back(Token());
        return tokens;
    }

private:
    const QString &text;
    int line;
    qsizetype pos = 0;

    void SkipBlanks()
    {
        while (pos < text.size() && (text[pos] == QLatin1Char(' ') || text[pos] == QLatin1Char('\t')
                                     || text[pos] == QChar(0x3000)))
            ++pos;
    }

    Token Next()
    {
        const QChar c = text[pos];
        if (IsWordStart(c))
            return Word();
        if (c.unicode() < 128 && c.isDigit())
            return Number();
        if (c == QLatin1Char('"'))
            return String();
        return Symbol();
    }

    Token Word()
    {
        const qsizetype start = pos;
        while (pos < text.size() && IsWordChar(text[pos]))
            ++pos;
        return Token{Token::Word, text.mid(start, pos - start).toUpper()};
    }

    Token Number()
    {
        const qsizetype start = pos;
        while (pos < text.size() && text[pos].unicode() < 128 && text[pos].isDigit())
            ++pos;
        Token token{Token::Number, text.mid(start, pos - start)};
        bool ok = false;
        token.number = token.text.toLongLong(&ok);
        if (!ok)
            throw CompileError(line, Msg(NumberTooLarge));
        return token;
    }

    // "..." with "" standing for one double quote.
    Token String()
    {
        QString value;
        ++pos;
        while (true) {
            if (pos >= text.size())
                throw CompileError(line, QString(Msg(SyntaxError)).arg(Msg("文字列が閉じていない")));
            if (text[pos] == QLatin1Char('"')) {
                if (pos + 1 < text.size() && text[pos + 1] == QLatin1Char('"')) {
                    value += QLatin1Char('"');
                    pos += 2;
                    continue;
                }
                ++pos;
                return Token{Token::Text, value};
            }
            value += text[pos++];
        }
    }

    Token Symbol()
    {
        static const QStringList twoChars = {QStringLiteral("<>"), QStringLiteral("<="), QStringLiteral(">=")};
        static const QString oneChar = QStringLiteral("=<>+-*/&(),");
        const QString two = text.mid(pos, 2);
        if (twoChars.contains(two)) {
            pos += 2;
            return Token{Token::Symbol, two};
        }
        if (oneChar.contains(text[pos]))
            return Token{Token::Symbol, QString(text[pos++])};
        throw CompileError(line, QString(Msg(SyntaxError)).arg(QString(text[pos])));
    }
};

// Reads the tokens of one line into statements and expressions.
class LineParser {
public:
    LineParser(std::vector<Token> tokens, int line) : tokens(std::move(tokens)), line(line) {}

    const Token &Peek() const { return tokens[pos]; }
    bool AtEnd() const { return Peek().kind == Token::EndOfLine; }
    bool IsWord(const char *word) const { return Peek().kind == Token::Word && Peek().text == QLatin1String(word); }
    bool IsNextWord(const char *word) const
    {
        const Token &next = tokens[qMin(pos + 1, tokens.size() - 1)];
        return next.kind == Token::Word && next.text == QLatin1String(word);
    }
    bool IsSymbol(const char *symbol) const
    {
        return Peek().kind == Token::Symbol && Peek().text == QLatin1String(symbol);
    }
    Token Take() { return AtEnd() ? tokens[pos] : tokens[pos++]; }

    [[noreturn]] void Fail(const QString &what) const
    {
        throw CompileError(line, QString(Msg(SyntaxError)).arg(what));
    }
    [[noreturn]] void Unexpected() const { Fail(AtEnd() ? Msg("行末") : Peek().text); }

    void ExpectWord(const char *word)
    {
        if (!IsWord(word))
            Unexpected();
        ++pos;
    }
    void ExpectSymbol(const char *symbol)
    {
        if (!IsSymbol(symbol))
            Unexpected();
        ++pos;
    }
    void ExpectEnd() const
    {
        if (!AtEnd())
            Unexpected();
    }

    // A variable name: a word that is not reserved.
    QString VariableName()
    {
        if (Peek().kind != Token::Word || ReservedWords().contains(Peek().text))
            Unexpected();
        return Take().text;
    }

    ExprPtr Expression(int depth)
    {
        if (depth > TRuroBas::MaxNesting)
            throw CompileError(line, Msg(NestedTooDeep));
        return Or(depth);
    }

private:
    std::vector<Token> tokens;
    size_t pos = 0;
    int line;
    int parts = 0;   // operators, values and calls of the line so far

    // A new part of the line's expressions. Their number is bounded, and with it the depth of a
    // chain of operators, which a run walks down recursively.
    ExprPtr NewExpr(Op op)
    {
        if (++parts > TRuroBas::MaxExpressionParts)
            throw CompileError(line, Msg(ExpressionTooLong));
        auto node = std::make_unique<Expr>();
        node->op = op;
        return node;
    }

    ExprPtr Node(Op op, ExprPtr left, ExprPtr right = nullptr)
    {
        ExprPtr node = NewExpr(op);
        node->args.push_back(std::move(left));
        if (right)
            node->args.push_back(std::move(right));
        return node;
    }

    ExprPtr Or(int depth)
    {
        ExprPtr left = And(depth);
        while (IsWord("OR")) {
            ++pos;
            left = Node(Op::Or, std::move(left), And(depth));
        }
        return left;
    }

    ExprPtr And(int depth)
    {
        ExprPtr left = Not(depth);
        while (IsWord("AND")) {
            ++pos;
            left = Node(Op::And, std::move(left), Not(depth));
        }
        return left;
    }

    ExprPtr Not(int depth)
    {
        if (!IsWord("NOT"))
            return Comparison(depth);
        ++pos;
        if (depth + 1 > TRuroBas::MaxNesting)
            throw CompileError(line, Msg(NestedTooDeep));
        return Node(Op::Not, Not(depth + 1));
    }

    ExprPtr Comparison(int depth)
    {
        static const QList<QPair<QString, Op>> ops = {
            {QStringLiteral("="), Op::Eq},  {QStringLiteral("<>"), Op::Ne}, {QStringLiteral("<"), Op::Lt},
            {QStringLiteral(">"), Op::Gt},  {QStringLiteral("<="), Op::Le}, {QStringLiteral(">="), Op::Ge},
        };
        return Binary(depth, ops, &LineParser::Concatenation);
    }

    ExprPtr Concatenation(int depth)
    {
        static const QList<QPair<QString, Op>> ops = {{QStringLiteral("&"), Op::Concat}};
        return Binary(depth, ops, &LineParser::Additive);
    }

    ExprPtr Additive(int depth)
    {
        static const QList<QPair<QString, Op>> ops = {{QStringLiteral("+"), Op::Add}, {QStringLiteral("-"), Op::Sub}};
        return Binary(depth, ops, &LineParser::Term);
    }

    ExprPtr Term(int depth)
    {
        static const QList<QPair<QString, Op>> ops = {
            {QStringLiteral("*"), Op::Mul}, {QStringLiteral("/"), Op::Div}, {QStringLiteral("MOD"), Op::Mod}};
        return Binary(depth, ops, &LineParser::Unary);
    }

    // Left-associative operators of one level over the next level.
    ExprPtr Binary(int depth, const QList<QPair<QString, Op>> &ops, ExprPtr (LineParser::*next)(int))
    {
        ExprPtr left = (this->*next)(depth);
        while (true) {
            const Token &token = Peek();
            if (token.kind != Token::Symbol && token.kind != Token::Word)
                return left;
            auto found = std::find_if(ops.begin(), ops.end(), [&](const auto &p) { return p.first == token.text; });
            if (found == ops.end())
                return left;
            ++pos;
            left = Node(found->second, std::move(left), (this->*next)(depth));
        }
    }

    ExprPtr Unary(int depth)
    {
        if (!IsSymbol("-"))
            return Primary(depth);
        ++pos;
        if (depth + 1 > TRuroBas::MaxNesting)
            throw CompileError(line, Msg(NestedTooDeep));
        return Node(Op::Negate, Unary(depth + 1));
    }

    ExprPtr Primary(int depth)
    {
        const size_t start = pos;
        const Token token = Take();
        if (token.kind == Token::Symbol && token.text == QLatin1String("(")) {
            ExprPtr inner = Expression(depth + 1);
            ExpectSymbol(")");
            return inner;
        }
        const bool name = token.kind == Token::Word && !ReservedWords().contains(token.text);
        if (name && IsSymbol("("))
            return Call(token.text, depth);
        ExprPtr node = NewExpr(Op::Literal);
        if (token.kind == Token::Number) {
            node->value = token.number;
        } else if (token.kind == Token::Text) {
            node->value = token.text;
        } else if (token.kind == Token::Word && (token.text == QLatin1String("TRUE") || token.text == QLatin1String("FALSE"))) {
            node->value = token.text == QLatin1String("TRUE");
        } else if (name) {
            node->op = Op::Variable;
            node->name = token.text;
        } else {
            pos = start;
            Unexpected();
        }
        return node;
    }

    ExprPtr Call(const QString &name, int depth)
    {
        const auto found = Functions().constFind(name);
        if (found == Functions().cend())
            throw CompileError(line, QString(Msg(UnknownFunction)).arg(name));
        ExprPtr node = NewExpr(Op::Call);
        node->name = name;
        node->function = &found->call;
        ExpectSymbol("(");
        if (!IsSymbol(")")) {
            node->args.push_back(Expression(depth + 1));
            while (IsSymbol(",")) {
                ++pos;
                node->args.push_back(Expression(depth + 1));
            }
        }
        ExpectSymbol(")");
        const int count = int(node->args.size());
        if (count < found->minArgs || count > found->maxArgs)
            throw CompileError(line, QString(Msg(WrongArgumentCount)).arg(name));
        return node;
    }
};

// Reads the lines of a script into nested blocks.
class Compiler {
public:
    explicit Compiler(const QStringList &lines) : lines(lines) {}

    Block Compile()
    {
        Terminator end;
        Block block = ReadBlock({}, 0, end);
        return block;
    }

private:
    // The line that ended a block: its keyword and its parser (for the rest of the line).
    struct Terminator {
        QString word;       // "ELSEIF", "ELSE", "END IF", "WEND", "NEXT"; empty at the end of the script
        int line = 0;
        std::unique_ptr<LineParser> parser;
    };
    struct Loops {
        int fors = 0;
        int whiles = 0;
    };

    const QStringList &lines;
    int next = 0;   // index of the next line to read
    Loops loops;

    // Statements up to one of the given terminators (the end of the script when none is given).
    Block ReadBlock(const QStringList &terminators, int depth, Terminator &end)
    {
        if (depth > TRuroBas::MaxNesting)
            throw CompileError(next, Msg(NestedTooDeep));
        Block block;
        while (next < lines.size()) {
            const int line = ++next;
            auto parser = std::make_unique<LineParser>(Lexer(lines[line - 1], line).Tokens(), line);
            if (parser->AtEnd() || parser->IsWord("REM"))
                continue;
            const QString word = TerminatorWord(*parser);
            if (!word.isEmpty()) {
                if (!terminators.contains(word))
                    throw CompileError(line, QString(Msg(UnmatchedEnd)).arg(OpenerOf(word)));
                end.word = word;
                end.line = line;
                end.parser = std::move(parser);
                return block;
            }
            block.push_back(ReadStatement(*parser, line, depth));
        }
        end = Terminator();
        return block;
    }

    // The terminator a line starts with (and takes its words); empty when it starts a statement.
    static QString TerminatorWord(LineParser &parser)
    {
        for (const char *word : {"ELSEIF", "ELSE", "WEND", "NEXT", "ENDIF"}) {
            if (parser.IsWord(word)) {
                parser.Take();
                return QString::fromLatin1(word) == QLatin1String("ENDIF") ? QStringLiteral("END IF") : QString::fromLatin1(word);
            }
        }
        if (parser.IsWord("END") && parser.IsNextWord("IF")) {
            parser.Take();
            parser.Take();
            return QStringLiteral("END IF");
        }
        return QString();
    }

    static QString OpenerOf(const QString &terminator)
    {
        if (terminator == QLatin1String("WEND"))
            return QStringLiteral("WHILE");
        if (terminator == QLatin1String("NEXT"))
            return QStringLiteral("FOR");
        return QStringLiteral("IF");
    }

    std::unique_ptr<Stmt> ReadStatement(LineParser &parser, int line, int depth)
    {
        auto stmt = std::make_unique<Stmt>();
        stmt->line = line;
        if (parser.IsWord("IF")) {
            parser.Take();
            ReadIf(*stmt, parser, line, depth);
        } else if (parser.IsWord("WHILE")) {
            parser.Take();
            ReadWhile(*stmt, parser, depth);
        } else if (parser.IsWord("FOR")) {
            parser.Take();
            ReadFor(*stmt, parser, depth);
        } else {
            ReadSimple(*stmt, parser, line);
        }
        return stmt;
    }

    // Statements that fit on one line: assignment, EXIT FOR, EXIT WHILE, END.
    void ReadSimple(Stmt &stmt, LineParser &parser, int line)
    {
        if (parser.IsWord("EXIT")) {
            parser.Take();
            const bool isFor = parser.IsWord("FOR");
            if (!isFor && !parser.IsWord("WHILE"))
                parser.Unexpected();
            parser.Take();
            if ((isFor ? loops.fors : loops.whiles) == 0)
                throw CompileError(line, QString(Msg(ExitOutsideLoop)).arg(isFor ? "FOR" : "WHILE"));
            stmt.kind = isFor ? Stmt::ExitFor : Stmt::ExitWhile;
        } else if (parser.IsWord("END")) {
            parser.Take();
            stmt.kind = Stmt::End;
        } else {
            if (parser.IsWord("LET"))
                parser.Take();
            stmt.kind = Stmt::Assign;
            stmt.name = parser.VariableName();
            parser.ExpectSymbol("=");
            stmt.value = parser.Expression(0);
        }
        parser.ExpectEnd();
    }

    void ReadIf(Stmt &stmt, LineParser &parser, int line, int depth)
    {
        stmt.kind = Stmt::If;
        ExprPtr condition = parser.Expression(0);
        parser.ExpectWord("THEN");
        if (!parser.AtEnd()) {   // IF ... THEN statement
            Block block;
            auto inner = std::make_unique<Stmt>();
            inner->line = line;
            ReadSimple(*inner, parser, line);
            block.push_back(std::move(inner));
            stmt.branches.emplace_back(std::move(condition), std::move(block));
            return;
        }
        static const QStringList ends = {QStringLiteral("ELSEIF"), QStringLiteral("ELSE"), QStringLiteral("END IF")};
        bool elseSeen = false;
        while (true) {
            Terminator end;
            Block block = ReadBlock(elseSeen ? QStringList{QStringLiteral("END IF")} : ends, depth + 1, end);
            stmt.branches.emplace_back(std::move(condition), std::move(block));
            if (end.word.isEmpty())
                throw CompileError(line, QString(Msg(MissingEnd)).arg("END IF"));
            if (end.word == QLatin1String("END IF")) {
                end.parser->ExpectEnd();
                return;
            }
            if (end.word == QLatin1String("ELSEIF")) {
                condition = end.parser->Expression(0);
                end.parser->ExpectWord("THEN");
            } else {
                elseSeen = true;
            }
            end.parser->ExpectEnd();
        }
    }

    void ReadWhile(Stmt &stmt, LineParser &parser, int depth)
    {
        stmt.kind = Stmt::While;
        stmt.value = parser.Expression(0);
        parser.ExpectEnd();
        ++loops.whiles;
        Terminator end;
        stmt.body = ReadBlock({QStringLiteral("WEND")}, depth + 1, end);
        --loops.whiles;
        if (end.word.isEmpty())
            throw CompileError(stmt.line, QString(Msg(MissingEnd)).arg("WEND"));
        end.parser->ExpectEnd();
    }

    // FOR name = start TO limit [STEP step] ... NEXT [name]
    void ReadFor(Stmt &stmt, LineParser &parser, int depth)
    {
        stmt.kind = Stmt::For;
        stmt.name = parser.VariableName();
        parser.ExpectSymbol("=");
        stmt.value = parser.Expression(0);
        parser.ExpectWord("TO");
        stmt.limit = parser.Expression(0);
        if (parser.IsWord("STEP")) {
            parser.Take();
            stmt.step = parser.Expression(0);
        }
        parser.ExpectEnd();
        ++loops.fors;
        Terminator end;
        stmt.body = ReadBlock({QStringLiteral("NEXT")}, depth + 1, end);
        --loops.fors;
        if (end.word.isEmpty())
            throw CompileError(stmt.line, QString(Msg(MissingEnd)).arg("NEXT"));
        if (!end.parser->AtEnd() && end.parser->VariableName() != stmt.name)
            end.parser->Fail(QStringLiteral("NEXT"));
        end.parser->ExpectEnd();
    }
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// The built-in functions

namespace {

QString Text(const TRuroArgs &args, size_t i) { return args[i].ToString(); }

// A function of texts giving a text, charged by the size of its input.
FunctionInfo TextFunction(int count, std::function<QString(const TRuroArgs &)> body)
{
    return {count, count, [body](TRuroRun &run, const TRuroArgs &args) -> TRuroValue {
                qint64 size = 0;
                for (const TRuroValue &arg : args)
                    size += arg.ToString().size();
                run.Charge(size);
                return run.CheckedString(body(args));
            }};
}

// A count of characters to cut off a text, clamped to what any text can hold.
qint64 MaxSize() { return TRuroBas::MaxStringLength + 1; }

// Index from 1 of a search result (0 when not found).
TRuroValue Position(qsizetype index) { return qint64(index + 1); }

TRuroValue Mid(TRuroRun &run, const TRuroArgs &args)
{
    const QString text = Text(args, 0);
    const qint64 start = qMax<qint64>(1, run.Integer(args[1]));
    const qint64 length = args.size() > 2 ? qMax<qint64>(0, run.Integer(args[2])) : text.size();
    if (start > text.size())
        return QString();
    return run.CheckedString(text.mid(start - 1, qMin<qint64>(length, text.size())));
}

TRuroValue Left(TRuroRun &run, const TRuroArgs &args)
{
    return run.CheckedString(Text(args, 0).left(qBound<qint64>(0, run.Integer(args[1]), MaxSize())));
}

TRuroValue Right(TRuroRun &run, const TRuroArgs &args)
{
    return run.CheckedString(Text(args, 0).right(qBound<qint64>(0, run.Integer(args[1]), MaxSize())));
}

TRuroValue InStr(TRuroRun &run, const TRuroArgs &args)
{
    const QString text = Text(args, 0);
    const QString find = Text(args, 1);
    const qint64 start = args.size() > 2 ? qMax<qint64>(1, run.Integer(args[2])) : 1;
    if (find.isEmpty() || start > text.size())
        return qint64(0);
    run.ChargeSearch(text, find);
    return Position(text.indexOf(find, start - 1));
}

TRuroValue InStrRev(TRuroRun &run, const TRuroArgs &args)
{
    const QString text = Text(args, 0);
    const QString find = Text(args, 1);
    if (find.isEmpty())
        return qint64(0);
    run.ChargeSearch(text, find);
    return Position(text.lastIndexOf(find));
}

// Every occurrence replaced; the size of the result is known before it is made.
TRuroValue Replace(TRuroRun &run, const TRuroArgs &args)
{
    const QString text = Text(args, 0);
    const QString find = Text(args, 1);
    const QString with = Text(args, 2);
    if (find.isEmpty())
        return run.CheckedString(text);
    run.ChargeSearch(text, find);
    const qint64 count = text.count(find);
    if (text.size() + count * (qint64(with.size()) - find.size()) > TRuroBas::MaxStringLength)
        run.Fail(Msg(StringTooLong));
    return run.CheckedString(QString(text).replace(find, with));
}

// The leading integer of a text (blanks skipped, an optional sign); 0 when there is none.
TRuroValue Val(TRuroRun &run, const TRuroArgs &args)
{
    const QString text = Text(args, 0).trimmed();
    qsizetype end = (text.startsWith(QLatin1Char('-')) || text.startsWith(QLatin1Char('+'))) ? 1 : 0;
    const qsizetype digits = end;
    while (end < text.size() && text[end].unicode() < 128 && text[end].isDigit())
        ++end;
    if (end == digits)
        return qint64(0);
    qint64 number = 0;
    if (!ParseInteger(QStringView(text).left(end), number))
        run.Fail(Msg(NumberTooLarge));
    return number;
}

TRuroValue Chr(TRuroRun &run, const TRuroArgs &args)
{
    const qint64 code = run.Integer(args[0]);
    if (code < 1 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        run.Fail(QString(Msg(BadCharacterCode)).arg(code));
    const char32_t character = char32_t(code);
    return QString::fromUcs4(&character, 1);
}

TRuroValue Match(TRuroRun &run, const TRuroArgs &args)
{
    const QString pattern = Text(args, 0);
    const QString text = Text(args, 1);
    run.ChargeSearch(text, pattern);
    return Tavutils::MatchWildcard(pattern, text);
}

TRuroValue Token(TRuroRun &run, const TRuroArgs &args)
{
    const QString text = Text(args, 0);
    const QString separator = Text(args, 1);
    const qint64 index = run.Integer(args[2]);
    run.ChargeSearch(text, separator);
    if (index < 0 || index > std::numeric_limits<int>::max())
        return QString();
    return run.CheckedString(MonaUtils::GetToken(text, separator, int(index)));
}

TRuroValue Between(TRuroRun &run, const TRuroArgs &args)
{
    const QString text = Text(args, 0);
    run.ChargeSearch(text, Text(args, 1) + Text(args, 2));
    return run.CheckedString(Tavutils::ExtractBetween(text, Text(args, 1), Text(args, 2)));
}

FunctionInfo Fixed(int minArgs, int maxArgs, TRuroValue (*call)(TRuroRun &, const TRuroArgs &))
{
    return {minArgs, maxArgs, call};
}

const QHash<QString, FunctionInfo> &Functions()
{
    static const QHash<QString, FunctionInfo> table = {
        {QStringLiteral("LEN"), {1, 1, [](TRuroRun &, const TRuroArgs &a) -> TRuroValue { return qint64(Text(a, 0).size()); }}},
        {QStringLiteral("LEFT"), Fixed(2, 2, Left)},
        {QStringLiteral("RIGHT"), Fixed(2, 2, Right)},
        {QStringLiteral("MID"), Fixed(2, 3, Mid)},
        {QStringLiteral("INSTR"), Fixed(2, 3, InStr)},
        {QStringLiteral("INSTRREV"), Fixed(2, 2, InStrRev)},
        {QStringLiteral("REPLACE"), Fixed(3, 3, Replace)},
        {QStringLiteral("VAL"), Fixed(1, 1, Val)},
        {QStringLiteral("CHR"), Fixed(1, 1, Chr)},
        {QStringLiteral("MATCH"), Fixed(2, 2, Match)},
        {QStringLiteral("TOKEN"), Fixed(3, 3, Token)},
        {QStringLiteral("BETWEEN"), Fixed(3, 3, Between)},
        {QStringLiteral("ISNUMBER"), {1, 1, [](TRuroRun &, const TRuroArgs &a) -> TRuroValue { return MonaUtils::IsInteger(Text(a, 0).trimmed()); }}},
        {QStringLiteral("STR"), TextFunction(1, [](const TRuroArgs &a) { return Text(a, 0); })},
        {QStringLiteral("UCASE"), TextFunction(1, [](const TRuroArgs &a) { return Text(a, 0).toUpper(); })},
        {QStringLiteral("LCASE"), TextFunction(1, [](const TRuroArgs &a) { return Text(a, 0).toLower(); })},
        {QStringLiteral("TRIM"), TextFunction(1, [](const TRuroArgs &a) { return Text(a, 0).trimmed(); })},
        {QStringLiteral("HALFWIDTH"), TextFunction(1, [](const TRuroArgs &a) { return MonaUtils::ToHalfWidth(Text(a, 0)); })},
        {QStringLiteral("STRIPTAGS"), TextFunction(1, [](const TRuroArgs &a) { return MonaUtils::StripHtmlTags(Text(a, 0)); })},
        {QStringLiteral("HTMLTOTEXT"), TextFunction(1, [](const TRuroArgs &a) { return MonaUtils::HtmlToText(Text(a, 0)); })},
        {QStringLiteral("HREF"), TextFunction(1, [](const TRuroArgs &a) { return MonaUtils::ExtractHrefValue(Text(a, 0)); })},
        {QStringLiteral("URLHOST"), TextFunction(1, [](const TRuroArgs &a) { return MonaUtils::ExtractUrlHost(Text(a, 0)); })},
        {QStringLiteral("URLPATH"), TextFunction(1, [](const TRuroArgs &a) { return MonaUtils::ExtractUrlPath(Text(a, 0)); })},
        {QStringLiteral("URLNAME"), TextFunction(1, [](const TRuroArgs &a) { return MonaUtils::ExtractUrlName(Text(a, 0)); })},
        {QStringLiteral("RESOLVEURL"), TextFunction(2, [](const TRuroArgs &a) { return MonaUtils::ResolveRelativeUrl(Text(a, 0), Text(a, 1)); })},
        {QStringLiteral("QUERYVALUE"), TextFunction(2, [](const TRuroArgs &a) { return MonaUtils::GetQueryValue(Text(a, 0), Text(a, 1)); })},
    };
    return table;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The interpreter

TRuroBas::TRuroBas() = default;
TRuroBas::~TRuroBas() = default;

void TRuroBas::SetSource(const QStringList &lines)
{
    source = lines;
    program.reset();
}

bool TRuroBas::LoadSource(const QString &path)
{
    TTextList file;
    const bool ok = file.LoadFromFile(path);
    SetSource(file.Lines);
    return ok;
}

void TRuroBas::SetVariable(const QString &name, const TRuroValue &value)
{
    Store(name, value, 0);
}

TRuroValue TRuroBas::GetVariable(const QString &name) const
{
    return variables.value(name.toUpper());
}

void TRuroBas::ClearVariables()
{
    variables.clear();
    storedCharacters = 0;
}

void TRuroBas::Store(const QString &name, const TRuroValue &value, int line)
{
    auto found = variables.find(name.toUpper());
    if (found == variables.end() && variables.size() >= MaxVariables)
        throw ERuroBasError(line, Msg(NoSlotsLeft));
    const auto sizeOf = [](const TRuroValue &v) -> qint64 { return v.Type() == TRuroValue::String ? v.ToString().size() : 0; };
    const qint64 oldSize = found == variables.end() ? 0 : sizeOf(*found);
    const qint64 newSize = sizeOf(value);
    if (storedCharacters - oldSize + newSize > MaxStoredCharacters)
        throw ERuroBasError(line, Msg(StoreFull));
    storedCharacters += newSize - oldSize;
    if (found == variables.end())
        variables.insert(name.toUpper(), value);
    else
        *found = value;
}

void TRuroBas::Run()
{
    if (!program) {
        program = std::make_unique<Program>();
        try {
            program->main = Compiler(source).Compile();
        } catch (const CompileError &error) {
            program->main.clear();
            program->errorLine = error.line;
            program->error = error.reason;
        }
    }
    if (!program->error.isEmpty())
        throw ERuroBasError(program->errorLine, program->error);
    TRuroRun run(*this);
    run.ExecBlock(program->main);
}
