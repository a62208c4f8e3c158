// The board script interpreter: statements, functions, variables, limits and error messages.

#include "boards/RuroBas.h"

#include <gtest/gtest.h>


namespace {

// Runs a script (lines joined by "\n") and returns the interpreter for inspection.
std::unique_ptr<TRuroBas> RunScript(const QString &text)
{
    auto bas = std::make_unique<TRuroBas>();
    bas->SetSource(text.split(QLatin1Char('\n')));
    bas->Run();
    return bas;
}

// The error a script raises; fails the test when it runs cleanly.
ERuroBasError ErrorOf(const QString &text, TRuroBas *bas = nullptr)
{
    TRuroBas own;
    TRuroBas &target = bas ? *bas : own;
    target.SetSource(text.split(QLatin1Char('\n')));
    try {
        target.Run();
    } catch (const ERuroBasError &error) {
        return error;
    }
    ADD_FAILURE() << "no error from: " << text.toStdString();
    return ERuroBasError(0, QString());
}

QString Eval(const QString &expression)
{
    return RunScript(QStringLiteral("r = ") + expression)->GetString(QStringLiteral("r"));
}

}  // namespace

TEST(RuroBasTest, ConditionsChooseOneBranch)
{
    const QString script = QStringLiteral(
        "IF n < 0 THEN\n"
        "  r = \"negative\"\n"
        "ELSEIF n = 0 THEN\n"
        "  r = \"zero\"\n"
        "ElseIf n >= 100 Then\n"
        "  r = \"large\"\n"
        "ELSE\n"
        "  r = \"small\"\n"
        "END IF\n"
        "IF n = 5 THEN r = r & \"!\"");
    const std::pair<int, const char *> cases[] = {{-3, "negative"}, {0, "zero"}, {100, "large"}, {5, "small!"}, {7, "small"}};
    for (const auto &[n, expected] : cases) {
        TRuroBas bas;
        bas.SetSource(script.split(QLatin1Char('\n')));
        bas.SetVariable(QStringLiteral("N"), n);
        bas.Run();
        EXPECT_EQ(bas.GetString(QStringLiteral("r")), QString::fromUtf8(expected)) << n;
    }
}

TEST(RuroBasTest, LoopsCountAndExit)
{
    auto bas = RunScript(QStringLiteral(
        "' sums and counts\n"
        "sum = 0\n"
        "FOR i = 1 TO 10\n"
        "  IF i = 8 THEN EXIT FOR\n"
        "  sum = sum + i\n"
        "NEXT i\n"
        "down = \"\"\n"
        "FOR j = 9 TO 1 STEP -3\n"
        "  down = down & j\n"
        "NEXT\n"
        "n = 0\n"
        "WHILE TRUE\n"
        "  n = n + 1\n"
        "  IF n * n > 50 THEN\n"
        "    EXIT WHILE\n"
        "  ENDIF\n"
        "WEND\n"
        "REM nothing runs after END\n"
        "END\n"
        "n = 999"));
    EXPECT_EQ(bas->GetString(QStringLiteral("sum")), QStringLiteral("28"));
    EXPECT_EQ(bas->GetString(QStringLiteral("i")), QStringLiteral("8"));
    EXPECT_EQ(bas->GetString(QStringLiteral("down")), QStringLiteral("963"));
    EXPECT_EQ(bas->GetString(QStringLiteral("n")), QStringLiteral("8"));
}

TEST(RuroBasTest, OperatorsFollowPrecedenceAndTypes)
{
    EXPECT_EQ(Eval(QStringLiteral("1 + 2 * 3 - 8 / 2 - 7 MOD 4")), QStringLiteral("0"));
    EXPECT_EQ(Eval(QStringLiteral("-(2 + 3) * -2")), QStringLiteral("10"));
    EXPECT_EQ(Eval(QStringLiteral("\"a\" & 1 + 2 & \"b\"")), QStringLiteral("a3b"));
    EXPECT_EQ(Eval(QStringLiteral("\"say \"\"hi\"\"\"")), QStringLiteral("say \"hi\""));
    // numbers compare as numbers when one side is a number, texts as texts
    EXPECT_EQ(Eval(QStringLiteral("\"10\" > 9")), QStringLiteral("true"));
    EXPECT_EQ(Eval(QStringLiteral("\"10\" > \"9\"")), QStringLiteral("false"));
    EXPECT_EQ(Eval(QStringLiteral("\"12\" + 1")), QStringLiteral("13"));
    EXPECT_EQ(Eval(QStringLiteral("NOT 1 = 2 AND (FALSE OR \"x\" <> \"y\")")), QStringLiteral("true"));
    EXPECT_EQ(Eval(QStringLiteral("NOT 1 = 2 AND FALSE")), QStringLiteral("false"));
    EXPECT_EQ(Eval(QStringLiteral("missing + 1 & missing")), QStringLiteral("1"));
    // AND and OR do not evaluate what they do not need
    EXPECT_EQ(Eval(QStringLiteral("FALSE AND 1 / 0 = 1")), QStringLiteral("false"));
    EXPECT_EQ(Eval(QStringLiteral("TRUE OR 1 / 0 = 1")), QStringLiteral("true"));
}

TEST(RuroBasTest, TextFunctions)
{
    EXPECT_EQ(Eval(QStringLiteral("LEN(\"あいう\") & LEFT(\"abcdef\", 2) & RIGHT(\"abcdef\", 2) & MID(\"abcdef\", 3, 2) & MID(\"abc\", 2)")),
              QStringLiteral("3abefcdbc"));
    EXPECT_EQ(Eval(QStringLiteral("MID(\"abc\", 9) & LEFT(\"abc\", -1) & \"|\"")), QStringLiteral("|"));
    EXPECT_EQ(Eval(QStringLiteral("INSTR(\"a<>b<>c\", \"<>\") & INSTR(\"a<>b<>c\", \"<>\", 3) & INSTR(\"abc\", \"z\") & INSTRREV(\"a<>b<>c\", \"<>\")")),
              QStringLiteral("2505"));
    EXPECT_EQ(Eval(QStringLiteral("REPLACE(\"a-b-c\", \"-\", \"+=\") & UCASE(\"ab\") & LCASE(\"CD\") & \"[\" & TRIM(\"  x \") & \"]\"")),
              QStringLiteral("a+=b+=cABcd[x]"));
    EXPECT_EQ(Eval(QStringLiteral("VAL(\" 123abc\") + VAL(\"-4\") + VAL(\"x\")")), QStringLiteral("119"));
    EXPECT_EQ(Eval(QStringLiteral("CHR(9) = MID(\"a\tb\", 2, 1)")), QStringLiteral("true"));
    EXPECT_EQ(Eval(QStringLiteral("MATCH(\"http://*.example.com/*\", \"http://news.example.com/x/\")")), QStringLiteral("true"));
    EXPECT_EQ(Eval(QStringLiteral("TOKEN(\"a<>b<>c<>d\", \"<>\", 2) & BETWEEN(\"<b>bold</b>\", \"<b>\", \"</b>\")")),
              QStringLiteral("cbold"));
    EXPECT_EQ(Eval(QStringLiteral("ISNUMBER(\"42\") & ISNUMBER(\"4x\") & HALFWIDTH(\"１２Ａ\")")), QStringLiteral("truefalse12A"));
}

TEST(RuroBasTest, HtmlAndUrlFunctions)
{
    EXPECT_EQ(Eval(QStringLiteral("STRIPTAGS(\"<a href=x>ニュース</a> \") & HTMLTOTEXT(\"&lt;b&gt;&amp;\")")),
              QStringLiteral("ニュース<b>&"));
    EXPECT_EQ(Eval(QStringLiteral("HREF(\"<A HREF=\"\"http://h/news/\"\">\")")), QStringLiteral("http://h/news/"));
    EXPECT_EQ(Eval(QStringLiteral("URLHOST(\"http://h.example:8080/a/b.html\") & \" \" & URLPATH(\"http://h/a/b.html\") & \" \" & URLNAME(\"http://h/a/b.html\")")),
              QStringLiteral("h.example:8080 http://h/a/ b.html"));
    EXPECT_EQ(Eval(QStringLiteral("RESOLVEURL(\"http://h/a/b/\", \"../c/\") & \" \" & QUERYVALUE(\"r.cgi?bbs=x&key=12\", \"key\")")),
              QStringLiteral("http://h/a/c/ 12"));
}

TEST(RuroBasTest, VariablesIgnoreCaseAndKeepTheirValuesBetweenRuns)
{
    TRuroBas bas;
    bas.SetSource({QStringLiteral("Count = count + 1"), QStringLiteral("TempData = TEMPDATA & data")});
    bas.SetVariable(QStringLiteral("OK"), true);
    for (const char *line : {"a", "b", "c"}) {
        bas.SetVariable(QStringLiteral("Data"), QString::fromLatin1(line));
        bas.Run();
    }
    EXPECT_EQ(bas.GetString(QStringLiteral("COUNT")), QStringLiteral("3"));
    EXPECT_EQ(bas.GetString(QStringLiteral("tempdata")), QStringLiteral("abc"));
    EXPECT_TRUE(bas.GetBool(QStringLiteral("ok")));
    EXPECT_FALSE(bas.GetBool(QStringLiteral("missing")));
    EXPECT_EQ(bas.VariableCount(), 4);

    // a new source is compiled anew and keeps the variables
    bas.SetSource({QStringLiteral("count = count * 10")});
    bas.Run();
    EXPECT_EQ(bas.GetString(QStringLiteral("count")), QStringLiteral("30"));
}

TEST(RuroBasTest, VariableSlotsRunOut)
{
    TRuroBas bas;
    for (int i = 0; i < TRuroBas::MaxVariables; ++i)
        bas.SetVariable(QStringLiteral("v%1").arg(i), i);
    bas.SetVariable(QStringLiteral("V7"), QStringLiteral("an existing slot is reused"));
    try {
        bas.SetVariable(QStringLiteral("one_more"), 1);
        FAIL() << "no error";
    } catch (const ERuroBasError &error) {
        EXPECT_EQ(error.Message, QStringLiteral("変数領域がなくなった"));
    }
    const ERuroBasError error = ErrorOf(QStringLiteral("v1 = 2\nnewname = 1"), &bas);
    EXPECT_EQ(error.Message, QStringLiteral("2行目: 変数領域がなくなった"));
    EXPECT_EQ(bas.GetString(QStringLiteral("v1")), QStringLiteral("2"));   // what ran before stays
}

TEST(RuroBasTest, ErrorsNameTheLine)
{
    const std::pair<const char *, const char *> cases[] = {
        {"x = 1\ny = (2 + \n", "2行目: 構文が正しくない（行末）"},
        {"IF x THEN\n  y = 1\n", "1行目: END IFがない"},
        {"x = 1\nWEND", "2行目: 対応するWHILEがない"},
        {"FOR i = 1 TO 3\nNEXT j", "2行目: 構文が正しくない（NEXT）"},
        {"WHILE x\n  EXIT FOR\nWEND", "2行目: FORの外でEXITした"},
        {"x = 1\n\nx = FOO(1)", "3行目: そんな関数はない（FOO）"},
        {"x = MID(\"a\")", "1行目: 引数の数が違う（MID）"},
        {"x = \"open", "1行目: 構文が正しくない（文字列が閉じていない）"},
        {"x = 1 ＋ 2", "1行目: 構文が正しくない（＋）"},
        {"IF = 3", "1行目: 構文が正しくない（=）"},
        {"x = 0\ny = 5 / x", "2行目: 0で割った"},
        {"y = \"abc\" * 2", "1行目: 数値でない（abc）"},
        {"y = 9223372036854775807 + 1", "1行目: 数値が大きすぎる"},
        {"y = CHR(55296)", "1行目: 文字コードが正しくない（55296）"},
        {"FOR i = 1 TO 2 STEP 0\nNEXT", "1行目: STEPが0"},
    };
    for (const auto &[script, message] : cases)
        EXPECT_EQ(ErrorOf(QString::fromUtf8(script)).Message, QString::fromUtf8(message)) << script;
}

TEST(RuroBasTest, HostileScriptsStopCleanly)
{
    const QString tooManySteps = QStringLiteral("実行ステップ数が上限を超えた");
    EXPECT_EQ(ErrorOf(QStringLiteral("WHILE TRUE\nWEND")).Reason, tooManySteps);
    EXPECT_EQ(ErrorOf(QStringLiteral("FOR i = 1 TO 9000000000000\n  x = i\nNEXT")).Reason, tooManySteps);
    // a counter pushed back by the body never ends by itself
    EXPECT_EQ(ErrorOf(QStringLiteral("FOR i = 1 TO 2\n  i = 0\nNEXT")).Reason, tooManySteps);
    // big texts searched again and again cost as much as they are long
    EXPECT_EQ(ErrorOf(QStringLiteral("s = \"a\"\nWHILE LEN(s) < 500000\n  s = s & s\nWEND\n"
                                     "WHILE TRUE\n  n = INSTR(s, \"b\")\nWEND")).Reason, tooManySteps);

    const QString tooLong = QStringLiteral("文字列が長すぎる");
    EXPECT_EQ(ErrorOf(QStringLiteral("s = \"xy\"\nWHILE TRUE\n  s = s & s\nWEND")).Reason, tooLong);
    EXPECT_EQ(ErrorOf(QStringLiteral("s = \"a\"\nFOR i = 1 TO 10\n  s = REPLACE(s, \"a\", \"aaaaaaaaaaaaaaaa\")\nNEXT")).Reason, tooLong);

    // many big texts together fill the variables' store
    EXPECT_EQ(ErrorOf(QStringLiteral("s = \"ab\"\nWHILE LEN(s) < 1000000\n  s = s & s\nWEND\n"
                                     "a = s\nb = s\nc = s\nd = s\ne = s\nf = s\ng = s\nh = s\nk = s")).Reason,
              QStringLiteral("変数の文字列が合計で大きすぎる"));

    const QString tooDeep = QStringLiteral("入れ子が深すぎる");
    EXPECT_EQ(ErrorOf(QStringLiteral("x = ") + QString(5000, QLatin1Char('(')) + QStringLiteral("1")).Reason, tooDeep);
    EXPECT_EQ(ErrorOf(QStringLiteral("x = ") + QString(5000, QLatin1Char('-')) + QStringLiteral("1")).Reason, tooDeep);
    EXPECT_EQ(ErrorOf(QStringLiteral("x = ") + QString(5000, QLatin1Char('N')).replace(QLatin1String("N"), QLatin1String("NOT ")) + QStringLiteral("1")).Reason, tooDeep);
    QStringList nested;
    for (int i = 0; i < 200; ++i)
        nested << QStringLiteral("IF TRUE THEN");
    for (int i = 0; i < 200; ++i)
        nested << QStringLiteral("END IF");
    EXPECT_EQ(ErrorOf(nested.join(QLatin1Char('\n'))).Reason, tooDeep);
    // a long chain of operators would nest as deep when it runs
    EXPECT_EQ(ErrorOf(QStringLiteral("x = 1") + QStringLiteral(" + 1").repeated(100000)).Reason,
              QStringLiteral("式が長すぎる"));
    EXPECT_EQ(Eval(QStringLiteral("1") + QStringLiteral(" + 1").repeated(400)), QStringLiteral("401"));

}

TEST(RuroBasTest, RunsAgainAfterAnError)
{
    TRuroBas bas;
    bas.SetSource({QStringLiteral("IF d = \"bad\" THEN x = 1 / 0"), QStringLiteral("r = d")});
    bas.SetVariable(QStringLiteral("d"), QStringLiteral("bad"));
    EXPECT_THROW(bas.Run(), ERuroBasError);
    bas.SetVariable(QStringLiteral("d"), QStringLiteral("good"));
    bas.Run();
    EXPECT_EQ(bas.GetString(QStringLiteral("r")), QStringLiteral("good"));
    // the step count starts anew with every run
    bas.SetSource({QStringLiteral("FOR i = 1 TO 600000"), QStringLiteral("NEXT")});
    bas.Run();
    bas.Run();
    EXPECT_EQ(bas.GetString(QStringLiteral("i")), QStringLiteral("600000"));
}
