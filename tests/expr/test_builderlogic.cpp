// The formula test and the script sections behind the expression builder
// and the script editor.
#include "exprtestutil.h"
#include "memorydataset.h"

#include "expr/environment.h"
#include "expr/formulacheck.h"
#include "expr/scriptsections.h"

using namespace cm;
using namespace cm::test;

namespace {

TEST_F(ExprTest, ValidateShowsTheResultOrTheError)
{
    MemoryDataSet log(QStringLiteral("Tbl"), {fieldDef(QStringLiteral("CALL"), FieldType::String, 12),
                                              fieldDef(QStringLiteral("BAND"), FieldType::Integer)});
    log.addRecord({QStringLiteral("S51ABC"), 20});
    log.addRecord({QStringLiteral("DL1XYZ"), 40});
    log.next();   // the current record is the second
    DataSetList sets{&log};
    auto local = makeReportEnvironment();
    local->Add(QStringLiteral("DOUBLEBAND"), QStringLiteral("Tbl.BAND * 2"));
    local->SetDataSets(&sets);
    struct Case {
        const char* formula;
        const char* shown;
    } cases[] = {
        {"Tbl.CALL + '!'", "There are no errors. The result is : DL1XYZ!"},
        {"BAND\r\n + 1", "There are no errors. The result is : 41"},
        {"DOUBLEBAND + [PAGENUMBER]", "There are no errors. The result is : 80"},
        {"1 = 1", "There are no errors. The result is : True"},
        {"1.5", "There are no errors. The result is : 1.5"},
        {"''", "ERROR: "},
        {"7/0", "ERROR: Cannot divide by 0"},
        {"NOSUCHNAME", "ERROR: Unknown function : NOSUCHNAME"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(validateFormula(QString::fromLatin1(c.formula), &sets, local.get()), QString::fromLatin1(c.shown))
            << c.formula;
    // Both environments are back to unprepared.
    EXPECT_FALSE(local->Prepared());
    EXPECT_FALSE(globalEnvironment().Prepared());
}

TEST_F(ExprTest, FormulaFaultNamesTheFirstFaultWithoutRunningTheFormula)
{
    MemoryDataSet log(QStringLiteral("Tbl"), {fieldDef(QStringLiteral("CALL"), FieldType::String, 12)});
    log.addRecord({QStringLiteral("S51ABC")});
    DataSetList sets{&log};
    auto local = makeReportEnvironment();
    struct Case {
        const char* formula;
        const char* fault;              // with names that must resolve
        const char* faultWithoutNames;  // a bare unknown name may be a field of a closed table
    } cases[] = {
        {"Tbl.CALL + '!'", "", ""},
        {"UPPER(Tbl.CALL) + [PAGENUMBER]", "", ""},
        {"", "", ""},
        {"7/0", "", ""},   // a fault of the value, not of the formula
        {"IF(1 = 1, 'a', 'b'", "Unknown function : ", "Unknown function : "},   // the call is not closed
        {"Tbl.CALL Tbl.CALL", "Unknown function : Tbl.CALL Tbl.CALL", "Unknown function : Tbl.CALL Tbl.CALL"},
        {"(1 + 2", "Missing )", "Missing )"},
        {"'abc", "Missing '", "Missing '"},
        {"NOSUCHFN(1)", "Unknown function : NOSUCHFN", "Unknown function : NOSUCHFN"},
        {"1 + ", "Error in expression : ", "Error in expression : "},
        {"Tbl.CALX", "Unknown function : Tbl.CALX", ""},
        {"UPPER(NOSUCHNAME)", "Unknown function : NOSUCHNAME", ""},
    };
    for (const Case& c : cases) {
        const QString formula = QString::fromLatin1(c.formula);
        EXPECT_EQ(formulaFault(formula, &sets, local.get(), true), QString::fromLatin1(c.fault)) << c.formula;
        EXPECT_EQ(formulaFault(formula, &sets, local.get(), false), QString::fromLatin1(c.faultWithoutNames))
            << c.formula;
    }
    EXPECT_FALSE(globalEnvironment().Prepared());
}

TEST(FormulaLines, LineBreaksAreRemoved)
{
    EXPECT_EQ(joinFormulaLines(QStringLiteral("UPPER(\r\n'a'\r\n)")), QStringLiteral("UPPER('a')"));
    EXPECT_EQ(joinFormulaLines(QStringLiteral("1 +\n2\n+ 3")), QStringLiteral("1 +2+ 3"));
    EXPECT_EQ(joinFormulaLines(QStringLiteral("a\rxb")), QStringLiteral("ab"));   // CR takes the next character
}

TEST(ScriptSections, ReadAndReplaceSections)
{
    QStringList script{QStringLiteral("; notes"),           QStringLiteral("[CardReport.BeforePrint]"),
                       QStringLiteral("SETVAR('a', 1)"),    QStringLiteral("[DetailBand1.BeforePrint]"),
                       QStringLiteral("RETURN TRUE"),       QStringLiteral("[CardReport.AfterPrint]"),
                       QStringLiteral("SETVAR('b', 2)")};
    EXPECT_EQ(scriptSectionBody(script, QStringLiteral("DetailBand1"), QStringLiteral("BeforePrint")),
              QStringList{QStringLiteral("RETURN TRUE")});
    EXPECT_TRUE(scriptSectionBody(script, QStringLiteral("DetailBand1"), QStringLiteral("AfterPrint")).isEmpty());

    // A section with lines moves to the end; an emptied one disappears.
    replaceScriptSection(script, QStringLiteral("CardReport"), QStringLiteral("BeforePrint"),
                         {QStringLiteral("IF 1 = 1"), QStringLiteral("ENDIF")});
    replaceScriptSection(script, QStringLiteral("CardReport"), QStringLiteral("AfterPrint"), {});
    EXPECT_EQ(script, (QStringList{QStringLiteral("; notes"), QStringLiteral("[DetailBand1.BeforePrint]"),
                                   QStringLiteral("RETURN TRUE"), QStringLiteral("[CardReport.BeforePrint]"),
                                   QStringLiteral("IF 1 = 1"), QStringLiteral("ENDIF")}));

    EXPECT_TRUE(textLines(QString()).isEmpty());
    EXPECT_EQ(textLines(QStringLiteral("a\nb\n")), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(textLines(QStringLiteral("a\n\nb")), (QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")}));
}

TEST(Environment, RenameAndNewFormula)
{
    TQREvEnvironment env;
    env.Add(QStringLiteral("one"), QStringLiteral("1"));
    env.Add(QStringLiteral("two"), QStringLiteral("2"));
    EXPECT_TRUE(env.RenameAt(0, QStringLiteral("first")));
    EXPECT_EQ(env.NameAt(0), QStringLiteral("FIRST"));
    EXPECT_FALSE(env.RenameAt(0, QStringLiteral("Two")));   // the other entry keeps its name
    EXPECT_TRUE(env.SetFormulaAt(1, QStringLiteral("3")));
    env.Prepare();
    EXPECT_EQ(describe(env.ValueOf(QStringLiteral("TWO"))), QStringLiteral("Integer:3"));
    EXPECT_FALSE(env.SetFormulaAt(1, QStringLiteral("4")));   // not while prepared
    env.Unprepare();
    EXPECT_EQ(env.FormulaAt(1), QStringLiteral("3"));
}

} // namespace
