#include "logbook/adifbackend.h"

#include "logbook/logfields.h"

#include <QFile>

namespace cm {

bool readAdifFile(const QString& path, QByteArray& out, QString* error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Cannot open %1: %2").arg(path, f.errorString());
        return false;
    }
    if (f.size() > kMaxAdifFile) {
        if (error)
            *error = QStringLiteral("%1 is too large for an ADIF file").arg(path);
        return false;
    }
    out = f.readAll();
    return true;
}

QString AdifBackend::readOnlyNotice() const
{
    return QStringLiteral("ADIF files open read-only. Import the file into a Cardmint logbook "
                          "to edit its records.");
}

QStringList AdifBackend::loadNotes() const
{
    return report_.warnings();
}

bool AdifBackend::load(LogStore& store, QString* error)
{
    QByteArray bytes;
    if (!readAdifFile(path_, bytes, error))
        return false;
    report_ = AdifImportReport();
    std::vector<QVariant> values;
    qint64 number = 0;
    const AdifReadResult read = readAdif(bytes, [&](const AdifRecord& rec) {
        ++report_.recordsRead;
        QString reason;
        if (!adifRecordToLog(rec, values, &reason, report_)) {
            report_.skipped << QStringLiteral("record %1: %2").arg(rec.number).arg(reason);
            return;
        }
        ++report_.recordsImported;
        const int row = store.appendRow();
        store.setInteger(row, LogLog, ++number);
        for (int col = 1; col < LogFieldCount; ++col) {
            const QVariant& v = values[size_t(col)];
            if (!v.isValid())
                continue;
            switch (v.typeId()) {
            case QMetaType::QDate: store.setInteger(row, col, toStoredDate(v.toDate())); break;
            case QMetaType::QTime: store.setInteger(row, col, toStoredTime(v.toTime())); break;
            case QMetaType::Double: store.setReal(row, col, v.toDouble()); break;
            case QMetaType::Int: store.setInteger(row, col, v.toInt()); break;
            default: store.setText(row, col, v.toString()); break;
            }
        }
    });
    report_.takeReadResult(read);
    return true;
}

} // namespace cm
