// cardmint-cli import-adif IN.adi OUT.db: appends the QSOs of an ADIF file
// to a Cardmint logbook (created when missing) and reports what was skipped
// or cut.
#include "cli.h"

#include "logbook/adifimport.h"

#include <QFileInfo>

namespace {

int run(const QStringList& args, cm::cli::Io& io)
{
    if (args.size() != 2) {
        io.err << "usage: cardmint-cli import-adif IN.adi OUT.db\n";
        return cm::cli::ExitUsage;
    }
    cm::AdifImportReport report;
    QString error;
    const bool ok = cm::importAdif(QFileInfo(args[0]).absoluteFilePath(),
                                   QFileInfo(args[1]).absoluteFilePath(), report, &error);
    for (const QString& line : report.summary())
        (ok ? io.out : io.err) << line << "\n";
    if (!ok) {
        io.err << "import-adif: " << error << "\n";
        return cm::cli::ExitFailure;
    }
    return cm::cli::ExitOk;
}

cm::cli::CliRegistration reg({"import-adif", "import-adif IN.adi OUT.db", &run});

} // namespace
