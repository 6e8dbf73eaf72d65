// cardmint-cli check-table FILE: prints the table check code (0 old format,
// 1 current format, 2 extended format, 3 not a logbook table).
#include "cli.h"

#include "logbook/checktable.h"

#include <QFileInfo>

namespace {

int run(const QStringList& args, cm::cli::Io& io)
{
    if (args.size() != 1) {
        io.err << "usage: cardmint-cli check-table FILE\n";
        return cm::cli::ExitUsage;
    }
    QString error;
    const auto code = cm::CheckTable(QFileInfo(args[0]).absoluteFilePath(), &error);
    if (!code) {
        io.err << "check-table: " << error << "\n";
        return cm::cli::ExitFailure;
    }
    io.out << *code << "\n";
    return cm::cli::ExitOk;
}

cm::cli::CliRegistration reg({"check-table", "check-table FILE", &run});

} // namespace
