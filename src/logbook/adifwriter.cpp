#include "logbook/adifwriter.h"

#include "logbook/logfields.h"
#include "logbook/logtable.h"

#include <QRegularExpression>
#include <QSaveFile>

namespace cm {

QByteArray adifField(const char* name, const QString& data)
{
    const QByteArray bytes = data.toUtf8();
    return '<' + QByteArray(name) + ':' + QByteArray::number(bytes.size()) + '>' + bytes;
}

std::pair<QString, QString> adifModeOf(const QString& logbookMode)
{
    // The import keeps the submode where the mode names only a family; the
    // export gives the family back, as ADIF 3 wants both.
    static const std::map<QString, QString> families = {
        {QStringLiteral("FT4"), QStringLiteral("MFSK")},    {QStringLiteral("JS8"), QStringLiteral("MFSK")},
        {QStringLiteral("Q65"), QStringLiteral("MFSK")},    {QStringLiteral("FST4"), QStringLiteral("MFSK")},
        {QStringLiteral("USB"), QStringLiteral("SSB")},     {QStringLiteral("LSB"), QStringLiteral("SSB")},
        {QStringLiteral("PSK31"), QStringLiteral("PSK")},   {QStringLiteral("PSK63"), QStringLiteral("PSK")},
        {QStringLiteral("BPSK31"), QStringLiteral("PSK")},  {QStringLiteral("QPSK31"), QStringLiteral("PSK")},
        {QStringLiteral("JT9H"), QStringLiteral("JT9")},    {QStringLiteral("FMHELL"), QStringLiteral("HELL")},
    };
    const QString mode = logbookMode.trimmed().toUpper();
    const auto it = families.find(mode);
    if (it != families.end())
        return {it->second, mode};
    return {mode, QString()};
}

QByteArray adifDocument(const LogTable& table, const std::map<qint64, QDate>& sentDates, const QDateTime& created)
{
    QByteArray out = "Cardmint ADIF export\n";
    out += adifField("ADIF_VER", QStringLiteral("3.1.4")) + '\n';
    out += adifField("PROGRAMID", QStringLiteral("Cardmint")) + '\n';
    out += adifField("CREATED_TIMESTAMP", created.toUTC().toString(QStringLiteral("yyyyMMdd HHmmss"))) + '\n';
    out += "<EOH>\n";
    auto text = [&](int record, int field) { return table.recordText(record, field).trimmed(); };
    for (int r = 0; r < table.recordCount(); ++r) {
        QByteArray rec;
        auto put = [&rec](const char* name, const QString& value) {
            if (!value.isEmpty())
                rec += adifField(name, value) + ' ';
        };
        const QVariant date = table.recordValue(r, LogDatum);
        if (date.isValid())
            put("QSO_DATE", date.toDate().toString(QStringLiteral("yyyyMMdd")));
        const QVariant time = table.recordValue(r, LogGmt);
        if (time.isValid())
            put("TIME_ON", time.toTime().toString(QStringLiteral("HHmmss")));
        put("CALL", text(r, LogCall));
        put("RST_SENT", text(r, LogRstS));
        put("RST_RCVD", text(r, LogRstR));
        const auto [mode, submode] = adifModeOf(text(r, LogMode));
        put("MODE", mode);
        put("SUBMODE", submode);
        put("BAND", text(r, LogBand).toLower());
        const QVariant freq = table.recordValue(r, LogFreq);
        if (freq.isValid() && freq.toDouble() > 0)
            put("FREQ", QString::number(freq.toDouble(), 'f', 6).remove(QRegularExpression(QStringLiteral("\\.?0+$"))));
        put("QTH", text(r, LogQTH));
        put("NAME", text(r, LogName));
        const QString sent = text(r, LogQslS).toUpper();
        put("QSL_SENT", sent);
        if (sent == u"Y") {
            const QVariant log = table.recordValue(r, LogLog);
            const auto it = log.isValid() ? sentDates.find(log.toLongLong()) : sentDates.end();
            if (it != sentDates.end())
                put("QSLSDATE", it->second.toString(QStringLiteral("yyyyMMdd")));
        }
        put("QSL_RCVD", text(r, LogQslR).toUpper());
        put("COMMENT", text(r, LogOpomba));
        put("QSL_VIA", text(r, LogQslVia));
        put("PFX", text(r, LogPfx));
        put("CQZ", text(r, LogCq));
        put("ITUZ", text(r, LogItu));
        put("COUNTRY", text(r, LogCountry));
        out += rec + "<EOR>\n";
    }
    return out;
}

bool writeFileSafely(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = QStringLiteral("Cannot write \"%1\": %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace cm
