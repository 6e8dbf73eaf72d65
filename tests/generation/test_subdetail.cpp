// Sub-detail bands: their own records after each master record.
#include "harness.h"

#include <gtest/gtest.h>

namespace cm::test {
namespace {

TEST(Generation, SubDetailPrintsItsRecordsAfterEachMasterRecord)
{
    Harness h;
    auto* detail = h.band(TQRBandType::rbDetail, 60);
    h.field(detail, QStringLiteral("Call"), 0, 0);

    auto* table = new TTable(&h.ws.dataModule);
    table->setName(QStringLiteral("Contacts"));
    table->setSource(std::make_unique<FixtureDataSet>(
        std::vector<FixtureDataSet::Record>{{{"Call", "x1"}}, {{"Call", "x2"}}}, QStringLiteral("Contacts")));
    auto* sub = new TQRDesignSubdetail(&h.ws.window);
    sub->setName(QStringLiteral("SubBand"));
    sub->setParentControl(&h.report());
    sub->size.values = {60, 1000};
    sub->setMaster(&h.report());
    sub->setDataSet(table);
    auto* field = h.add<TQRDesignDBText>(sub, 0, 0, 300, 50);
    field->dataSet = table;
    field->setDataField(QStringLiteral("Call"));
    sub->setHasHeader(true);
    h.label(sub->headerBand(), QStringLiteral("SH"), 0, 0);
    h.report().orderBands();

    ASSERT_EQ(h.run(QStringList{"A", "B"}), 1);
    EXPECT_EQ(h.sequence(), QStringLiteral("A SH x1 x2 B SH x1 x2"));
}

TEST(Generation, CalculationElementSumsAFieldInTheSummary)
{
    Harness h;
    auto* detail = h.band(TQRBandType::rbDetail, 60);
    h.field(detail, QStringLiteral("Call"), 0, 0);
    auto* summary = h.band(TQRBandType::rbSummary, 60);
    auto* calc = h.add<TQRDBCalc>(summary, 0, 0, 400, 50);
    calc->setDataField(QStringLiteral("Cq"));
    calc->setPrintMask(QStringLiteral("0.0"));
    EXPECT_EQ(calc->expression(), QStringLiteral("Sum(Cq)"));
    ASSERT_TRUE(setProperty(*calc, u"Operation", int64_t(TQRCalcOperation::qrcMax)));
    EXPECT_EQ(calc->expression(), QStringLiteral("Max(Cq)"));
    calc->setOperation(TQRCalcOperation::qrcSum);

    auto rec = [](const char* call, int cq) {
        return FixtureDataSet::Record{{"Call", QString::fromLatin1(call)}, {"Cq", cq}};
    };
    h.run({rec("A", 14), rec("B", 15), rec("C", 5)});
    EXPECT_EQ(h.sequence(), QStringLiteral("A B C 34.0"));
}

} // namespace
} // namespace cm::test
