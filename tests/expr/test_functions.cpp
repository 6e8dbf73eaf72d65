#include "exprtestutil.h"
#include "memorydataset.h"

#include "expr/functionlibrary.h"
#include "expr/services.h"
#include "expr/variablestore.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QVariant>
#include <map>

using namespace cm;
using namespace cm::test;

namespace {

// ---- registry

TEST(FunctionRegistry, RegistersBothLibrariesInOrderWithTheirTexts)
{
    const TQRFunctionLibrary& lib = functionLibrary();
    ASSERT_EQ(lib.Count(), 21 + 78);
    EXPECT_EQ(lib.Entry(0).Name, QStringLiteral("IF"));
    EXPECT_EQ(lib.Entry(20).Name, QStringLiteral("FORMATNUMERIC"));
    EXPECT_EQ(lib.Entry(21).Name, QStringLiteral("NEWPAGE"));
    EXPECT_EQ(lib.Entry(lib.Count() - 1).Name, QStringLiteral("RGBCOLOR"));
    EXPECT_EQ(lib.Entry(lib.Count() - 2).Name, QStringLiteral("WHITE"));

    const int div = lib.indexOf(QStringLiteral("DIV"));
    EXPECT_EQ(lib.Entry(div).callTemplate(), QStringLiteral("DIV(<X>, <Y>) "));
    EXPECT_EQ(lib.Entry(div).explanation(), QStringLiteral(" Integer division of <X> by <Y>"));
    EXPECT_EQ(lib.Entry(div).category(), 2);
    EXPECT_EQ(lib.Entry(div).argumentLetters(), QStringLiteral("NN"));

    const TQRLibraryEntry& vert = lib.Entry(lib.indexOf(QStringLiteral("VERTPRINTPOS")));
    EXPECT_EQ(vert.callTemplate(), QStringLiteral("VERPRINTPOS"));
    EXPECT_EQ(lib.Entry(lib.indexOf(QStringLiteral("GETVAR"))).callTemplate(), QStringLiteral("SETVAR(<Name>)"));
    const TQRLibraryEntry& red = lib.Entry(lib.indexOf(QStringLiteral("RED")));
    EXPECT_EQ(red.Description, QStringLiteral("RED|Color constant for SETCOLOR and SETFONTCOLOR"));
    EXPECT_EQ(red.category(), 8);
    EXPECT_EQ(functionCategoryName(1), QStringLiteral("Date & time"));
    EXPECT_EQ(lib.Entry(lib.indexOf(QStringLiteral("MEMOLINE"))).Data, QStringLiteral("4SS"));
    for (int i = 0; i < lib.Count(); ++i) {
        EXPECT_EQ(lib.Entry(i).Vendor, lib.Entry(0).Vendor);
        EXPECT_TRUE(lib.Entry(i).Description.contains(u'|')) << lib.Entry(i).Name.toStdString();
    }
}

// ---- report elements, data sets and the engine through the service interfaces

class FakeObject : public ReportObject {
public:
    FakeObject(Kind kind, std::map<QString, QVariant> props) : m_kind(kind), m_props(std::move(props)) {}
    Kind kind() const override { return m_kind; }
    bool hasProperty(QStringView p) const override { return key(p) != nullptr; }
    qint64 ordinalProperty(QStringView p) const override { return key(p) ? m_props.at(*key(p)).toLongLong() : 0; }
    double floatProperty(QStringView p) const override { return key(p) ? m_props.at(*key(p)).toDouble() : 0.0; }
    QString textProperty(QStringView p) const override { return key(p) ? m_props.at(*key(p)).toString() : QString(); }
    ReportObject* objectProperty(QStringView p) override { return p.compare(u"Font", Qt::CaseInsensitive) == 0 ? font : nullptr; }
    void setOrdinalProperty(QStringView p, qint64 v) override { set(p, v); }
    void setFloatProperty(QStringView p, double v) override { set(p, v); }
    void setTextProperty(QStringView p, const QString& v) override { set(p, v); }
    QVariant get(const char* p) const { return m_props.at(QString::fromLatin1(p)); }

    ReportObject* font = nullptr;

private:
    const QString* key(QStringView p) const
    {
        for (const auto& [k, v] : m_props)
            if (k.compare(p, Qt::CaseInsensitive) == 0) return &k;
        return nullptr;
    }
    void set(QStringView p, const QVariant& v)
    {
        if (const QString* k = key(p)) m_props[*k] = v;   // a missing property is not written
    }
    Kind m_kind;
    std::map<QString, QVariant> m_props;
};

class FakeReport : public ReportAccess {
public:
    ReportObject* findElement(QStringView name, Scope scope) override
    {
        if (name.compare(u"DataLabel", Qt::CaseInsensitive) == 0)
            return scope == Scope::FormsAndDataModules ? &moduleLabel : nullptr;
        return find(name);
    }
    ReportObject* findCaptionHolder(QStringView name) override { return find(name); }
    DataSet* findDataSet(QStringView name, QStringView field) override
    {
        if (name.compare(u"Tbl", Qt::CaseInsensitive) != 0) return nullptr;
        return field.isEmpty() || table->fieldIndex(field) >= 0 ? table : nullptr;
    }
    void resetExpression(QStringView name) override { resetName = name.toString(); }
    std::optional<bool> groupPrinted(QStringView band) override
    {
        return band == u"Group1" ? std::optional<bool>(true) : std::nullopt;
    }

    ReportObject* find(QStringView name)
    {
        for (auto& [n, o] : objects)
            if (n.compare(name, Qt::CaseInsensitive) == 0) return o;
        return nullptr;
    }

    std::map<QString, ReportObject*> objects;
    FakeObject moduleLabel{ReportObject::Kind::PrintableElement, {{"Caption", "m"}, {"BlockEdit", 0}}};
    DataSet* table = nullptr;
    QString resetName;
};

class FakeEngine : public EngineHooks {
public:
    bool newPage() override { ++pages; return true; }
    std::optional<int> verticalPrintPosition() override { return 120; }
    std::optional<int> pageNumber() override { return pages; }
    int pages = 1;
};

class FakeDialogs : public HeadlessDialogService {
public:
    bool yesNoBox(const QString& text) override { asked = text; return true; }
    bool inputBox(const QString&, const QString&, QString& value) override
    {
        shown = value;
        value = answer;
        return true;
    }
    QString asked, shown, answer;
};

class ServiceTest : public ExprTest {
protected:
    ServiceTest()
        : label(ReportObject::Kind::PrintableElement,
                {{"Caption", "Hello"}, {"Color", 0}, {"Enabled", 1}, {"Left", 1.5}, {"BlockEdit", 0},
                 {"BlockChange", 1}, {"DataField", "Call"}}),
          locked(ReportObject::Kind::PrintableElement, {{"Caption", "x"}, {"BlockEdit", 1}}),
          expr(ReportObject::Kind::ExpressionElement, {{"Expression", "[Call]"}, {"Caption", "shown"}}),
          source(ReportObject::Kind::DataSource, {{"Color", 5}}),
          font(ReportObject::Kind::Other, {{"Color", 0}, {"Size", 10}, {"Name", "Arial"}, {"Style", 0}}),
          log(QStringLiteral("Tbl"), {fieldDef(QStringLiteral("Mode"), FieldType::String, 4),
                                      fieldDef(QStringLiteral("Notes"), FieldType::Memo)})
    {
        label.font = &font;
        log.addRecord({QVariant(), QStringLiteral("first\r\nsecond")});
        fake.objects = {{"Label1", &label}, {"Locked", &locked}, {"Expr1", &expr}, {"Source", &source}};
        fake.table = &log;
    }
    void SetUp() override
    {
        ExprTest::SetUp();
        setExprServices({&fake, &dialogs, &engine, &variables});
    }
    void TearDown() override
    {
        setExprServices({});
        ExprTest::TearDown();
    }
    FakeObject label, locked, expr, source, font;
    MemoryDataSet log;
    FakeReport fake;
    FakeEngine engine;
    VariableStore variables;
    FakeDialogs dialogs;
};

TEST_F(ServiceTest, ElementAndPropertyFunctions)
{
    struct Case {
        const char* formula;
        const char* expected;
    } cases[] = {
        {"ELEMENTEXISTS('label1')", "Boolean:True"},
        {"ELEMENTEXISTS('DataLabel')", "Boolean:False"},   // forms only
        {"PROPEXISTS('Label1', 'caption')", "Boolean:True"},
        {"PROPEXISTS('Label1', 'Nothing')", "Boolean:False"},
        {"GETSTRPROP('Label1', 'Caption')", "String:Hello"},
        {"GETBOOLPROP('Label1', 'Enabled')", "Boolean:True"},
        {"GETINTPROP('Label1', 'Missing')", "Integer:0"},
        {"GETFLOATPROP('Label1', 'Left')", "Float:1.5"},
        {"SETINTPROP('Label1', 'Color', 255)", "Integer:255"},
        {"SETINTPROP('Label1', 'Missing', 1)", "Integer:1"},
        {"SETFLOATPROP('Label1', 'Left', 2)", "Error:"},   // an Integer is refused
        {"SETFLOATPROP('Label1', 'Left', 2.5)", "Float:2.5"},
        {"SETSTRPROP('Label1', 'Caption', 'New')", "String:New"},
        {"SETSTRPROP('Label1', 'DataField', 'Band')", "Error:"},   // BlockChange set
        {"SETBOOLPROP('Label1', 'blockedit', TRUE)", "Error:"},
        {"SETBOOLPROP('Label1', 'Enabled', FALSE)", "Boolean:False"},
        {"SETINTPROP('Locked', 'Caption', 1)", "Error:"},
        {"SETSTRPROP('DataLabel', 'Caption', 'dm')", "String:dm"},   // forms, then data modules
        {"SETCOLOR('Source', RED)", "Error:"},
        {"SETCOLOR('Label1', BLUE)", "Boolean:True"},
        {"SETFONTCOLOR('Label1', RED)", "Boolean:True"},
        {"SETFONTCOLOR('Nobody', RED)", "Boolean:False"},
        {"SETFONTSIZE('Label1', 14)", "Boolean:True"},
        {"SETFONT('Label1', 'Courier New')", "Boolean:True"},
        {"SETFONTSTYLE('Label1', TRUE, FALSE, TRUE, FALSE)", "Boolean:True"},
        {"GETCAPTION('Expr1')", "String:[Call]"},
        {"GETCAPTION('Label1')", "String:New"},
        {"GETCAPTION('Nobody')", "Error:"},
        {"RESETEXPR('Expr1')", "String:"},
        {"GROUPPRINTED('Group1')", "Boolean:True"},
        {"GROUPPRINTED('Group2')", "Error:"},
        {"FIELDLEN('Tbl', 'Mode')", "Integer:4"},
        {"ISNULL('Tbl', 'mode')", "Boolean:True"},
        {"ISNULL('Tbl', 'Other')", "Error:"},
        {"MEMOLINE('Tbl', 'Notes', 2)", "String:second"},
        {"MEMOLINE('Tbl', 'Notes', 3)", "String:"},
        {"MEMOLINE('Tbl', 'Notes', 0)", "String:"},
        {"EOF('Tbl')", "Boolean:False"},
        {"RECORDCOUNT('Tbl')", "Error:"},
        {"VERTPRINTPOS", "Integer:120"},
        {"NEWPAGE", "String:"},
        {"PAGENUMBER", "Integer:2"},
        {"YESNOBOX('Go?')", "Boolean:True"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(evaluate(QString::fromUtf8(c.formula)), QString::fromUtf8(c.expected)) << c.formula;
    EXPECT_EQ(label.get("Color").toInt(), 0xFF0000);
    EXPECT_EQ(label.get("Enabled").toInt(), 0);
    EXPECT_EQ(label.get("DataField").toString(), QStringLiteral("Call"));
    EXPECT_EQ(font.get("Color").toInt(), 0x0000FF);
    EXPECT_EQ(font.get("Size").toInt(), 14);
    EXPECT_EQ(font.get("Name").toString(), QStringLiteral("Courier New"));
    EXPECT_EQ(font.get("Style").toInt(), 1 | 4);
    EXPECT_EQ(fake.resetName, QStringLiteral("Expr1"));
    EXPECT_EQ(dialogs.asked, QStringLiteral("Go?"));
}

TEST_F(ServiceTest, InputBoxStoresByTheVariablesKind)
{
    struct Case {
        EvResult initial;
        bool exists;
        const char* answer;
        const char* shown;
        const char* stored;
    } cases[] = {
        {EvResult(), false, "typed", "", "String:typed"},
        {EvResult::integer(5), true, "12", "5", "Integer:12"},
        {EvResult::integer(5), true, "1.5", "5", "String:1.5"},
        {EvResult::number(2.5), true, "3.25", "2.5", "Float:3.25"},
        {EvResult::boolean(false), true, "true", "False", "Boolean:True"},
        {EvResult::boolean(true), true, "0", "True", "Boolean:False"},
        {EvResult::boolean(true), true, "maybe", "True", "String:maybe"},
        {EvResult::error(), true, "x", "", "Error:"},
    };
    for (const Case& c : cases) {
        variables.clear();
        if (c.exists) variables.set(QStringLiteral("v"), c.initial);
        dialogs.answer = QString::fromUtf8(c.answer);
        EXPECT_EQ(evaluate(QStringLiteral("INPUTBOX('T', 'P', 'v')")), QStringLiteral("Boolean:True"));
        EXPECT_EQ(dialogs.shown, QString::fromUtf8(c.shown)) << c.answer;
        EXPECT_EQ(describe(variables.find(QStringLiteral("V"))->value), QString::fromUtf8(c.stored))
            << c.answer;
    }
}

TEST_F(ExprTest, ReadIniAndRegistryFiles)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile ini(dir.filePath(QStringLiteral("station.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("; comment\n[Station]\nCall = DL1ABC\nLocator=\"JO62\"\n[Other]\nCall=X\n");
    ini.close();
    const QString file = ini.fileName();
    EXPECT_EQ(evaluate(QStringLiteral("READINI('%1', 'station', 'CALL')").arg(file)), QStringLiteral("String:DL1ABC"));
    EXPECT_EQ(evaluate(QStringLiteral("READINI('%1', 'Station', 'Locator')").arg(file)), QStringLiteral("String:JO62"));
    EXPECT_EQ(evaluate(QStringLiteral("READINI('%1', 'Station', 'Missing')").arg(file)), QStringLiteral("String:"));
    EXPECT_EQ(evaluate(QStringLiteral("READINI('%1', 'S', 'K')").arg(dir.filePath(QStringLiteral("none.ini")))),
              QStringLiteral("String:"));

    const QByteArray oldHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    QDir(dir.path()).mkpath(QStringLiteral("Vendor"));
    QFile conf(dir.filePath(QStringLiteral("Vendor/Product.conf")));
    ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
    conf.write("[General]\nTop=1\n[Sub\\Key]\nTest=deep\n");
    conf.close();
    EXPECT_EQ(evaluate(QStringLiteral("READREGISTRY('HKEY_CURRENT_USER', 'Software\\Vendor\\Product', 'Top')")),
              QStringLiteral("String:1"));
    EXPECT_EQ(evaluate(QStringLiteral("READREGISTRY('Software\\Vendor', 'Product\\Sub\\Key', 'test')")),
              QStringLiteral("String:deep"));
    EXPECT_EQ(evaluate(QStringLiteral("READREGISTRY('HKEY_DYN_DATA', 'Vendor\\Product', 'Top')")), QStringLiteral("Error:"));
    EXPECT_EQ(evaluate(QStringLiteral("READREGISTRY('HKEY_USERS', 'Vendor\\..\\Product', 'Top')")), QStringLiteral("Error:"));
    if (oldHome.isNull()) qunsetenv("XDG_CONFIG_HOME");
    else qputenv("XDG_CONFIG_HOME", oldHome);
}

TEST_F(ExprTest, CommandLineEvalPrintsKindAndText)
{
    struct Case {
        QStringList args;
        const char* out;
    } cases[] = {
        {{"1+2*3"}, "Integer\t7\n"},
        {{"7/0"}, "Error\tCannot divide by 0\n"},
        {{"--locale", "de_DE", "STR(2.5)"}, "String\t2,5\n"},
        {{"'a' = 'a'"}, "Boolean\tTrue\n"},
        // The report's own names answer as before a print run.
        {{"[PAGENUMBER] + COLUMNNUMBER"}, "Integer\t0\n"},
        {{"[REPORTTITLE] = ''"}, "Boolean\tTrue\n"},
    };
    for (const Case& c : cases) {
        QProcess p;
        p.start(QStringLiteral(CARDMINT_CLI), QStringList{QStringLiteral("eval")} + c.args);
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitCode(), 0);
        EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(c.out)) << c.args.join(u' ').toStdString();
    }
    QProcess bad;
    bad.start(QStringLiteral(CARDMINT_CLI), {QStringLiteral("eval"), QStringLiteral("--locale")});
    ASSERT_TRUE(bad.waitForFinished(30000));
    EXPECT_NE(bad.exitCode(), 0);
    EXPECT_FALSE(bad.readAllStandardError().isEmpty());
}

} // namespace
