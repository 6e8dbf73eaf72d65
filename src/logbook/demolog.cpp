#include "logbook/demolog.h"

#include "logbook/logfields.h"
#include "logbook/sqlitelogbook.h"

#include <QDate>
#include <QFile>
#include <QTime>
#include <array>
#include <cmath>
#include <random>

namespace cm {

namespace {

struct Country {
    const char* prefix;    // prefix of the calls, a digit follows
    const char* pfx;       // the prefix as logged
    const char* name;
    int cq;
    int itu;
    std::array<const char*, 4> names;
    std::array<const char*, 3> qths;
};

const Country kCountries[] = {
    {"S5", "S5", "Slovenia", 15, 28, {"Janez", "Marko", "Mojca", "Rok"}, {"Ljubljana", "Maribor", "Celje"}},
    {"9A", "9A", "Croatia", 15, 28, {"Ivan", "Ana", "Tomislav", "Goran"}, {"Zagreb", "Split", "Rijeka"}},
    {"OE", "OE", "Austria", 15, 28, {"Franz", "Josef", "Maria", "Peter"}, {"Wien", "Graz", "Linz"}},
    {"DL", "DL", "Germany", 14, 28, {"Klaus", "Jürgen", "Uwe", "Heike"}, {"München", "Köln", "Hamburg"}},
    {"I", "I", "Italy", 15, 28, {"Marco", "Giuseppe", "Luca", "Paolo"}, {"Roma", "Milano", "Torino"}},
    {"F", "F", "France", 14, 27, {"Jean", "Pierre", "Michel", "Luc"}, {"Paris", "Lyon", "Nantes"}},
    {"EA", "EA", "Spain", 14, 37, {"José", "Antonio", "Carlos", "Pilar"}, {"Madrid", "Ávila", "Sevilla"}},
    {"G", "G", "England", 14, 27, {"John", "David", "Peter", "Sue"}, {"London", "Leeds", "Bristol"}},
    {"OK", "OK", "Czech Republic", 15, 28, {"Jiří", "Petr", "Jan", "Pavel"}, {"Praha", "Brno", "Plzeň"}},
    {"SP", "SP", "Poland", 15, 28, {"Andrzej", "Piotr", "Krzysztof", "Marek"}, {"Warszawa", "Kraków", "Łódź"}},
    {"HA", "HA", "Hungary", 15, 28, {"László", "István", "Gábor", "Zoltán"}, {"Budapest", "Szeged", "Pécs"}},
    {"UA", "UA", "European Russia", 16, 29, {"Sergey", "Vladimir", "Alexey", "Oleg"}, {"Moscow", "Kazan", "Samara"}},
    {"K", "K", "United States", 5, 8, {"Bob", "Jim", "Mike", "Bill"}, {"Boston", "Denver", "Austin"}},
    {"W", "W", "United States", 4, 7, {"Tom", "Dave", "Rich", "Ed"}, {"Chicago", "Dallas", "Seattle"}},
    {"VE", "VE", "Canada", 5, 9, {"Pierre", "Doug", "Gary", "Ron"}, {"Toronto", "Ottawa", "Halifax"}},
    {"JA", "JA", "Japan", 25, 45, {"Hiro", "Taka", "Yoshi", "Ken"}, {"Tokyo", "Osaka", "Nagoya"}},
    {"VK", "VK", "Australia", 30, 59, {"Bruce", "Ian", "Graham", "Steve"}, {"Sydney", "Perth", "Hobart"}},
    {"ZL", "ZL", "New Zealand", 32, 60, {"Murray", "Kevin", "Alan", "Ross"}, {"Auckland", "Nelson", "Otago"}},
    {"PY", "PY", "Brazil", 11, 15, {"João", "Paulo", "Carlos", "Marcos"}, {"São Paulo", "Recife", "Curitiba"}},
    {"LU", "LU", "Argentina", 13, 14, {"Jorge", "Raúl", "Daniel", "Hugo"}, {"Buenos Aires", "Córdoba", "Rosario"}},
    {"ZS", "ZS", "South Africa", 38, 57, {"Johan", "Pieter", "Andre", "Willem"}, {"Pretoria", "Durban", "Cape Town"}},
    {"VU", "VU", "India", 22, 41, {"Ravi", "Suresh", "Anil", "Raj"}, {"Mumbai", "Delhi", "Chennai"}},
    {"OH", "OH", "Finland", 15, 18, {"Jari", "Pekka", "Mikko", "Timo"}, {"Helsinki", "Espoo", "Oulu"}},
    {"SM", "SM", "Sweden", 14, 18, {"Lars", "Anders", "Per", "Olle"}, {"Stockholm", "Malmö", "Uppsala"}},
    {"LA", "LA", "Norway", 14, 18, {"Knut", "Ola", "Bjørn", "Arne"}, {"Oslo", "Bergen", "Tromsø"}},
    {"YU", "YU", "Serbia", 15, 28, {"Dragan", "Zoran", "Miloš", "Nenad"}, {"Beograd", "Niš", "Novi Sad"}},
    {"LZ", "LZ", "Bulgaria", 20, 28, {"Georgi", "Ivan", "Dimitar", "Petar"}, {"Sofia", "Plovdiv", "Varna"}},
    {"4X", "4X", "Israel", 20, 39, {"David", "Moshe", "Avi", "Yossi"}, {"Haifa", "Tel Aviv", "Eilat"}},
    {"CT", "CT", "Portugal", 14, 37, {"João", "Rui", "Nuno", "Pedro"}, {"Lisboa", "Porto", "Faro"}},
    {"EI", "EI", "Ireland", 14, 27, {"Sean", "Liam", "Declan", "Niall"}, {"Dublin", "Cork", "Galway"}},
};

struct BandPlan {
    const char* band;
    double low;    // MHz
    double high;
    int weight;
};

const BandPlan kBands[] = {
    {"160M", 1.810, 1.990, 2}, {"80M", 3.500, 3.800, 8}, {"40M", 7.000, 7.200, 14},
    {"30M", 10.100, 10.150, 5}, {"20M", 14.000, 14.350, 20}, {"17M", 18.068, 18.168, 6},
    {"15M", 21.000, 21.450, 10}, {"12M", 24.890, 24.990, 4}, {"10M", 28.000, 29.700, 8},
    {"6M", 50.000, 50.500, 3}, {"2M", 144.000, 146.000, 4},
};

} // namespace

std::vector<std::vector<QVariant>> makeDemoQsos(int count, quint32 variant)
{
    std::mt19937 rng(variant);
    auto pick = [&](int n) { return int(rng() % quint32(n)); };
    int totalWeight = 0;
    for (const BandPlan& b : kBands)
        totalWeight += b.weight;

    std::vector<std::vector<QVariant>> qsos;
    qsos.reserve(size_t(std::max(count, 0)));
    QDate date(2019, 3, 2);
    int minuteOfDay = 6 * 60;
    for (int i = 0; i < count; ++i) {
        std::vector<QVariant> v(LogFieldCount);
        const Country& c = kCountries[pick(int(std::size(kCountries)))];
        QString suffix;
        const int letters = 2 + pick(2);
        for (int k = 0; k < letters; ++k)
            suffix += QChar(u'A' + pick(26));
        const QString call = QString::fromLatin1(c.prefix) + QString::number(pick(10)) + suffix;

        // A few QSOs an hour, in sessions over several years.
        minuteOfDay += 2 + pick(25);
        if (minuteOfDay >= 24 * 60 || pick(40) == 0) {
            date = date.addDays(1 + pick(5));
            minuteOfDay = pick(18 * 60);
        }
        int w = pick(totalWeight);
        const BandPlan* band = &kBands[0];
        for (const BandPlan& b : kBands) {
            if (w < b.weight) {
                band = &b;
                break;
            }
            w -= b.weight;
        }
        static const char* const modes[] = {"CW", "SSB", "FT8", "RTTY", "FT4", "PSK"};
        QString mode = QString::fromLatin1(modes[pick(int(std::size(modes)))]);
        if (QLatin1String(band->band) == QLatin1String("2M"))
            mode = pick(2) ? QStringLiteral("FM") : QStringLiteral("SSB");
        const bool phone = mode == u"SSB" || mode == u"FM";
        const bool digital = mode == u"FT8" || mode == u"FT4";
        auto rst = [&]() {
            if (digital)
                return QString::number(-20 + pick(30));
            const int r = 3 + pick(3), s = 5 + pick(5);
            return QString::number(r) + QString::number(s) + (phone ? QString() : QStringLiteral("9"));
        };
        const double freq = band->low + (band->high - band->low) * (pick(1000) / 1000.0);

        static const char* const sent[] = {"Y", "Y", "Y", "N", "Q", "R"};
        static const char* const rcvd[] = {"Y", "N", "N", "Y", "R"};
        static const char* const vias[] = {"BURO", "DIRECT", "LOTW", "EQSL"};
        static const char* const remarks[] = {"Nice signal", "QRP 5 W", "Contest QSO",
                                              "First QSO with this country", "Portable, SOTA",
                                              "Thanks for the QSO", "Loud and clear"};

        v[LogDatum] = date;
        v[LogGmt] = QTime(minuteOfDay / 60, minuteOfDay % 60);
        v[LogCall] = call;
        v[LogRstS] = rst();
        v[LogRstR] = rst();
        v[LogMode] = mode;
        v[LogBand] = QString::fromLatin1(band->band);
        v[LogFreq] = std::round(freq * 1000.0) / 1000.0;
        if (pick(5) != 0)
            v[LogQTH] = QString::fromUtf8(c.qths[size_t(pick(3))]);
        if (pick(6) != 0)
            v[LogName] = QString::fromUtf8(c.names[size_t(pick(4))]);
        v[LogQslS] = QString::fromLatin1(sent[pick(int(std::size(sent)))]);
        v[LogQslR] = QString::fromLatin1(rcvd[pick(int(std::size(rcvd)))]);
        if (pick(4) == 0)
            v[LogOpomba] = QString::fromLatin1(remarks[pick(int(std::size(remarks)))]);
        if (pick(8) == 0)
            v[LogQslVia] = QString::fromLatin1(c.prefix) + QString::number(pick(10)) +
                           QStringLiteral("QSL");
        else
            v[LogQslVia] = QString::fromLatin1(vias[pick(int(std::size(vias)))]);
        v[LogPfx] = QString::fromLatin1(c.pfx) + call.mid(int(qstrlen(c.prefix)), 1);
        v[LogCq] = c.cq;
        v[LogItu] = c.itu;
        v[LogCountry] = QString::fromUtf8(c.name);
        qsos.push_back(std::move(v));
    }
    return qsos;
}

bool writeDemoLogbook(const QString& path, int count, quint32 variant, QString* error)
{
    if (!createSqliteLogbook(path, error))
        return false;
    bool ok = false;
    {
        SqliteConnection c;
        if (c.open(path, false, error)) {
            LogbookInserter inserter(c.db());
            ok = inserter.begin(error);
            for (const auto& qso : makeDemoQsos(count, variant)) {
                if (!ok)
                    break;
                ok = inserter.insert(qso, nullptr, error);
            }
            ok = ok && inserter.commit(error);
        }
    }
    if (!ok)
        QFile::remove(path);
    return ok;
}

} // namespace cm
