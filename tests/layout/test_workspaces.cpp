// Two layouts open at once (a second window, a preview of another file)
// each live in their own workspace and never see each other's components
// or formula variables.
#include "engine/generate/generator.h"
#include "engine/generate/modelaccess.h"
#include "engine/pages/qrprinter.h"
#include "expr/evaluator.h"
#include "layout/workspace.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace cm;

namespace {

QString demo(const char* name) { return QStringLiteral(CARDMINT_SOURCE_DIR "/demo/") + QLatin1StringView(name); }

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString evaluate(const QString& formula)
{
    TQREvaluator evaluator;
    const EvResult r = evaluator.Calculate(formula);
    return r.isError() ? QStringLiteral("Error") : ValueToText(r);
}

} // namespace

TEST(Workspaces, TwoOpenLayoutsKeepTheirOwnReferencesAndVariables)
{
    auto first = std::make_unique<Workspace>();
    ASSERT_TRUE(first->designer->loadFromFile(demo("Template.qr2")));
    // The second one's "DataFrm.Tbl" is its own data module's table, not the
    // one of the workspace made first.
    Workspace second;
    ASSERT_TRUE(second.designer->loadFromFile(demo("Demo1.qr2")));
    EXPECT_EQ(first->report->dataSet(), first->table);
    EXPECT_EQ(second.report->dataSet(), second.table);
    const auto fields = second.window.componentsOf<TQRDesignDBText>();
    ASSERT_FALSE(fields.empty());
    for (TQRDesignDBText* f : fields)
        EXPECT_EQ(f->dataSet, second.table) << f->name().toStdString();
    EXPECT_EQ(second.scope.find(u"DataFrm"), &second.dataModule);

    // Formulas of one see neither the other's elements nor its variables.
    const QString field = fields.front()->name();
    {
        ScopedModelAccess access(second.scope);
        EXPECT_EQ(evaluate(QStringLiteral("SETVAR('Call', 'S50A')")), QStringLiteral("S50A"));
        EXPECT_EQ(evaluate(QStringLiteral("ELEMENTEXISTS('%1')").arg(field)), QStringLiteral("True"));
    }
    {
        ScopedModelAccess access(first->scope);
        EXPECT_EQ(evaluate(QStringLiteral("GETVAR('Call')")), QStringLiteral("Error"));
        EXPECT_EQ(evaluate(QStringLiteral("VAREXISTS('Call')")), QStringLiteral("False"));
        EXPECT_EQ(evaluate(QStringLiteral("ELEMENTEXISTS('%1')").arg(field)), QStringLiteral("False"));
        EXPECT_EQ(evaluate(QStringLiteral("SETVAR('Call', 'DL1X')")), QStringLiteral("DL1X"));
    }
    // A run reaches the variables of its report's workspace.
    {
        TQRPrinter output;
        ReportGenerator generator(*second.report, output);
        ScopedModelAccess access(&generator);
        EXPECT_EQ(evaluate(QStringLiteral("GETVAR('Call')")), QStringLiteral("S50A"));
    }
    // No layout, no variables.
    EXPECT_EQ(evaluate(QStringLiteral("SETVAR('Call', 'x')")), QStringLiteral("Error"));

    // Closing the first leaves the second whole.
    first.reset();
    for (TQRDesignDBText* f : second.window.componentsOf<TQRDesignDBText>())
        EXPECT_EQ(f->dataSet, second.table);
    EXPECT_EQ(second.report->dataSet(), second.table);
    EXPECT_EQ(second.designer->writeLayout(true), fileBytes(demo("Demo1.qr2")));
    EXPECT_EQ(second.scope.variables().find(QStringLiteral("CALL"))->value.strResult, QStringLiteral("S50A"));
}

TEST(Workspaces, ContainersMadeAloneSeeNoOther)
{
    Container data(QStringLiteral("DataFrm"), true);
    Container window(QStringLiteral("WorkFrm1"));
    EXPECT_EQ(window.scope().find(u"DataFrm"), nullptr);
    EXPECT_NE(&window.scope(), &data.scope());

    ComponentScope shared;
    Container a(QStringLiteral("A"), shared, true);
    Container b(QStringLiteral("B"), shared);
    EXPECT_EQ(b.scope().find(u"a"), &a);
    EXPECT_EQ(shared.containers(), (std::vector<Container*>{&a, &b}));
}
