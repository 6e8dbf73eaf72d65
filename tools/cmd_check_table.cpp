// cardmint-cli check-table FILE: prints the table check code with its
// meaning (0 old format, 1 current format, 2 extended format, 3 not a
// logbook table) and the kind of file found.
#include "cli.h"

#include "logbook/checktable.h"
#include "logbook/logbookfolder.h"
#include "logbook/logformat.h"
#include "logbook/logsource.h"

#include <QFileInfo>

namespace {

QString meaning(int code, bool readable)
{
    switch (code) {
    case cm::TableOldFormat: return QStringLiteral("old format: convert it in the logbook program first");
    case cm::TableCurrentFormat: return QStringLiteral("current format");
    case cm::TableExtendedFormat: return QStringLiteral("extended format (two more fields)");
    default: break;
    }
    // ADIF files and tables with fields of their own are no tables of the
    // logbook program, but render reads them all the same.
    return readable ? QStringLiteral("not a table of the logbook program, but render reads it")
                    : QStringLiteral("not a logbook table");
}

QString kindOfFile(const QString& path, bool readable)
{
    const cm::LogFormat format = cm::detectLogFormat(path);
    if (format == cm::LogFormat::Unknown)
        return QStringLiteral("unknown kind of file");
    if (format == cm::LogFormat::Sqlite && !readable)
        return QStringLiteral("SQLite file");   // one without the logbook's fields
    return cm::logFormatName(format);
}

int run(const QStringList& args, cm::cli::Io& io)
{
    if (args.size() != 1 || args[0].startsWith(u"--")) {
        io.err << "usage: cardmint-cli check-table FILE\n";
        return cm::cli::ExitUsage;
    }
    if (QFileInfo(args[0]).isDir()) {
        io.err << "check-table: \"" << args[0] << "\" is a folder, not a table\n";
        return cm::cli::ExitFailure;
    }
    const cm::FileLookup found = cm::findLogbook(args[0]);
    if (found.path.isEmpty()) {
        io.err << "check-table: \"" << args[0] << "\" not found (looked for "
               << found.tried.join(QStringLiteral(", ")) << ")\n";
        return cm::cli::ExitFailure;
    }
    QString error;
    const auto code = cm::CheckTable(found.path, &error);
    if (!code) {
        io.err << "check-table: " << error << "\n";
        return cm::cli::ExitFailure;
    }
    QString openError;
    const bool readable = cm::openLogSource(found.path, &openError) != nullptr;
    io.out << *code << " " << meaning(*code, readable) << " (" << kindOfFile(found.path, readable) << ")\n";
    // Its header says logbook, but render would refuse it: that is a failure.
    if (!readable && (*code == cm::TableCurrentFormat || *code == cm::TableExtendedFormat)) {
        io.err << "check-table: but it cannot be opened: " << openError << "\n";
        return cm::cli::ExitFailure;
    }
    return cm::cli::ExitOk;
}

cm::cli::CliRegistration reg({"check-table", "check-table FILE", &run,
                              "Prints the logbook table check code with its meaning and the kind of file:\n"
                              "  0 old format, 1 current format, 2 extended format (two more fields),\n"
                              "  3 not a table of the logbook program.\n"
                              "A bare name is looked for in the logbook folder, then in the current folder.\n"});

} // namespace
