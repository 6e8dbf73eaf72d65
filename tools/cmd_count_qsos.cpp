// cardmint-cli count-qsos LOG [--filter TEXT] [--order FIELDS|bureau]: reads
// every QSO a print run with the same options would print, every field of
// each, and prints how many there are.
#include "cli.h"

#include "logbook/logsource.h"

#include <optional>

namespace {

constexpr const char* Usage = "count-qsos LOG [--filter TEXT] [--order FIELDS|bureau]";

int run(const QStringList& args, cm::cli::Io& io)
{
    QString log;
    std::optional<QString> filter, order;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if ((a == u"--filter" || a == u"--order") && i + 1 < args.size()) {
            (a == u"--filter" ? filter : order) = args[++i];
        } else if (log.isEmpty() && !a.startsWith(u"--")) {
            log = a;
        } else {
            io.err << "usage: cardmint-cli " << Usage << "\n";
            return cm::cli::ExitUsage;
        }
    }
    if (log.isEmpty()) {
        io.err << "usage: cardmint-cli " << Usage << "\n";
        return cm::cli::ExitUsage;
    }
    QString error;
    auto table = cm::openLogSource(log, &error);
    if (!table) {
        io.err << "count-qsos: cannot open log \"" << log << "\": " << error << "\n";
        return cm::cli::ExitFailure;
    }
    for (const QString& note : table->loadNotes())
        io.err << "count-qsos: warning: " << note << "\n";
    if (!cm::selectLogRecords(*table, filter, order, &error)) {
        io.err << "count-qsos: " << error << "\n";
        return cm::cli::ExitFailure;
    }
    qint64 count = 0;
    qsizetype characters = 0;   // keeps the reads from being left out
    for (table->first(); !table->eof(); table->next()) {
        for (int f = 0; f < table->fieldCount(); ++f)
            characters += table->text(f).size();
        ++count;
    }
    if (!table->readError().isEmpty()) {
        io.err << "count-qsos: " << table->readError() << "\n";
        return cm::cli::ExitFailure;
    }
    io.out << "qsos: " << count << "\n";
    return characters >= 0 ? cm::cli::ExitOk : cm::cli::ExitFailure;
}

cm::cli::CliRegistration reg({"count-qsos", Usage, &run,
                              "Reads every QSO that render would print with the same --filter and --order\n"
                              "(every field of each) and prints how many there are.\n"});

} // namespace
