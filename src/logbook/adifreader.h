#pragma once
// ADIF tagged text (.adi): <NAME:LEN[:TYPE]>DATA fields, records ending
// with <EOR>, an optional header ending with <EOH>. Real files come in UTF-8
// or a single-byte code page, and their LEN counts bytes or characters;
// the reader detects both. A field whose length fits neither way is
// reported and dropped without shifting the rest of the record.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace cm {

struct AdifField {
    QByteArray name;   // upper case
    QString value;
};

struct AdifRecord {
    int number = 0;    // 1-based, in file order
    std::vector<AdifField> fields;

    const QString* find(const char* upperName) const;
};

struct AdifReadResult {
    bool utf8 = true;          // false: single-byte text
    bool headerFound = false;
    int records = 0;
    QStringList problems;      // broken tags, lengths that fit neither way ...
    // Where a last record without <EOR> starts (the file was cut short
    // there); -1 when every record ends properly. That record is left out.
    qsizetype cutRecordAt = -1;
};

// Calls `record` for every record that ends with <EOR>.
AdifReadResult readAdif(QByteArrayView data, const std::function<void(const AdifRecord&)>& record,
                        int singleByteCodePage = 1252);

} // namespace cm
