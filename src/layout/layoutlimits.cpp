#include "layout/layoutlimits.h"

#include "layout/bytestream.h"
#include "report/bands.h"
#include "report/elements.h"

#include <cstdio>

namespace cm {

namespace {

QString millimetres(Extended native)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.6Lg mm", native / 10);
    return QString::fromLatin1(text);
}

void checkLength(Extended native, const char* what, const QString& where)
{
    if (!isLengthInRange(native))
        throw StreamError(QStringLiteral("the %1 of %2 is out of range (%3)")
                              .arg(QLatin1StringView(what), where, millimetres(native)));
}

void checkFontPoints(int points, const QString& where)
{
    if (points < -kMaxFontPoints || points > kMaxFontPoints)
        throw StreamError(QStringLiteral("the font size of %1 is out of range (%2 points)")
                              .arg(where).arg(points));
}

QString describe(const Component& c)
{
    return c.name().isEmpty() ? QString::fromLatin1(c.classInfo().name) : c.name();
}

} // namespace

void checkLayoutNumbers(const TQRCustomReport& report, const Container& owner)
{
    static constexpr const char* pageNames[] = {"bottom margin", "length", "top margin", "width",
                                                "left margin", "right margin", "column space"};
    const QString page = QStringLiteral("the page");
    const auto& values = report.page.storedValues();
    for (size_t i = 0; i < values.size(); ++i)
        checkLength(values[i], pageNames[i], page);
    checkFontPoints(report.font().size(), QStringLiteral("the report"));

    for (const Component* c : owner.components()) {
        const QString where = describe(*c);
        if (const auto* band = dynamic_cast<const TQRCustomBand*>(c)) {
            checkLength(band->size.values[0], "height", where);
            checkLength(band->size.values[1], "width", where);
        }
        if (const auto* element = dynamic_cast<const TQRPrintable*>(c)) {
            static constexpr const char* sizeNames[] = {"height", "left edge", "top edge", "width"};
            for (size_t i = 0; i < element->size.values.size(); ++i)
                checkLength(element->size.values[i], sizeNames[i], where);
        }
        if (const auto* control = dynamic_cast<const TQRControl*>(c))
            checkFontPoints(control->font().size(), where);
        if (const auto* label = dynamic_cast<const TQRCustomLabel*>(c))
            checkFontPoints(label->streamedFontSize, where);
    }
}

} // namespace cm
