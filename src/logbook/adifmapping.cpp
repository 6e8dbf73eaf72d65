#include "logbook/adifmapping.h"

#include "logbook/logfields.h"

#include <QDate>
#include <QTime>
#include <optional>

namespace cm {

namespace {

// Modes that only name a family; the submode says what was used.
bool isModeFamily(const QString& mode)
{
    static const QStringList families = {
        QStringLiteral("MFSK"), QStringLiteral("PSK"), QStringLiteral("HELL"), QStringLiteral("JT4"),
        QStringLiteral("JT9"), QStringLiteral("JT65"), QStringLiteral("OLIVIA"), QStringLiteral("THOR"),
        QStringLiteral("THRB"), QStringLiteral("DOMINO"), QStringLiteral("CONTESTI"),
        QStringLiteral("QRA64"), QStringLiteral("DIGITALVOICE"), QStringLiteral("FSK441")};
    return families.contains(mode);
}

std::optional<QDate> adifDate(const QString& s)
{
    if (s.size() != 8)
        return std::nullopt;
    bool ok1 = false, ok2 = false, ok3 = false;
    const QDate d(s.left(4).toInt(&ok1), s.mid(4, 2).toInt(&ok2), s.mid(6, 2).toInt(&ok3));
    if (ok1 && ok2 && ok3 && d.isValid())
        return d;
    return std::nullopt;
}

std::optional<QTime> adifTime(const QString& s)
{
    if (s.size() != 4 && s.size() != 6)
        return std::nullopt;
    for (QChar c : s)
        if (!c.isDigit())
            return std::nullopt;
    const QTime t(s.left(2).toInt(), s.mid(2, 2).toInt(), s.size() == 6 ? s.mid(4, 2).toInt() : 0);
    if (t.isValid())
        return t;
    return std::nullopt;
}

} // namespace

bool adifRecordToLog(const AdifRecord& record, std::vector<QVariant>& values, QString* skipReason,
                     AdifImportReport& report)
{
    values.assign(LogFieldCount, QVariant());
    const QString where = QStringLiteral("record %1").arg(record.number);

    auto text = [&](const char* name) -> QString {
        const QString* v = record.find(name);
        return v ? v->trimmed() : QString();
    };
    auto put = [&](int col, const QString& value) {
        if (!value.isEmpty())
            values[size_t(col)] = value;
    };

    const QString call = text("CALL").toUpper();
    if (call.isEmpty()) {
        *skipReason = QStringLiteral("no CALL");
        return false;
    }
    const QString date = text("QSO_DATE");
    if (!date.isEmpty()) {
        const auto d = adifDate(date);
        if (!d) {
            *skipReason = QStringLiteral("QSO_DATE \"%1\" is not a date (YYYYMMDD)").arg(date);
            return false;
        }
        values[LogDatum] = *d;
    }
    const QString time = text("TIME_ON");
    if (!time.isEmpty()) {
        const auto t = adifTime(time);
        if (!t) {
            *skipReason = QStringLiteral("TIME_ON \"%1\" is not a time (HHMM or HHMMSS)").arg(time);
            return false;
        }
        values[LogGmt] = *t;
    }

    put(LogCall, call);
    put(LogRstS, text("RST_SENT"));
    put(LogRstR, text("RST_RCVD"));
    const QString mode = text("MODE").toUpper();
    const QString submode = text("SUBMODE").toUpper();
    put(LogMode, !submode.isEmpty() && (mode.isEmpty() || isModeFamily(mode)) ? submode : mode);
    put(LogBand, text("BAND").toUpper());
    const QString freq = text("FREQ");
    if (!freq.isEmpty()) {
        bool ok = false;
        const double f = freq.toDouble(&ok);
        if (ok && qIsFinite(f) && f >= 0)
            values[LogFreq] = f;
        else
            report.valueProblems << QStringLiteral("%1: FREQ \"%2\" is not a number; left empty").arg(where, freq);
    }
    put(LogQTH, text("QTH"));
    put(LogName, text("NAME"));
    put(LogQslS, text("QSL_SENT").toUpper());
    put(LogQslR, text("QSL_RCVD").toUpper());
    const QString comment = text("COMMENT");
    if (!comment.isEmpty())
        put(LogOpomba, comment);
    else
        put(LogOpomba, text("NOTES"));
    put(LogQslVia, text("QSL_VIA"));
    put(LogPfx, text("PFX").toUpper());
    auto zone = [&](int col, const char* name, int highest) {
        const QString s = text(name);
        if (s.isEmpty())
            return;
        bool ok = false;
        const int z = s.toInt(&ok);
        if (ok && z >= 1 && z <= highest)
            values[size_t(col)] = z;
        else
            report.valueProblems << QStringLiteral("%1: %2 \"%3\" is not a zone from 1 to %4; left empty")
                                        .arg(where, QLatin1String(name), s).arg(highest);
    };
    zone(LogCq, "CQZ", 40);
    zone(LogItu, "ITUZ", 90);
    put(LogCountry, text("COUNTRY"));
    if (date.isEmpty())
        report.withoutDate << QStringLiteral("%1: %2").arg(where, call);
    return true;
}

static void appendShortened(QStringList& out, const QStringList& list, int limit)
{
    for (int i = 0; i < list.size() && i < limit; ++i)
        out << QStringLiteral("  ") + list[i];
    if (list.size() > limit)
        out << QStringLiteral("  ... and %1 more").arg(list.size() - limit);
}

void AdifImportReport::takeReadResult(const AdifReadResult& read)
{
    utf8 = read.utf8;
    fileProblems = read.problems;
    cutRecordAt = read.cutRecordAt;
}

QStringList AdifImportReport::counts() const
{
    QStringList lines;
    lines << QStringLiteral("Records read: %1 (%2)").arg(recordsRead)
                 .arg(utf8 ? QStringLiteral("UTF-8") : QStringLiteral("single-byte text"));
    lines << QStringLiteral("Records imported: %1").arg(recordsImported);
    if (duplicatesSkipped > 0) {
        lines << QStringLiteral("Duplicates skipped (already in the logbook): %1").arg(duplicatesSkipped);
        appendShortened(lines, duplicates, 50);
    }
    return lines;
}

QStringList AdifImportReport::warnings() const
{
    QStringList lines;
    if (cutRecordAt >= 0)
        lines << QStringLiteral("The file is cut short: the last record (from byte %1) has no <EOR> "
                                "and is left out").arg(cutRecordAt);
    if (!skipped.isEmpty()) {
        lines << QStringLiteral("Records skipped: %1").arg(skipped.size());
        appendShortened(lines, skipped, 50);
    }
    if (!withoutDate.isEmpty()) {
        lines << QStringLiteral("Records without QSO_DATE (their cards show no date): %1").arg(withoutDate.size());
        appendShortened(lines, withoutDate, 50);
    }
    if (!valueProblems.isEmpty()) {
        lines << QStringLiteral("Values left empty: %1").arg(valueProblems.size());
        appendShortened(lines, valueProblems, 50);
    }
    if (!fileProblems.isEmpty()) {
        lines << QStringLiteral("Problems in the file: %1").arg(fileProblems.size());
        appendShortened(lines, fileProblems, 50);
    }
    return lines;
}

} // namespace cm
