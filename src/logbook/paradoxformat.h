#pragma once
// Paradox table files (.db), read from the publicly documented layout:
// a header with the field definitions, then a chain of data blocks of
// fixed-size records. Every length, count and offset is checked against the
// bytes there are before it is used.
#include "report/dataset.h"

#include <QByteArrayView>
#include <functional>
#include <optional>
#include <vector>

namespace cm {

struct ParadoxField {
    QString name;
    int type = 0;       // the Paradox type code
    int size = 0;       // bytes in the record
    int offset = 0;     // from the start of the record
    FieldType fieldType = FieldType::String;
};

struct ParadoxHeader {
    int recordSize = 0;
    int headerSize = 0;
    int fileType = 0;
    int blockSize = 0;
    qint64 recordCount = 0;
    int fileBlocks = 0;
    int firstBlock = 0;
    int primaryKeyFields = 0;
    int version = 0;     // file version id (3 = 3.0 ... 12 = 7.x)
    int codePage = 0;
    QString tableName;   // of an index file: the index's name
    std::vector<ParadoxField> fields;
};

namespace paradox {
constexpr int Alpha = 0x01, Date = 0x02, Short = 0x03, Long = 0x04, Currency = 0x05,
              Number = 0x06, Logical = 0x09, Memo = 0x0C, Blob = 0x0D, FmtMemo = 0x0E,
              Ole = 0x0F, Graphic = 0x10, Time = 0x14, Timestamp = 0x15, AutoInc = 0x16,
              Bcd = 0x17, Bytes = 0x18;
// File types of the secondary index files of a composite index (.XGn).
constexpr int CompositeIndex = 6, CompositeIndexIncrementing = 8;
// Julian day of the day before 0001-01-01: Paradox dates count from 1.
constexpr qint64 DateBase = 1721425;
} // namespace paradox

// The first bytes needed to read a header: min(file size, this).
constexpr int kParadoxHeaderProbe = 0x10000;

// Reads and checks the header of a data table (`indexFile` also accepts the
// header of an index file). Needs at least the header's bytes.
std::optional<ParadoxHeader> parseParadoxHeader(QByteArrayView data, QString* error, bool indexFile = false);

// Calls `record` with each record's bytes in table order. False with a
// reason when the block chain is damaged.
bool forEachParadoxRecord(QByteArrayView data, const ParadoxHeader& header,
                          const std::function<void(const char* record)>& record, QString* error);

// Decoders of stored values; false for a null value.
bool paradoxInteger(const char* p, int size, qint64& value);   // Short, Long, AutoInc, Date, Time
bool paradoxDouble(const char* p, double& value);               // Number, Currency, Timestamp
bool paradoxLogical(const char* p, bool& value);

} // namespace cm
