#pragma once
// How SQL text quotes field names, strings, table names and dates, and the
// wildcard of LIKE patterns. A delimiter type other than custom stands for
// a fixed set of the nine strings.
#include "report/proptable.h"

#include <QString>
#include <array>

namespace cm {

enum class TQRDelimiterType : int { delCustom, delNoQuotes, delSingleQuotes, delDoubleQuotes, delOracle, delAccess };

namespace enums {
extern const EnumType delimiterType;
} // namespace enums

class TQRDatabaseSettings : public Persistent {
public:
    TQRDatabaseSettings() { setDelimiterType(TQRDelimiterType::delSingleQuotes); }
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();

    TQRDelimiterType delimiterType() const { return delimiterType_; }
    // Any type but custom fills all nine strings; custom keeps them.
    void setDelimiterType(TQRDelimiterType type);

    // Only strings that are not empty are stored, so reading starts from
    // none of them; when nothing at all was stored, the type fills them.
    void beginRead();
    void endRead();

    QString fieldLeft, fieldRight;
    QString stringLeft, stringRight;
    QString tableLeft, tableRight;
    QString dateLeft, dateRight;
    QString wildcard;

private:
    std::array<QString*, 9> strings();
    TQRDelimiterType delimiterType_ = TQRDelimiterType::delCustom;
};

} // namespace cm
