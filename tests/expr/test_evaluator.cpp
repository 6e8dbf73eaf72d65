#include "exprtestutil.h"
#include "memorydataset.h"

#include "expr/environment.h"

#include <QDateTime>

using namespace cm;
using namespace cm::test;

namespace {

struct Case {
    const char* formula;
    const char* expected;   // "Kind:text"
};

class FormulaTable : public ExprTest, public ::testing::WithParamInterface<Case> {};

TEST_P(FormulaTable, EvaluatesToKindAndText)
{
    const Case& c = GetParam();
    EXPECT_EQ(evaluate(QString::fromUtf8(c.formula)), QString::fromUtf8(c.expected)) << c.formula;
}

const Case kParsing[] = {
    {"", "String: "},
    {"1+2*3", "Integer:7"},
    {"10-4-3", "Integer:3"},
    {"10-4+3", "Integer:9"},
    {"8/4/2", "Float:1"},
    {"8/4*2", "Float:4"},
    {"7/2", "Float:3.5"},
    {"7/0", "Error:Cannot divide by 0"},
    {"7.0/0.0", "Error:Cannot divide by 0"},
    {"-5", "Integer:-5"},
    {"2*-5", "Error:Illegal character in numeric contant \"2*\""},
    {"2*(-5)", "Integer:-10"},
    {"1e5", "Float:100000"},
    {"1e-5", "Error:Illegal character in numeric contant \"1e\""},
    {"12abc", "Error:Illegal character in numeric contant \"12abc\""},
    {"1.2.3", "Error:Illegal character in numeric contant \"1.2.3\""},
    {"99999999999", "Float:99999999999"},
    {"2147483647+1", "Integer:-2147483648"},
    {"'a' < 'B'", "Boolean:False"},
    {"'abc' = 'abc '", "Boolean:False"},
    {"'ab' < 'abc'", "Boolean:True"},
    {"'abc' <> 'abd'", "Boolean:True"},
    {"TRUE + FALSE", "Error:Cannot add boolean expressions"},
    {"TRUE + 1", "String:True1"},
    {"1 + 'A'", "String:1A"},
    {"1 = TRUE", "Boolean:False"},
    {"1 = 1.0", "Boolean:True"},
    {"'a' - 'b'", "Error:Cannot subtract string expressions"},
    {"'a' * 'b'", "Error:Cannot multiply string expressions"},
    {"'a' / 'b'", "Error:Cannot divide string expressions"},
    {"TRUE < FALSE", "Error:Operator < is not compatible with boolean expressions"},
    {"1.5 or 2.5", "Error:Operator OR is not compatible with numeric expressions"},
    {"'a' and 'b'", "Error:Operator AND is not compatible with string expressions"},
    {"6 and 3", "Integer:2"},
    {"6 or 3", "Integer:7"},
    {"TRUE and FALSE", "Boolean:False"},
    {"FALSE OR TRUE", "Boolean:True"},
    {"(TRUE)or(FALSE)", "Error:Unknown function : "},
    {"not TRUE", "Boolean:False"},
    {"not 5", "Error:Invalid use of NOT"},
    {"NOTES", "Error:Unknown function : ES"},
    {"[NOTES]", "Error:Unknown function : NOTES"},
    {"TRUE = FALSE = TRUE", "Error:Unknown function : FALSE = TRUE"},
    {"IF (TRUE, 1, 2)", "Error:Unknown function : IF "},
    {"FOO()", "Error:Unknown function : FOO"},
    {"FOO(1)", "Error:Unknown function : FOO"},
    {"'abc", "Error:Missing '"},
    {"'", "String:"},
    {"''", "String:"},
    {"'it''s'", "String:it''s"},
    {"(1+2", "Error:Missing )"},
    {"[abc", "Error:Missing ]"},
    {"#", "Error:Error in expression : #"},
    {"1+", "Error:Illegal character in numeric contant \"1+\""},
    {"(1+2)*3", "Integer:9"},
    {"-(2+3)", "Integer:-5"},
    {"+7", "Integer:7"},
    {"1.5+1", "Float:2.5"},
    {"0.1+0.2", "Float:0.3"},
    {"1/3", "Float:0.333333333333333"},
    {"0.000001", "Float:1E-6"},
    {"1000000000000000.0*10", "Float:1E16"},
    {"'Error ' + (1/0)", "Error:Cannot divide by 0"},
    {"(1/0) + (2/0)", "Error:Cannot divide by 0"},
    {"TYPEOF([AppName])", "String:STRING"},
    {"TYPEOF(AppStartDate)", "String:STRING"},
    {"TYPEOF([AppStartTime])", "String:STRING"},
};
INSTANTIATE_TEST_SUITE_P(Parsing, FormulaTable, ::testing::ValuesIn(kParsing));

const Case kStandard[] = {
    {"IF(1, 'a', 'b')", "Error:Wrong arguments for IF"},
    {"IF(TRUE, 1, 'x')", "Integer:1"},
    {"IF(FALSE, 1, 'x')", "String:x"},
    {"IF(TRUE, 1)", "Error:Wrong arguments for IF"},
    {"IF(2 > 1, 'DX', '')", "String:DX"},
    {"STR('abc')", "Error:Conversion error"},
    {"STR(2.5)", "String:2.5"},
    {"STR(TRUE)", "String:True"},
    {"STR(-12)", "String:-12"},
    {"UPPER(5)", "Error:Wrong arguments for UPPER"},
    {"UPPER()", "Error:Missing argument for UPPER"},
    {"UPPER('dl1abc')", "String:DL1ABC"},
    {"UPPER(1/0)", "Error:Cannot divide by 0"},
    {"LOWER('ABC')", "String:abc"},
    {"PRETTY('hELLO wORLD')", "String:Hello world"},
    {"PRETTY('')", "String:"},
    {"COPY('abcdef', 0, 2)", "String:ab"},
    {"COPY('abcdef', 3, 2)", "String:cd"},
    {"COPY('abc', 5, 2)", "String:"},
    {"COPY('abc', 2,-1)", "String:"},
    {"COPY('abc', 2, -1)", "Error:"},   // a blank before the sign makes it a subtraction
    {"COPY('abc', 2, 100)", "String:bc"},
    {"COPY('abc', 2)", "Error:"},
    {"INT(-2.7)", "Integer:-2"},
    {"INT(5)", "Integer:5"},
    {"INT('x')", "Error:Wrong arguments for INT"},
    {"INT(1e20)", "Error:Wrong arguments for INT"},
    {"FRAC(-2.75)", "Float:-0.75"},
    {"FRAC(3)", "Float:0"},
    {"DIV(7, 2)", "Integer:3"},
    {"DIV(-7, 2)", "Integer:-3"},
    {"DIV(7.5, 2)", "Integer:4"},
    {"DIV(6.5, 2)", "Integer:3"},
    {"DIV(1, 0)", "Error:Division by Zero"},
    {"DIV(1)", "Error:Wrong arguments for DIV"},
    {"SQRT(-1)", "Error:Invalid argument to SQRT function"},
    {"SQRT(16)", "Float:4"},
    {"TYPEOF(1/2)", "String:FLOAT"},
    {"TYPEOF(UPPER(5))", "String:ERROR"},
    {"TYPEOF(1)", "String:INTEGER"},
    {"TYPEOF(TRUE)", "String:BOOLEAN"},
    {"TRUE(1)", "Error:Too many arguments"},
    {"COUNT(1)", "Error:COUNT - Too many arguments"},
    {"COUNT", "Integer:0"},
    {"SUM(5)", "Integer:0"},
    {"AVERAGE(5)", "Integer:0"},
    {"FORMATNUMERIC('0.00', 3.14159)", "String:3.14"},
    {"FORMATNUMERIC(',0', 1234567)", "String:1,234,567"},
    {"FORMATNUMERIC('0.00', 'x')", "Error:"},
    {"FORMATNUMERIC('0', 1e300*1e300)", "Error:Invalid format or value specified"},
};
INSTANTIATE_TEST_SUITE_P(Standard, FormulaTable, ::testing::ValuesIn(kStandard));

const Case kDesigner[] = {
    {"PADLEFT('7', 3)", "String:  7"},
    {"PADLEFTZERO(7, 3)", "String:007"},
    {"PADLEFTZERO('42', 1)", "String:42"},
    {"PADRIGHT('abc', 2)", "String:abc"},
    {"PADRIGHT('ab', 4) + '|'", "String:ab  |"},
    {"STRETCHSTR('ABC', 1)", "String:A B C"},
    {"STRETCHSTR('AB', 0)", "String:AB"},
    {"TRIM('  a b  ')", "String:a b"},
    {"STRLEN('hello')", "Integer:5"},
    {"CHR(321)", "String:A"},
    {"ABS(-3)", "Integer:3"},
    {"ABS(-2.5)", "Float:2.5"},
    {"ABS('x')", "Error:"},
    {"ABS(-2147483647-1)", "Integer:-2147483648"},
    {"INSERTSTR('Page %s', '2')", "String:Page 2"},
    {"INSERTSTR('%d', 'x')", "Error:"},
    {"INSERTSTR('%s and %s', 'x')", "Error:"},
    {"INSERTSTR('100%% %s', 'x')", "String:100% x"},
    {"INSERTSTR('[%5s]', 'x')", "String:[    x]"},
    {"INSERTSTR('[%-3s]', 'x')", "String:[x  ]"},
    {"INSERTSTR('%n', 'x')", "Error:"},
    {"STRLEN(INSERTSTR('%999999999s', 'x'))", "Integer:255"},
    {"INSERTSTR('%1:s', 'x')", "Error:"},
    {"INSERTSTR('50%', 'x')", "Error:"},
    {"RGBCOLOR(255, 0, 0) = RED", "Boolean:True"},
    {"RGBCOLOR(0, 128, 255)", "Integer:16744448"},
    {"RGBCOLOR(256, 0, 0)", "Error:"},
    {"SILVER", "Integer:12632256"},
    {"RECORDCOUNT('Tbl')", "Error:"},
    {"QUERYPARAM('Q', 'P')", "Error:"},
    {"RESETEXPR(5)", "String:"},
    {"STRTONUM('')", "Float:0"},
    {"STRTONUM('2.5')", "Float:2.5"},
    {"STRTONUM('x')", "Error:"},
    {"STRTOINT('42')", "Integer:42"},
    {"STRTOINT('-$10')", "Integer:-16"},
    {"STRTOINT('4.2')", "Error:"},
    {"STRTOINT('99999999999')", "Error:"},
    {"VAR(1)", "Error:"},
    {"CURRENCY", "String:$"},
    {"DAYOFWEEK('1/1/2000')", "Integer:7"},
    {"EXTRACTDAY('3/17/2001')", "Integer:17"},
    {"EXTRACTMONTH('3/17/2001')", "Integer:3"},
    {"EXTRACTYEAR('3/17/2001')", "Integer:2001"},
    {"EXTRACTYEAR('not a date')", "Error:"},
    {"DAYSTRING(1)", "String:Sunday"},
    {"DAYSTRING(8)", "Error:"},
    {"MONTHSTRING(12)", "String:December"},
    {"MONTHSTRING(0)", "Error:"},
    {"CALCDATE('1/31/2001', 0, 1, 0)", "String:3/3/2001"},
    {"CALCDATE('3/15/2001', 0, (-14), 0)", "String:1/15/2000"},
    {"CALCDATE('12/31/1999', 1, 0, 0)", "String:1/1/2000"},
    {"CALCDATE('2/29/2000', 0, 0, 1)", "String:3/1/2001"},
    {"CALCTIME('10:59:30', 0, 0, 30)", "String:11:00:00 AM"},
    {"CALCTIME('23:59:59', 0, 0, 1)", "String:12:00:00 AM"},
    {"CALCTIME('1:00:00 PM',-2, 0, 0)", "String:11:00:00 AM"},
    {"DATEDIFF('1/1/2000', '3/1/2000')", "Float:60"},
    {"REFORMATDATE('3/7/2001', 'yyyy-mm-dd')", "String:2001-03-07"},
    {"REFORMATDATE('3/7/2001 14:05:00', 'dddd d mmmm yy hh:nn')", "String:Wednesday 7 March 01 14:05"},
    {"ELEMENTEXISTS('Label1')", "Boolean:False"},
    {"GETSTRPROP('Label1', 'Caption')", "Error:"},
    {"SETFONTCOLOR('Label1', RED)", "Boolean:False"},
    {"NEWPAGE", "Error:"},
    {"PAGENUMBER", "Error:"},
    {"OKCANCELBOX('Print?')", "Boolean:False"},
    {"YESNOBOX('Print?')", "Boolean:False"},
    {"INPUTBOX('T', 'P', 'answer')", "Boolean:False"},
};
INSTANTIATE_TEST_SUITE_P(Designer, FormulaTable, ::testing::ValuesIn(kDesigner));

TEST_F(ExprTest, LongTextsAreCutTo255Characters)
{
    const QString longLiteral = QLatin1Char('\'') + QString(300, u'x') + QLatin1Char('\'');
    TQREvaluator ev;
    EvResult r = ev.Calculate(longLiteral);
    EXPECT_EQ(r.strResult.size(), 255);
    r = ev.Calculate(QStringLiteral("PADRIGHT('a', 200) + PADRIGHT('b', 200)"));
    EXPECT_EQ(r.strResult.size(), 255);
    // Characters, not UTF-16 units: a character outside the BMP is kept whole.
    const QString emoji = QString::fromUtf8("\xF0\x9F\x93\xBB");   // two UTF-16 units
    QString text;
    for (int i = 0; i < 300; ++i) text += emoji;
    cutResultText(text);
    EXPECT_EQ(text.size(), 510);
}

TEST_F(ExprTest, ValueToTextOfAnErrorRaises)
{
    EXPECT_THROW(ValueToText(EvResult::error(QStringLiteral("x"))), EvaluatorException);
    try {
        ValueToText(EvResult::error(QStringLiteral("boom")));
    } catch (const EvaluatorException& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Error in expression : boom"));
    }
}

TEST_F(ExprTest, ValueOnAnUnpreparedEvaluatorRaises)
{
    TQREvaluator ev;
    EXPECT_THROW(ev.Value(), EvaluatorException);
    ev.Prepare(u"1");
    ev.Unprepare();
    EXPECT_THROW(ev.Value(), EvaluatorException);
    EXPECT_FALSE(ev.Prepared());
}

TEST_F(ExprTest, FloatsUseTheLocaleDecimalSeparator)
{
    FormatSettings german;
    german.decimalSeparator = u',';
    FormatSettings::setCurrent(german);
    EXPECT_EQ(evaluate(QStringLiteral("STR(2.5)")), QStringLiteral("String:2,5"));
    EXPECT_EQ(evaluate(QStringLiteral("1.25 + 1")), QStringLiteral("Float:2,25"));
    EXPECT_EQ(evaluate(QStringLiteral("STRTONUM('2,5')")), QStringLiteral("Float:2,5"));
    EXPECT_EQ(evaluate(QStringLiteral("STRTONUM('2.5')")), QStringLiteral("Error:"));
}

TEST_F(ExprTest, DeeplyNestedFormulasFailCleanly)
{
    const QString deep = QString(5000, u'(') + QStringLiteral("1") + QString(5000, u')');
    EXPECT_TRUE(evaluate(deep).startsWith(QStringLiteral("Error:Error in expression")));
    QString chain = QStringLiteral("1");
    for (int i = 0; i < 2000; ++i) chain += QStringLiteral("+1");
    EXPECT_TRUE(evaluate(chain).startsWith(QStringLiteral("Error:")));
}

// ---- data fields

class DataFieldTest : public ExprTest {
protected:
    DataFieldTest()
        : log(QStringLiteral("Tbl"),
              {fieldDef(QStringLiteral("Call"), FieldType::String, 12),
               fieldDef(QStringLiteral("Cq"), FieldType::SmallInt),
               fieldDef(QStringLiteral("Freq"), FieldType::Float),
               fieldDef(QStringLiteral("QslSent"), FieldType::Boolean),
               fieldDef(QStringLiteral("Datum"), FieldType::Date),
               fieldDef(QStringLiteral("Gmt"), FieldType::Time),
               fieldDef(QStringLiteral("Stamp"), FieldType::DateTime),
               fieldDef(QStringLiteral("Notes"), FieldType::Memo),
               fieldDef(QStringLiteral("Op-Name"), FieldType::String)}),
          other(QStringLiteral("Other"), {fieldDef(QStringLiteral("Call"), FieldType::String)})
    {
        log.addRecord({QStringLiteral("DL1ABC"), 14, 14.074, true, QDateTime(QDate(2001, 3, 7), QTime(0, 0)),
                       QDateTime(QDate(1899, 12, 30), QTime(13, 5, 9)), QDateTime(QDate(2001, 3, 7), QTime(0, 0)),
                       QStringLiteral("memo"), QStringLiteral("Hans")});
        log.addRecord({QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(),
                       QVariant()});
        other.addRecord({QStringLiteral("OTHER")});
        sets = {&other, &log};
    }
    test::MemoryDataSet log;
    test::MemoryDataSet other;
    DataSetList sets;
};

TEST_F(DataFieldTest, FieldsReadByTypeAndName)
{
    const Case cases[] = {
        {"[Call]", "String:OTHER"},   // the first data set in list order
        {"[tbl.call]", "String:DL1ABC"},
        {"[TBL.CQ] > 20", "Boolean:False"},
        {"IF([Cq] > 10, 'DX', '')", "String:DX"},
        {"Cq * 2", "Integer:28"},
        {"[Freq]", "Float:14.074"},
        {"[QslSent]", "Boolean:True"},
        {"[Datum]", "String:3/7/2001"},
        {"[Gmt]", "String:1:05:09 PM"},
        {"[Stamp]", "String:3/7/2001"},
        {"[Notes]", "Error:Field Notes is of unknown type"},
        {"[Tbl.Op-Name]", "String:Hans"},
        {"10 - [Tbl.Op-Name]", "Error:Cannot subtract string expressions"},
        {"[Tbl.Missing]", "Error:Unknown function : Tbl.Missing"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(evaluate(QString::fromUtf8(c.formula), &sets), QString::fromUtf8(c.expected)) << c.formula;
}

TEST_F(DataFieldTest, NullFieldsReadAsEmptyValues)
{
    log.next();
    EXPECT_EQ(evaluate(QStringLiteral("[Tbl.Call]"), &sets), QStringLiteral("String:"));
    EXPECT_EQ(evaluate(QStringLiteral("[Cq]"), &sets), QStringLiteral("Integer:0"));
    EXPECT_EQ(evaluate(QStringLiteral("[Freq]"), &sets), QStringLiteral("Float:0"));
    EXPECT_EQ(evaluate(QStringLiteral("[QslSent]"), &sets), QStringLiteral("Boolean:False"));
    EXPECT_EQ(evaluate(QStringLiteral("[Datum]"), &sets), QStringLiteral("String:"));
}

TEST_F(DataFieldTest, PreparedFormulaFollowsTheCurrentRecord)
{
    TQREvaluator ev;
    ev.SetDataSets(&sets);
    ev.Prepare(u"UPPER([Tbl.Call]) + '/P'");
    EXPECT_EQ(describe(ev.Value()), QStringLiteral("String:DL1ABC/P"));
    log.next();
    EXPECT_EQ(describe(ev.Value()), QStringLiteral("String:/P"));
}

TEST_F(DataFieldTest, AggregatesStepOncePerRecord)
{
    test::MemoryDataSet nums(QStringLiteral("N"), {fieldDef(QStringLiteral("V"), FieldType::Integer),
                                                   fieldDef(QStringLiteral("S"), FieldType::String),
                                                   fieldDef(QStringLiteral("B"), FieldType::Boolean)});
    nums.addRecord({1, QStringLiteral("b"), true});
    nums.addRecord({2, QStringLiteral("a"), false});
    nums.addRecord({3, QStringLiteral("c"), true});
    DataSetList list{&nums};
    struct Agg {
        const char* formula;
        const char* afterThree;
    } aggs[] = {
        {"SUM([V])", "Integer:6"},     {"AVERAGE([V])", "Float:2"}, {"MAX([S])", "String:c"},
        {"MIN([S])", "String:a"},      {"MIN([B])", "Boolean:False"}, {"MAX([V])", "Integer:3"},
        {"COUNT", "Integer:3"},        {"SUM([V]) + COUNT", "Integer:9"}, {"SUM([S])", "Error:"},
    };
    for (const Agg& a : aggs) {
        TQREvaluator ev;
        ev.SetDataSets(&list);
        ev.Prepare(QString::fromUtf8(a.formula));
        EXPECT_TRUE(ev.IsAggregate()) << a.formula;
        ev.Reset();
        for (nums.first(); !nums.eof(); nums.next()) ev.DoAggregate();
        EXPECT_EQ(describe(ev.Value()), QString::fromUtf8(a.afterThree)) << a.formula;
        EXPECT_EQ(describe(ev.Value()), QString::fromUtf8(a.afterThree)) << "Value must not step: " << a.formula;
    }
    TQREvaluator avg;
    avg.SetDataSets(&list);
    avg.Prepare(u"AVERAGE([V])");
    EXPECT_EQ(describe(avg.Value()), QStringLiteral("Integer:0"));   // never reset
    avg.Reset();
    EXPECT_EQ(describe(avg.Value()), QStringLiteral("Float:0"));
    nums.first();
    avg.DoAggregate();
    nums.next();
    avg.DoAggregate();
    EXPECT_EQ(describe(avg.Value()), QStringLiteral("Float:1.5"));
}

TEST_F(ExprTest, CounterCountsEveryEvaluationAndIsNoAggregate)
{
    TQREvaluator ev;
    ev.Prepare(u"COUNTER");
    EXPECT_FALSE(ev.IsAggregate());
    EXPECT_EQ(ev.Value().intResult, 1);
    ev.DoAggregate();
    EXPECT_EQ(ev.Value().intResult, 3);
    ev.Reset();
    EXPECT_EQ(ev.Value().intResult, 1);
}

// ---- environments

TEST_F(ExprTest, ReportEnvironmentEntriesAndInPlaceUpdates)
{
    auto env = makeReportEnvironment();
    env->Prepare();
    TQREvaluator ev;
    ev.SetEnvironment(env.get());
    ev.Prepare(u"[PAGENUMBER] + 1");
    EXPECT_EQ(describe(ev.Value()), QStringLiteral("Integer:1"));
    TQREvEnvironment::SetInteger(env->ElementOf(QStringLiteral("pagenumber")), 4);
    EXPECT_EQ(describe(ev.Value()), QStringLiteral("Integer:5"));
    TQREvEnvironment::SetString(env->ElementOf(QStringLiteral("REPORTTITLE")), QStringLiteral("QSL"));
    EXPECT_EQ(describe(env->ValueOf(QStringLiteral("ReportTitle"))), QStringLiteral("String:QSL"));
    // The bare name is the designer function, not the entry.
    ev.Prepare(u"PAGENUMBER");
    EXPECT_EQ(describe(ev.Value()), QStringLiteral("Error:"));
    ev.Unprepare();
    env->Unprepare();
    EXPECT_EQ(env->ElementOf(QStringLiteral("PAGENUMBER")), nullptr);
}

TEST_F(ExprTest, EntryUnknownNamesAndRecursion)
{
    TQREvEnvironment env;
    env.Add(QStringLiteral("x"), QStringLiteral("[X] + 1"));
    env.Add(QStringLiteral("Double"), QStringLiteral("[Base] * 2"));
    env.Add(QStringLiteral("Base"), QStringLiteral("21"));
    env.Add(QStringLiteral("BASE"), QStringLiteral("99"));   // an existing entry is kept
    env.Prepare();
    TQREvaluator ev;
    ev.SetEnvironment(&env);
    EXPECT_EQ(describe(ev.Calculate(u"[X]")), QStringLiteral("Error:Recursive calls not allowed"));
    EXPECT_EQ(describe(ev.Calculate(u"[double]")), QStringLiteral("Integer:42"));
    EXPECT_EQ(describe(env.ValueOf(QStringLiteral("nothing"))), QStringLiteral("Error:"));
    env.Unprepare();
    // An entry evaluated while its environment is not prepared raises.
    ev.Prepare(u"[Base]");
    EXPECT_THROW(ev.Value(), EvaluatorException);
}

TEST_F(ExprTest, GlobalEnvironmentPrepareIsCounted)
{
    TQREvEnvironment& global = globalEnvironment();
    const int before = global.prepareCount();
    {
        TQREvaluator a, b;
        a.Prepare(u"1");
        b.Prepare(u"2");
        EXPECT_EQ(global.prepareCount(), before + 2);
        a.Prepare(u"3");   // re-preparing releases first
        EXPECT_EQ(global.prepareCount(), before + 2);
    }
    EXPECT_EQ(global.prepareCount(), before);
}

} // namespace
