// Opening and walking a 100 000-QSO logbook in each format, filtering and
// ordering it. Run:
//   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DCARDMINT_BENCH=ON
//   cmake --build build-bench --target bench_logbook && build-bench/bench/bench_logbook
#include "logbook/demolog.h"
#include "logbook/logfields.h"
#include "logbook/logsource.h"

#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <QTemporaryDir>
#include <QTime>
#include <benchmark/benchmark.h>
#include <cstring>

namespace {

constexpr int kQsos = 100'000;

// A Paradox 7 table of the 19 logbook fields, written the documented way.
QByteArray paradoxTable(const std::vector<std::vector<QVariant>>& qsos)
{
    struct F { const char* name; int type; int size; };
    const F fields[] = {
        {"Log", 0x16, 4}, {"Datum", 0x02, 4}, {"Gmt", 0x14, 4}, {"Call", 0x01, 20}, {"RstS", 0x01, 3},
        {"RstR", 0x01, 3}, {"Mode", 0x01, 4}, {"Band", 0x01, 4}, {"Freq", 0x06, 8}, {"QTH", 0x01, 20},
        {"Name", 0x01, 10}, {"QslS", 0x01, 8}, {"QslR", 0x01, 8}, {"Opomba", 0x01, 50},
        {"QslVia", 0x01, 100}, {"Pfx", 0x01, 20}, {"Cq", 0x03, 2}, {"Itu", 0x03, 2}, {"Country", 0x01, 40}};
    auto u16 = [](QByteArray& b, int off, int v) { b[off] = char(v & 0xFF); b[off + 1] = char((v >> 8) & 0xFF); };
    auto be = [](quint64 v, int size) {
        QByteArray b(size, '\0');
        for (int i = size - 1; i >= 0; --i, v >>= 8)
            b[i] = char(v & 0xFF);
        return b;
    };
    int rs = 0;
    QByteArray head(0x78, '\0');
    for (const F& f : fields) {
        head.append(char(f.type));
        head.append(char(f.size));
        rs += f.size;
    }
    head.append(QByteArray(4 + 4 * 19 + 261, '\0'));
    for (const F& f : fields)
        head.append(QByteArray(f.name) + '\0');
    const int headerSize = int((head.size() + 0x7FF) / 0x800 * 0x800);
    head.resize(headerSize, '\0');
    const int blockSize = 4096, perBlock = (blockSize - 6) / rs;
    const int blocks = int((qsos.size() + size_t(perBlock) - 1) / size_t(perBlock));
    u16(head, 0, rs);
    u16(head, 2, headerSize);
    head[4] = 2;
    head[5] = 4;
    u16(head, 6, int(qsos.size() & 0xFFFF));
    u16(head, 8, int(qsos.size() >> 16));
    u16(head, 0x0C, blocks);
    u16(head, 0x0E, 1);
    u16(head, 0x21, 19);
    head[0x39] = 12;
    u16(head, 0x6A, 1252);
    QByteArray out = head;
    out.reserve(headerSize + blocks * blockSize);
    for (int b = 0; b < blocks; ++b) {
        QByteArray block(blockSize, '\0');
        const int first = b * perBlock, count = std::min(perBlock, int(qsos.size()) - first);
        u16(block, 0, b + 1 < blocks ? b + 2 : 0);
        u16(block, 4, (count - 1) * rs);
        for (int i = 0; i < count; ++i) {
            QByteArray rec;
            const auto& q = qsos[size_t(first + i)];
            for (int c = 0; c < 19; ++c) {
                const QVariant& v = c == 0 ? QVariant(first + i + 1) : q[size_t(c)];
                const F& f = fields[c];
                if (!v.isValid()) {
                    rec += QByteArray(f.size, '\0');
                } else if (f.type == 0x01) {
                    QByteArray s = v.toString().toLatin1().left(f.size);
                    s.resize(f.size, '\0');
                    rec += s;
                } else if (f.type == 0x06) {
                    const double d = v.toDouble();
                    quint64 bits = 0;
                    std::memcpy(&bits, &d, 8);
                    QByteArray x = be(bits, 8);
                    x[0] = char(x[0] ^ 0x80);
                    rec += x;
                } else if (f.type == 0x03) {
                    rec += be(quint16(v.toInt()) ^ 0x8000u, 2);
                } else {
                    const qint64 n = f.type == 0x02 ? v.toDate().toJulianDay() - 1721425
                                   : f.type == 0x14 ? v.toTime().msecsSinceStartOfDay() : v.toInt();
                    rec += be(quint32(n) ^ 0x80000000u, 4);
                }
            }
            block.replace(6 + i * rs, rs, rec);
        }
        out += block;
    }
    return out;
}

QByteArray adifText(const std::vector<std::vector<QVariant>>& qsos)
{
    QByteArray out = "Generated\n<ADIF_VER:5>3.1.4 <EOH>\n";
    auto field = [&](const char* name, const QString& value) {
        if (value.isEmpty())
            return;
        const QByteArray v = value.toUtf8();
        out += '<' + QByteArray(name) + ':' + QByteArray::number(v.size()) + '>' + v + ' ';
    };
    for (const auto& q : qsos) {
        field("CALL", q[cm::LogCall].toString());
        field("QSO_DATE", q[cm::LogDatum].toDate().toString(QStringLiteral("yyyyMMdd")));
        field("TIME_ON", q[cm::LogGmt].toTime().toString(QStringLiteral("HHmm")));
        field("BAND", q[cm::LogBand].toString());
        field("MODE", q[cm::LogMode].toString());
        field("FREQ", q[cm::LogFreq].toString());
        field("RST_SENT", q[cm::LogRstS].toString());
        field("RST_RCVD", q[cm::LogRstR].toString());
        field("QTH", q[cm::LogQTH].toString());
        field("NAME", q[cm::LogName].toString());
        field("COUNTRY", q[cm::LogCountry].toString());
        field("CQZ", q[cm::LogCq].toString());
        out += "<EOR>\n";
    }
    return out;
}

struct Files {
    QTemporaryDir dir;
    QString sqlite, paradox, adif;
    Files()
    {
        const auto qsos = cm::makeDemoQsos(kQsos, 1);
        sqlite = dir.filePath(QStringLiteral("big.db"));
        cm::writeDemoLogbook(sqlite, kQsos, 1, nullptr);
        paradox = dir.filePath(QStringLiteral("BIG.DB"));
        QFile p(paradox);
        if (p.open(QIODevice::WriteOnly))
            p.write(paradoxTable(qsos));
        adif = dir.filePath(QStringLiteral("big.adi"));
        QFile a(adif);
        if (a.open(QIODevice::WriteOnly))
            a.write(adifText(qsos));
    }
};

Files& files()
{
    static Files f;
    return f;
}

void openAndWalk(benchmark::State& state, const QString& path)
{
    for (auto _ : state) {
        QString error;
        auto table = cm::openLogSource(path, &error);
        if (!table) {
            state.SkipWithError(qPrintable(error));
            return;
        }
        double sum = 0;
        qsizetype chars = 0;
        for (table->first(); !table->eof(); table->next()) {
            sum += table->toFloat(cm::LogFreq);
            chars += table->text(cm::LogCall).size();
        }
        benchmark::DoNotOptimize(sum);
        benchmark::DoNotOptimize(chars);
        state.counters["records"] = table->recordCount();
    }
}

void BM_OpenWalkSqlite(benchmark::State& state) { openAndWalk(state, files().sqlite); }
void BM_OpenWalkParadox(benchmark::State& state) { openAndWalk(state, files().paradox); }
void BM_OpenWalkAdif(benchmark::State& state) { openAndWalk(state, files().adif); }

void BM_FilterSqlite(benchmark::State& state)
{
    auto table = cm::openLogSource(files().sqlite, nullptr);
    const QString filter = QStringLiteral("(Band = '20M') OR  (Freq  >= 7) AND (Freq <= 7.2) AND "
                                          "(Mode IN ('CW','SSB')) AND (QslVia IS NOT NULL)");
    for (auto _ : state) {
        table->setFilter(filter);
        benchmark::DoNotOptimize(table->recordCount());
    }
    state.counters["matching"] = table->recordCount();
}

void BM_OrderByCallSqlite(benchmark::State& state)
{
    auto table = cm::openLogSource(files().sqlite, nullptr);
    for (auto _ : state) {
        table->setIndexFieldNames(QStringLiteral("Call;Datum"));
        benchmark::DoNotOptimize(table->recordCount());
    }
}

BENCHMARK(BM_OpenWalkSqlite)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_OpenWalkParadox)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_OpenWalkAdif)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FilterSqlite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OrderByCallSqlite)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    files();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
