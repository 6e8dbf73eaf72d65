// A table written by pxlib, an independent Paradox implementation, read back
// with our reader: the reader must agree with a real writer, not only with
// the fixture builder that shares its reading of the format.
#include "logbook/logfields.h"
#include "logbook/logsource.h"
#include "report/codepage.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

extern "C" {   // the header does not say so itself
#include <paradox.h>
}

using namespace cm;

namespace {

struct PxDocDeleter {
    void operator()(pxdoc_t* doc) const
    {
        PX_close(doc);
        PX_delete(doc);
    }
};

struct Field {
    const char* name;
    char type;
    int size;
};

// The 19 logbook fields as the logbook program defines them.
const Field kFields[] = {
    {"Log", pxfAutoInc, 4}, {"Datum", pxfDate, 4}, {"Gmt", pxfTime, 4}, {"Call", pxfAlpha, 20},
    {"RstS", pxfAlpha, 3}, {"RstR", pxfAlpha, 3}, {"Mode", pxfAlpha, 4}, {"Band", pxfAlpha, 4},
    {"Freq", pxfNumber, 8}, {"QTH", pxfAlpha, 20}, {"Name", pxfAlpha, 10}, {"QslS", pxfAlpha, 8},
    {"QslR", pxfAlpha, 8}, {"Opomba", pxfAlpha, 50}, {"QslVia", pxfAlpha, 100}, {"Pfx", pxfAlpha, 20},
    {"Cq", pxfShort, 2}, {"Itu", pxfShort, 2}, {"Country", pxfAlpha, 40},
};
constexpr int kFieldCount = int(std::size(kFields));

struct Qso {
    int log;
    QDate date;
    QTime time;
    QString call;
    double freq;
    int cq;
    QString qth;   // in code page 1250 on disk
};

bool writeWithPxlib(const QString& path, const std::vector<Qso>& qsos)
{
    std::unique_ptr<pxdoc_t, PxDocDeleter> doc(PX_new());
    if (!doc)
        return false;
    // pxlib takes the field list and frees it with its own allocator (malloc).
    auto* fields = static_cast<pxfield_t*>(std::calloc(kFieldCount, sizeof(pxfield_t)));
    for (int i = 0; i < kFieldCount; ++i) {
        fields[i].px_fname = strdup(kFields[i].name);
        fields[i].px_ftype = kFields[i].type;
        fields[i].px_flen = kFields[i].size;
    }
    if (PX_create_file(doc.get(), fields, kFieldCount, path.toLocal8Bit().constData(), pxfFileTypNonIndexDB) < 0)
        return false;
    PX_set_value(doc.get(), "codepage", 1250);
    const CodePage cp1250(1250);
    std::vector<char> record(size_t(PX_get_recordsize(doc.get())));
    for (const Qso& q : qsos) {
        std::fill(record.begin(), record.end(), 0);
        char* p = record.data();
        auto alpha = [&](int size, const QString& text) {
            QByteArray bytes = cp1250.encode(text);
            PX_put_data_alpha(doc.get(), p, size, bytes.data());
        };
        PX_put_data_long(doc.get(), p, 4, q.log);
        p += 4;
        PX_put_data_long(doc.get(), p, 4, int(q.date.toJulianDay() - 1721425));
        p += 4;
        PX_put_data_long(doc.get(), p, 4, q.time.msecsSinceStartOfDay());
        p += 4;
        alpha(20, q.call);
        p += 20 + 3 + 3;
        alpha(4, QStringLiteral("CW"));
        p += 4;
        alpha(4, QStringLiteral("20M"));
        p += 4;
        PX_put_data_double(doc.get(), p, 8, q.freq);
        p += 8;
        alpha(20, q.qth);
        p += 20 + 10 + 8 + 8 + 50 + 100 + 20;
        PX_put_data_short(doc.get(), p, 2, short(q.cq));
        // Itu and Country stay empty (null).
        if (PX_put_record(doc.get(), record.data()) < 0)
            return false;
    }
    return true;
}

TEST(ParadoxReader, ReadsWhatPxlibWrote)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("PXLOG.DB"));
    const std::vector<Qso> qsos = {
        {1, QDate(2024, 2, 29), QTime(23, 59, 58), QStringLiteral("S57DX"), 14.0255, 15, QStringLiteral("Ljubljana")},
        {2, QDate(1999, 12, 31), QTime(0, 0, 1), QStringLiteral("OK1ABC"), 7.001, 15, QStringLiteral("Žďár nad Sázavou")},
        {3, QDate(2026, 1, 1), QTime(12, 0), QStringLiteral("9A/DL1XYZ/P"), 3.5, 14, QStringLiteral("Šibenik")},
    };
    ASSERT_TRUE(writeWithPxlib(path, qsos));

    QString error;
    auto table = openLogSource(path, &error);
    ASSERT_TRUE(table) << error.toStdString();
    EXPECT_EQ(table->recordCount(), 3);
    table->first();
    for (const Qso& q : qsos) {
        SCOPED_TRACE(q.log);
        ASSERT_FALSE(table->eof());
        EXPECT_EQ(table->toInteger(LogLog), q.log);
        EXPECT_EQ(table->toDateTime(LogDatum).date(), q.date);
        EXPECT_EQ(table->toDateTime(LogGmt).time(), q.time);
        EXPECT_EQ(table->text(LogCall), q.call);
        EXPECT_EQ(table->text(LogMode), QStringLiteral("CW"));
        EXPECT_DOUBLE_EQ(table->toFloat(LogFreq), q.freq);
        EXPECT_EQ(table->text(LogQTH), q.qth);
        EXPECT_EQ(table->toInteger(LogCq), q.cq);
        EXPECT_TRUE(table->isNull(LogItu));
        EXPECT_TRUE(table->isNull(LogCountry));
        table->next();
    }
    EXPECT_TRUE(table->eof());
}

} // namespace
