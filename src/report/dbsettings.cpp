#include "report/dbsettings.h"

#include "report/propbuilder.h"

#include <algorithm>
#include <array>

namespace cm {

namespace enums {
const EnumType delimiterType{"TQRDelimiterType", {"delCustom", "delNoQuotes", "delSingleQuotes",
                                                  "delDoubleQuotes", "delOracle", "delAccess"}};
} // namespace enums

namespace {

// Field, string, table and date delimiters (left, right), then the wildcard.
using Quotes = std::array<const char*, 9>;

const Quotes* quotesOf(TQRDelimiterType type)
{
    static const Quotes none{"", "", "'", "'", "'", "'", "'", "'", "%"};
    static const Quotes single{"'", "'", "'", "'", "'", "'", "'", "'", "%"};
    static const Quotes twice{"\"", "\"", "\"", "\"", "\"", "\"", "\"", "\"", "%"};
    static const Quotes oracle{"\"", "\"", "'", "'", "\"", "\"", "'", "'", "%"};
    static const Quotes access{"[", "]", "\"", "\"", "[", "]", "#", "#", "*"};
    switch (type) {
    case TQRDelimiterType::delCustom: return nullptr;
    case TQRDelimiterType::delNoQuotes: return &none;
    case TQRDelimiterType::delSingleQuotes: return &single;
    case TQRDelimiterType::delDoubleQuotes: return &twice;
    case TQRDelimiterType::delOracle: return &oracle;
    case TQRDelimiterType::delAccess: return &access;
    }
    return nullptr;
}

} // namespace

std::array<QString*, 9> TQRDatabaseSettings::strings()
{
    return {&fieldLeft, &fieldRight, &stringLeft, &stringRight, &tableLeft, &tableRight, &dateLeft, &dateRight, &wildcard};
}

void TQRDatabaseSettings::setDelimiterType(TQRDelimiterType type)
{
    delimiterType_ = type;
    const Quotes* q = quotesOf(type);
    if (!q)
        return;
    const std::array<QString*, 9> targets = strings();
    for (size_t i = 0; i < q->size(); ++i)
        *targets[i] = QString::fromLatin1((*q)[i]);
}

void TQRDatabaseSettings::beginRead()
{
    for (QString* s : strings())
        s->clear();
}

void TQRDatabaseSettings::endRead()
{
    // Every type but custom has strings that are not empty.
    const std::array<QString*, 9> all = strings();
    if (std::all_of(all.begin(), all.end(), [](const QString* s) { return s->isEmpty(); }))
        setDelimiterType(delimiterType_);
}

const ClassInfo& TQRDatabaseSettings::classInfo() const { return staticClassInfo(); }
const ClassInfo& TQRDatabaseSettings::staticClassInfo()
{
    using C = TQRDatabaseSettings;
    using namespace props;
    const auto text = [](const char* name, QString C::*m) { return field(name, PropKind::String, m).shortString(); };
    static const ClassInfo info{
        "TQRDatabaseSettings",
        {
            prop<C>("DelimiterType", PropKind::Enum, &C::delimiterType, &C::setDelimiterType).type(&enums::delimiterType),
            text("SQLFieldDelimiterLeft", &C::fieldLeft),
            text("SQLFieldDelimiterRight", &C::fieldRight),
            text("SQLStringDelimiterLeft", &C::stringLeft),
            text("SQLStringDelimiterRight", &C::stringRight),
            text("SQLTableDelimiterLeft", &C::tableLeft),
            text("SQLTableDelimiterRight", &C::tableRight),
            text("SQLDateDelimiterLeft", &C::dateLeft),
            text("SQLDateDelimiterRight", &C::dateRight),
            text("SQLWildcard", &C::wildcard),
        },
        {},
        {},
    };
    return info;
}

} // namespace cm
