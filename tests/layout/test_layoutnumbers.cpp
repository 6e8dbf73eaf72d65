// Damaged numbers in layout files: every one is refused with its cause and
// the layout loaded before stays as it was.
#include "layout/demolayouts.h"
#include "layout/workspace.h"

#include <functional>
#include <gtest/gtest.h>
#include <limits>

using namespace cm;

namespace {

constexpr Extended kNaN = std::numeric_limits<Extended>::quiet_NaN();
constexpr Extended kInf = std::numeric_limits<Extended>::infinity();

TQRDesignLabel& firstLabel(Workspace& ws) { return *ws.window.componentsOf<TQRDesignLabel>().front(); }
TQRCustomBand& detailBand(Workspace& ws)
{
    return *static_cast<TQRCustomBand*>(ws.report->firstBandOfType(TQRBandType::rbDetail));
}

// The stored "FontSize" of the first text element rewritten as a 64-bit integer.
QByteArray withSixtyFourBitFontSize(QByteArray bytes)
{
    const QByteArray key("\x08" "FontSize", 9);
    const qsizetype at = bytes.indexOf(key);
    if (at < 0)
        return {};
    const qsizetype value = at + key.size();
    const int oldLength = bytes[value] == 2 ? 2 : bytes[value] == 3 ? 3 : 5;
    QByteArray int64(9, '\0');
    int64[0] = 19;
    int64[5] = 1;   // 2^32
    return bytes.replace(value, oldLength, int64);
}

struct DamagedLayout {
    const char* what;
    std::function<void(Workspace&)> damage;
    const char* cause;
    std::function<QByteArray(QByteArray)> patch = nullptr;
};

} // namespace

TEST(LayoutNumbers, DamagedNumbersAreRefusedAndTheOldLayoutStays)
{
    const std::vector<DamagedLayout> cases = {
        {"page length not a number", [](Workspace& ws) { ws.report->page.values[TQRPage::Len] = kNaN; },
         "the length of the page is out of range (nan mm)"},
        {"infinite top margin", [](Workspace& ws) { ws.report->page.values[TQRPage::Top] = -kInf; },
         "the top margin of the page is out of range (-inf mm)"},
        {"page width beyond any paper",
         [](Workspace& ws) { ws.report->page.values[TQRPage::Wid] = 1e4932L; },
         "the width of the page is out of range (1e+4931 mm)"},
        {"margin in range only as a number of inches",
         [](Workspace& ws) {
             ws.report->setUnits(TQRUnit::Inches);
             ws.report->page.values[TQRPage::Left] = 254.0L * 500;
         },
         "the left margin of the page is out of range (12700 mm)"},
        {"band height", [](Workspace& ws) { detailBand(ws).size.values[0] = 1e30L; },
         "the height of DetailBand1 is out of range (1e+29 mm)"},
        {"element position", [](Workspace& ws) { firstLabel(ws).size.values[TQRPrintableSize::L] = -1e7L; },
         "the left edge of QRDesignLabel1 is out of range (-1e+06 mm)"},
        {"element width", [](Workspace& ws) { firstLabel(ws).size.values[TQRPrintableSize::W] = kNaN; },
         "property Size.Values of QRDesignLabel1 holds a number that is not finite"},
        {"element font", [](Workspace& ws) { firstLabel(ws).font().setSize(20000); },
         "the font size of QRDesignLabel1 is out of range (20000 points)"},
        {"report font", [](Workspace& ws) { ws.report->font().setHeight(-30000); },
         "the font size of the report is out of range (22500 points)"},
        {"font size beyond 32 bits", [](Workspace&) {}, "is out of range (4294967",
         withSixtyFourBitFontSize},
    };

    Workspace source;
    buildDemoCard(source);
    const QByteArray good = source.designer->writeLayout(true);

    for (const DamagedLayout& c : cases) {
        SCOPED_TRACE(c.what);
        Workspace damaged;
        buildDemoCard(damaged);
        c.damage(damaged);
        QByteArray bad = damaged.designer->writeLayout(true);
        if (c.patch)
            bad = c.patch(bad);
        ASSERT_FALSE(bad.isEmpty());

        Workspace ws;
        CollectingMessageSink sink;
        ws.designer->messageSink = &sink;
        ASSERT_TRUE(ws.designer->loadFromData(good));
        EXPECT_FALSE(ws.designer->loadFromData(bad));
        ASSERT_EQ(sink.messages.size(), 1);
        EXPECT_TRUE(sink.messages[0].startsWith(QStringLiteral("Error in report file! (")));
        EXPECT_TRUE(sink.messages[0].contains(QLatin1StringView(c.cause))) << sink.messages[0].toStdString();
        EXPECT_EQ(ws.designer->writeLayout(true), good);
    }
}

TEST(LayoutNumbers, TheLargestValuesStillLoad)
{
    Workspace source;
    buildDemoCard(source);
    source.report->page.values[TQRPage::Len] = kMaxNativeLength;
    firstLabel(source).size.values[TQRPrintableSize::L] = -kMaxNativeLength;
    firstLabel(source).font().setSize(kMaxFontPoints);
    const QByteArray bytes = source.designer->writeLayout(true);

    Workspace ws;
    ASSERT_TRUE(ws.designer->loadFromData(bytes));
    EXPECT_EQ(ws.report->page.values[TQRPage::Len], kMaxNativeLength);
    EXPECT_EQ(firstLabel(ws).size.values[TQRPrintableSize::L], -kMaxNativeLength);
    EXPECT_EQ(firstLabel(ws).font().size(), kMaxFontPoints);
}
