// cardmint-cli export-adif LOG OUT.adi [--filter TEXT]: writes the QSOs of a
// log as ADIF 3, with the "Qsl Sent" marks, for the operator's main logger.
#include "cli.h"

#include "logbook/adifwriter.h"
#include "logbook/logsource.h"
#include "logbook/qslmarks.h"

#include <QDateTime>
#include <optional>

namespace {

constexpr const char* Usage = "export-adif LOG OUT.adi [--filter TEXT]";

int run(const QStringList& args, cm::cli::Io& io)
{
    QStringList files;
    std::optional<QString> filter;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == u"--filter") {
            if (i + 1 >= args.size()) {
                io.err << "export-adif: --filter needs a value\n";
                return cm::cli::ExitUsage;
            }
            filter = args[++i];
        } else if (args[i].startsWith(u"--")) {
            io.err << "export-adif: unknown option \"" << args[i] << "\"\nusage: cardmint-cli " << Usage << "\n";
            return cm::cli::ExitUsage;
        } else {
            files << args[i];
        }
    }
    if (files.size() != 2) {
        io.err << "usage: cardmint-cli " << Usage << "\n";
        return cm::cli::ExitUsage;
    }
    QString error;
    auto log = cm::openLogSource(files[0], &error);
    if (!log) {
        io.err << "export-adif: cannot open log \"" << files[0] << "\": " << error << "\n";
        return cm::cli::ExitFailure;
    }
    if (filter && !log->setFilter(*filter, &error)) {
        io.err << "export-adif: " << error << "\n";
        return cm::cli::ExitFailure;
    }
    const auto dates = log->format() == cm::LogFormat::Sqlite ? cm::qslSentDates(log->resolvedPath())
                                                              : std::map<qint64, QDate>();
    const QByteArray document = cm::adifDocument(*log, dates, QDateTime::currentDateTimeUtc());
    if (!cm::writeFileSafely(files[1], document, &error)) {
        io.err << "export-adif: " << error << "\n";
        return cm::cli::ExitFailure;
    }
    io.out << "QSOs written: " << log->recordCount() << "\n";
    return cm::cli::ExitOk;
}

cm::cli::CliRegistration reg({"export-adif", Usage, &run,
                              "Writes the QSOs of a log (SQLite logbook, Paradox table or ADIF file) as ADIF 3,\n"
                              "with QSL_SENT and, for QSOs marked by render --mark-sent, QSLSDATE.\n"
                              "An existing OUT.adi is replaced only when the whole file was written.\n"
                              "  --filter TEXT   only the QSOs that match, as for render\n"});

} // namespace
