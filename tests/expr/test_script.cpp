#include "exprtestutil.h"

#include "expr/script.h"
#include "expr/services.h"
#include "expr/variablestore.h"

using namespace cm;
using namespace cm::test;

namespace {

class ScriptTest : public ExprTest {
protected:
    EvResult run(const QStringList& lines, const QString& component = QStringLiteral("Detail"),
                 const QString& event = QStringLiteral("BeforePrint"))
    {
        runner.setScript(lines);
        return runner.RunScript(component, event);
    }
    QString var(const char* name) const
    {
        const auto* v = variables.find(QString::fromLatin1(name));
        return v ? describe(v->value) : QStringLiteral("missing");
    }
    VariableStore variables;
    ScopedVariables installed{variables};
    ScriptRunner runner;
};

TEST_F(ScriptTest, BandConditionOnAVariable)
{
    const QStringList script{"[Detail.BeforePrint]", "IF (GETVAR('n') > 2)", "RETURN(FALSE)", "ENDIF"};
    variables.set(QStringLiteral("n"), EvResult::integer(3));
    EXPECT_TRUE(scriptVetoes(run(script)));
    variables.set(QStringLiteral("n"), EvResult::integer(2));
    EXPECT_FALSE(scriptVetoes(run(script)));
    EXPECT_TRUE(runner.lastError().isEmpty());
    variables.remove(QStringLiteral("n"));
    EXPECT_TRUE(run(script).isError());
    EXPECT_EQ(runner.lastError(),
              QStringLiteral("Script error on line 1: Invalid IF statement\nLine 1: \"IF (GETVAR('n') > 2)\""));
}

TEST_F(ScriptTest, LastReturnWinsAndRunGoesOn)
{
    const EvResult r = run({"[Detail.BeforePrint]", "RETURN(TRUE)", "RETURN(FALSE)", "SETVAR('after', 1)"});
    EXPECT_EQ(describe(r), QStringLiteral("Boolean:False"));
    EXPECT_EQ(var("after"), QStringLiteral("Integer:1"));
}

TEST_F(ScriptTest, ScriptErrorsQuoteTheStoredLine)
{
    struct Case {
        QStringList lines;
        const char* error;
    } cases[] = {
        {{"x", "[Detail.BeforePrint]", "  IF (5);  "}, "Script error on line 2: Invalid IF statement\nLine 2: \"  IF (5);  \""},
        {{"[Detail.BeforePrint]", "ENDIF"}, "Script error on line 1: ENDIF without IF\nLine 1: \"ENDIF\""},
        {{"[Detail.BeforePrint]", "ENDLOOP"}, "Script error on line 1: ENDLOOP without LOOP\nLine 1: \"ENDLOOP\""},
        {{"[Detail.BeforePrint]", "ELSE"}, "Script error on line 1: ELSE without IF\nLine 1: \"ELSE\""},
        {{"[Detail.BeforePrint]", "BREAK"}, "Script error on line 1: BREAK outside of LOOP or IF block\nLine 1: \"BREAK\""},
        {{"[Detail.BeforePrint]", "IF (TRUE)", "BREAKLOOP", "ENDIF"},
         "Script error on line 2: BREAKLOOP outside of LOOP block\nLine 2: \"BREAKLOOP\""},
        {{"[Detail.BeforePrint]", "IF  (1 = 1)", "SETVAR('ran', 1)", "ENDIF"},
         "Script error on line 3: ENDIF without IF\nLine 3: \"ENDIF\""},
    };
    for (const Case& c : cases) {
        run(c.lines);
        EXPECT_EQ(runner.lastError(), QString::fromUtf8(c.error)) << c.lines.join(u'|').toStdString();
    }
    EXPECT_EQ(var("ran"), QStringLiteral("Integer:1"));   // the malformed IF line did not guard it
}

TEST_F(ScriptTest, ErrorTextIsCutTo255Characters)
{
    run({"[Detail.BeforePrint]", QStringLiteral("ENDIF // ") + QString(400, u'x')});
    EXPECT_EQ(runner.lastError(), QString());   // "ENDIF // ..." is a formula, not ENDIF
    run({"[Detail.BeforePrint]", QStringLiteral("IF (") + QString(400, u'x') + u')'});
    EXPECT_EQ(runner.lastError().size(), 255);
}

TEST_F(ScriptTest, IfElseNestingAndSkips)
{
    const QStringList script{
        "[Detail.BeforePrint]",
        "IF (FALSE)",
        "  IF (TRUE)",
        "    SETVAR('a', 1)",
        "  ELSE",
        "    SETVAR('a', 2)",
        "  ENDIF",
        "ELSE",
        "  SETVAR('b', 3)",
        "ENDIF",
        "IF (TRUE)",
        "  SETVAR('c', 4)",
        "ELSE",
        "  SETVAR('c', 5)",
        "ENDIF",
        "IF (TRUE)",
        "  BREAK",
        "  SETVAR('d', 6)",
        "ENDIF",
        "RETURN(GETVAR('b') + GETVAR('c'))",
    };
    EXPECT_EQ(describe(run(script)), QStringLiteral("Integer:7"));
    EXPECT_EQ(var("a"), QStringLiteral("missing"));
    EXPECT_EQ(var("d"), QStringLiteral("missing"));
    EXPECT_TRUE(runner.lastError().isEmpty());
}

TEST_F(ScriptTest, LoopWithBreakloopRunsTenTimes)
{
    const QStringList script{"[Detail.AfterPrint]",
                             "SETVAR('i', 0)",
                             "LOOP",
                             "SETVAR('i', GETVAR('i') + 1)",
                             "IF (GETVAR('i') >= 10)",
                             "BREAKLOOP",
                             "ENDIF",
                             "ENDLOOP",
                             "ENDIF"};   // reached with an empty block stack
    run(script, QStringLiteral("Detail"), QStringLiteral("AfterPrint"));
    EXPECT_EQ(var("i"), QStringLiteral("Integer:10"));
    EXPECT_EQ(runner.lastError(), QStringLiteral("Script error on line 8: ENDIF without IF\nLine 8: \"ENDIF\""));
}

TEST_F(ScriptTest, BreakLeavesTheLoopDirectly)
{
    run({"[R.StartPage]", "LOOP", "SETVAR('k', 1)", "BREAK", "SETVAR('k', 2)", "ENDLOOP", "SETVAR('done', TRUE)"},
        QStringLiteral("R"), QStringLiteral("StartPage"));
    EXPECT_EQ(var("k"), QStringLiteral("Integer:1"));
    EXPECT_EQ(var("done"), QStringLiteral("Boolean:True"));
}

TEST_F(ScriptTest, EndlessLoopCanBeCancelled)
{
    int checks = 0;
    runner.setCancelCheck([&] { return ++checks > 1000; });
    const EvResult r = run({"[Detail.BeforePrint]", "RETURN(TRUE)", "LOOP", "COUNTER", "ENDLOOP"});
    EXPECT_TRUE(runner.lastRunCancelled());
    EXPECT_EQ(describe(r), QStringLiteral("Boolean:True"));
}

TEST_F(ScriptTest, SectionsHeadersAndQuirks)
{
    const QStringList script{"SETVAR('before', 1)",
                             "[Detail. BeforePrint]",
                             "SETVAR('blank', 1)",
                             "[Detail.BeforePrint]",
                             "// RETURN(FALSE)",
                             "x := 5",
                             "IF(TRUE, SETVAR('fn', 1), 0)",
                             "Return(TRUE);",
                             "EXIT;",
                             "SETVAR('afterExit', 1)",
                             "[not a header",
                             "SETVAR('next', 1)"};
    EXPECT_EQ(describe(run(script)), QStringLiteral("Boolean:True"));
    EXPECT_EQ(var("before"), QStringLiteral("missing"));
    EXPECT_EQ(var("blank"), QStringLiteral("missing"));
    EXPECT_EQ(var("fn"), QStringLiteral("Integer:1"));
    EXPECT_EQ(var("afterExit"), QStringLiteral("missing"));
    EXPECT_TRUE(runner.lastError().isEmpty());

    EXPECT_TRUE(run({"[Detail.BeforePrint]", "[Band.AfterPrint]", "RETURN(FALSE)"}).isError());   // empty section
    EXPECT_TRUE(run({"[Other.BeforePrint]", "RETURN(FALSE)"}).isError());                       // no section
    runner.setEnabled(false);
    EXPECT_TRUE(run({"[Detail.BeforePrint]", "RETURN(FALSE)"}).isError());
}

TEST_F(ScriptTest, LinesUpToTheNextBracketBelongToTheSection)
{
    run({"[Detail.BeforePrint]", "SETVAR('one', 1)", "", "SETVAR('two', 2)", "[x", "SETVAR('three', 3)"});
    EXPECT_EQ(var("two"), QStringLiteral("Integer:2"));
    EXPECT_EQ(var("three"), QStringLiteral("missing"));
}

TEST_F(ScriptTest, VariablesLiveAcrossRunsAndIgnoreCase)
{
    run({"[R.BeforePrint]", "SETVAR('Total', 5)"}, QStringLiteral("R"));
    EXPECT_EQ(evaluate(QStringLiteral("GETVAR('total')")), QStringLiteral("Integer:5"));
    EXPECT_EQ(evaluate(QStringLiteral("VAREXISTS('TOTAL')")), QStringLiteral("Boolean:True"));
    EXPECT_EQ(evaluate(QStringLiteral("DELETEVAR('Total')")), QStringLiteral("Boolean:True"));
    EXPECT_EQ(evaluate(QStringLiteral("DELETEVAR('Total')")), QStringLiteral("Boolean:False"));
    EXPECT_EQ(evaluate(QStringLiteral("GETVAR('Total')")), QStringLiteral("Error:"));
    EXPECT_EQ(evaluate(QStringLiteral("SETVAR('e', 1/0)")), QStringLiteral("Error:"));
}

} // namespace
