#include "report/dataset.h"

#include "expr/numberformat.h"

namespace cm {

bool isIntegerField(FieldType t)
{
    return t == FieldType::SmallInt || t == FieldType::Integer || t == FieldType::Word ||
           t == FieldType::AutoInc;
}

bool isFloatField(FieldType t)
{
    return t == FieldType::Float || t == FieldType::Currency || t == FieldType::BCD;
}

bool isDateTimeField(FieldType t)
{
    return t == FieldType::Date || t == FieldType::Time || t == FieldType::DateTime;
}

bool isBlobField(FieldType t)
{
    return t == FieldType::Memo || t == FieldType::Blob || t == FieldType::Graphic ||
           t == FieldType::Bytes;
}

int DataSet::fieldIndex(QStringView fieldName) const
{
    const int n = fieldCount();
    for (int i = 0; i < n; ++i) {
        if (field(i).name.compare(fieldName, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString DataSet::displayText(int index) const
{
    const FieldDef& def = field(index);
    if (isNull(index))
        return QString();
    if (!def.displayFormat.isEmpty() && (isFloatField(def.type) || isIntegerField(def.type)))
        return formatFloat(def.displayFormat, toFloat(index), FormatSettings::current());
    return text(index);
}

QByteArray DataSet::blob(int index) const { return text(index).toUtf8(); }

} // namespace cm
