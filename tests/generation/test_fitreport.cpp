// Texts that do not fit their boxes: counted per element and card, and the
// shipped card, which must print whole values in every locale.
#include "engine/generate/fitreport.h"
#include "expr/formatsettings.h"
#include "harness.h"
#include "layout/demolayouts.h"

#include <gtest/gtest.h>

namespace cm::test {
namespace {

std::vector<FixtureDataSet::Record> contacts(const QStringList& calls)
{
    std::vector<FixtureDataSet::Record> out;
    for (const QString& call : calls)
        out.push_back({{"Call", call}, {"Datum", QDate(2023, 4, 7)}});
    return out;
}

TEST(FitReport, CountsEachClippedElementOncePerCard)
{
    Harness h;
    // Two records per page: the page is the card the user looks for.
    auto* detail = h.band(TQRBandType::rbDetail, 400);
    // "first second" takes two lines in a box one line high.
    auto* note = h.label(detail, QStringLiteral("first second"), 0, 0, 180, 50);
    note->setName(QStringLiteral("Note"));
    note->font().setSize(12);
    note->wordWrap = true;
    auto* call = h.field(detail, QStringLiteral("Call"), 0, 100, 150, 60);
    call->setName(QStringLiteral("Call"));
    call->wordWrap = false;
    call->font().setSize(12);
    auto* wide = h.field(detail, QStringLiteral("Call"), 0, 200, 1000, 60);
    wide->setName(QStringLiteral("Wide"));
    auto* stretching = h.label(detail, QStringLiteral("first second"), 0, 330, 180, 50);
    stretching->setName(QStringLiteral("Stretching"));
    stretching->font().setSize(12);
    stretching->autoStretch = true;   // grows with its lines: nothing is lost

    QStringList calls{QStringLiteral("S51A"), QStringLiteral("S51A")};
    for (int i = 0; i < 10; ++i)
        calls << QStringLiteral("VP2E/W1AW/QRP");
    h.run(contacts(calls));
    ASSERT_EQ(h.pages.size(), 6u);

    const auto& entries = h.fits.entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, QStringLiteral("Note"));
    EXPECT_EQ(entries[0].cards, 6);
    EXPECT_EQ(entries[1].name, QStringLiteral("Call"));
    EXPECT_EQ(entries[1].cards, 5);   // cards 2 to 6, each counted once for its two records
    EXPECT_EQ(h.fits.warnings(), (QStringList{QStringLiteral("Note did not fit on 6 cards: 1, 2, 3, 4, 5, ..."),
                                              QStringLiteral("Call did not fit on 5 cards: 2, 3, 4, 5, 6")}));
}

// Restores the formatting settings a test changes.
struct LocaleScope {
    FormatSettings saved = FormatSettings::current();
    ~LocaleScope() { FormatSettings::setCurrent(saved); }
};

TEST(ShippedCard, PrintsTheLongestValuesWholeAndTheDateAlikeInEveryLocale)
{
    LocaleScope scope;
    struct Contact {
        const char* call;
        QDate date;
        QTime time;
        const char* band;
        const char* mode;
        const char* rst;
        QStringList expected;   // as the card shows them
    };
    const Contact contacts[] = {
        {"VK9X/DL9MWB/QRPP", {2023, 5, 27}, {23, 59, 58}, "2190m", "DIGITALVOICE", "599",
         {"VK9X/DL9MWB/QRPP", "27", "May", "2023", "23:59", "2190m", "DIGITALVOICE", "599"}},
        {"VP2E/W1AW/QRP", {2023, 4, 7}, {7, 5, 0}, "1.25m", "OLIVIA", "-15",
         {"VP2E/W1AW/QRP", "07", "Apr", "2023", "07:05", "1.25m", "OLIVIA", "-15"}},
        {"SV9/OE7SRT", {1987, 12, 31}, {0, 0, 0}, "160m", "PSK125", "59",
         {"SV9/OE7SRT", "31", "Dec", "1987", "00:00", "160m", "PSK125", "59"}},
        {"CS2019CWC", {2019, 9, 10}, {12, 34, 56}, "70cm", "MFSK16", "+05",
         {"CS2019CWC", "10", "Sep", "2019", "12:34", "70cm", "MFSK16", "+05"}},
    };
    std::vector<FixtureDataSet::Record> records;
    for (const Contact& c : contacts)
        records.push_back({{"Call", c.call}, {"Datum", c.date}, {"Gmt", c.time}, {"Band", c.band},
                           {"Mode", c.mode}, {"RstS", c.rst}});

    for (const char* locale : {"en_US", "en_GB", "de_DE", "ja_JP", "fr_FR"}) {
        SCOPED_TRACE(locale);
        FormatSettings::setCurrent(FormatSettings::fromLocale(QLocale(QString::fromLatin1(locale))));
        Harness h;
        buildDemoCard(h.ws);
        ASSERT_EQ(h.run(records), 4);
        for (int page = 0; page < 4; ++page) {
            const QStringList texts = h.texts(page);
            for (const QString& value : contacts[page].expected)
                EXPECT_TRUE(texts.contains(value)) << value.toStdString() << " not in " << texts.join('|').toStdString();
        }
        EXPECT_TRUE(h.fits.empty()) << h.fits.warnings().join('\n').toStdString();
    }
}

TEST(ShippedCard, AnEmptyCardShowsNoErrorText)
{
    Harness h;
    buildDemoCard(h.ws);
    h.report().setPrintIfEmpty(true);
    h.run(std::vector<FixtureDataSet::Record>{});
    ASSERT_EQ(h.pages.size(), 1u);
    for (const QString& text : h.texts(0))
        EXPECT_FALSE(text.contains(QStringLiteral("rror"))) << text.toStdString();
}

} // namespace
} // namespace cm::test
