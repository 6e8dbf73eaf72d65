// Cards for the QSL workflow: several QSOs per card, which QSO went on which
// page, and cards that start further down a partly used sheet.
#include "engine/generate/modelaccess.h"
#include "harness.h"
#include "layout/demolayouts.h"

#include <gtest/gtest.h>

namespace cm::test {
namespace {

std::vector<FixtureDataSet::Record> stations(const std::vector<std::pair<QString, int>>& qsosPerCall)
{
    std::vector<FixtureDataSet::Record> records;
    int log = 0;
    for (const auto& [call, count] : qsosPerCall) {
        for (int i = 0; i < count; ++i) {
            records.push_back({{"Log", ++log}, {"Call", call}, {"Datum", QDate(2024, 1, 1).addDays(i)},
                               {"Gmt", QTime(10, i)}, {"Band", QStringLiteral("20M")}, {"Mode", QStringLiteral("CW")},
                               {"RstS", QStringLiteral("599")}});
        }
    }
    return records;
}

TEST(MultiQsoCard, OneCardPerStationFiveQsosEachAndContinuationsSaySo)
{
    Harness h;
    buildMultiQsoCard(h.ws);
    ASSERT_EQ(h.run(stations({{"DL1A", 12}, {"S51B", 2}, {"W1AW", 5}})), 5);
    const struct {
        const char* call;
        bool continued;
        int qsos;
        const char* firstDate;
    } cards[] = {{"DL1A", false, 5, "2024-01-01"}, {"DL1A", true, 5, "2024-01-06"}, {"DL1A", true, 2, "2024-01-11"},
                 {"S51B", false, 2, "2024-01-01"}, {"W1AW", false, 5, "2024-01-01"}};
    for (int page = 0; page < 5; ++page) {
        const QStringList texts = h.texts(page);
        const auto& card = cards[page];
        EXPECT_EQ(texts.count(QString::fromLatin1(card.call)), 1) << "card " << page << ": " << texts.join(u' ').toStdString();
        EXPECT_EQ(texts.contains(QStringLiteral("continued")), card.continued) << "card " << page;
        EXPECT_EQ(texts.count(QStringLiteral("599")), card.qsos) << "card " << page;
        EXPECT_TRUE(texts.contains(QString::fromLatin1(card.firstDate))) << "card " << page;
        EXPECT_TRUE(texts.contains(QStringLiteral("S50QSL")) && texts.contains(QStringLiteral("UTC"))) << "card " << page;
    }
    // A second run in the same program starts afresh: its first card is no continuation.
    Harness again;
    buildMultiQsoCard(again.ws);
    ASSERT_EQ(again.run(stations({{"W1AW", 1}})), 1);
    EXPECT_FALSE(again.texts(0).contains(QStringLiteral("continued")));
}

TEST(RecordsPrinted, TellWhichQsoWentOnWhichPage)
{
    Harness h;
    buildMultiQsoCard(h.ws);
    h.ws.table->setSource(std::make_unique<FixtureDataSet>(stations({{"DL1A", 7}, {"S51B", 1}})));
    ReportGenerator generator(h.report(), h.output);
    generator.setScript(h.ws.designer->script.lines, true);
    std::vector<std::pair<int, int>> printed;
    generator.setRecordPrinted([&](int record, int page) { printed.emplace_back(record, page); });
    ScopedModelAccess access(&generator);
    ASSERT_TRUE(generator.generate());
    EXPECT_EQ(printed, (std::vector<std::pair<int, int>>{{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 2}, {6, 2}, {7, 3}}));
}

// Where the first card's call is drawn when the run leaves `empty` positions.
QPointF firstCardAt(int empty)
{
    Harness h;
    TQRPage& page = h.report().page;
    page.setPaperSize(TQRPaperSize::Custom);
    page.values = {0, 1000, 0, 2000, 0, 0, 0};
    page.setColumns(2);
    h.field(h.band(TQRBandType::rbDetail, 300), QStringLiteral("Call"), 0, 0);
    h.report().orderBands();
    h.ws.table->setSource(std::make_unique<FixtureDataSet>(callRecords({"A", "B"})));
    ReportGenerator generator(h.report(), h.output);
    generator.setEmptyPositions(empty);
    ScopedModelAccess access(&generator);
    if (!generator.generate() || h.output.storedPages() < 1)
        return {-1, -1};
    h.pages = {replayPage(*h.output.pageAt(1))};
    const DrawnItem* a = h.findText(0, "A");
    return a ? a->pos : QPointF(-1, -1);
}

TEST(EmptyPositions, TheFirstCardLandsOnTheGivenPosition)
{
    // Two columns of three cards: positions run down the first column, then the second.
    const QPointF home = firstCardAt(0);
    ASSERT_GE(home.x(), 0);
    const struct {
        int startAt;
        int column;
        int row;
    } cases[] = {{2, 0, 1}, {3, 0, 2}, {4, 1, 0}, {6, 1, 2}};
    for (const auto& c : cases) {
        const QPointF at = firstCardAt(c.startAt - 1);
        EXPECT_NEAR(at.x() - home.x(), dots(c.column * 1000), 2.0) << c.startAt;
        EXPECT_NEAR(at.y() - home.y(), dots(c.row * 300), 2.0) << c.startAt;
    }
}

} // namespace
} // namespace cm::test
