// cardmint-cli import-adif IN.adi OUT.db [--codepage N] [--allow-duplicates]:
// appends the QSOs of an ADIF file to a Cardmint logbook (created when
// missing) and reports what was skipped. Files that are not UTF-8 are read
// in the code page given (default 1252).
#include "cli.h"

#include "logbook/adifimport.h"
#include "report/codepage.h"

#include <QFile>
#include <QFileInfo>

namespace {

constexpr const char* Usage = "import-adif IN.adi OUT.db [--codepage N] [--allow-duplicates]";

int run(const QStringList& args, cm::cli::Io& io)
{
    QStringList files;
    int codePage = 1252;
    bool allowDuplicates = false;
    for (int i = 0; i < args.size(); ++i) {
        if (cm::cli::isOption(args[i], "--codepage")) {
            if (i + 1 >= args.size()) {
                io.err << "import-adif: " << args[i] << " needs a code page number\n";
                return cm::cli::ExitUsage;
            }
            codePage = args[++i].toInt();
            if (!cm::CodePage::isSupported(codePage)) {
                io.err << "import-adif: unknown code page " << args[i] << "\n";
                return cm::cli::ExitUsage;
            }
        } else if (args[i] == u"--allow-duplicates") {
            allowDuplicates = true;
        } else if (args[i].startsWith(u"--")) {
            io.err << "import-adif: unknown option \"" << args[i] << "\"\nusage: cardmint-cli " << Usage << "\n";
            return cm::cli::ExitUsage;
        } else {
            files << args[i];
        }
    }
    if (files.size() != 2) {
        io.err << "usage: cardmint-cli " << Usage << "\n";
        return cm::cli::ExitUsage;
    }
    cm::AdifImportReport report;
    QString error;
    const QString logbook = QFileInfo(files[1]).absoluteFilePath();
    const bool existed = QFileInfo::exists(logbook);
    const bool ok = cm::importAdif(QFileInfo(files[0]).absoluteFilePath(), logbook, report, &error, codePage,
                                   allowDuplicates);
    // Duplicates were usable QSOs; a file without any usable one is a failure
    // even though nothing went wrong while reading it.
    const bool nothingUsable = ok && report.recordsImported == 0 && report.duplicatesSkipped == 0;
    for (const QString& line : report.counts())
        (ok && !nothingUsable ? io.out : io.err) << line << "\n";
    // The same warnings render gives when it reads the file directly.
    for (const QString& line : report.warnings())
        io.err << "import-adif: warning: " << line << "\n";
    if (!ok) {
        io.err << "import-adif: " << error << "\n";
        return cm::cli::ExitFailure;
    }
    if (nothingUsable) {
        if (!existed)
            QFile::remove(logbook);
        io.err << "import-adif: warning: \"" << files[0] << "\" holds no QSO that can be imported"
               << (existed ? "" : "; no logbook was made") << "\n";
        return cm::cli::ExitFailure;
    }
    return cm::cli::ExitOk;
}

cm::cli::CliRegistration reg({"import-adif", Usage, &run,
                              "Appends the QSOs of an ADIF file to a SQLite logbook, created when missing.\n"
                              "Values are kept whole. A QSO the logbook already holds (same call, date, time\n"
                              "to the minute, band and mode) is skipped and counted.\n"
                              "  --codepage N        code page of files that are not UTF-8 (default 1252)\n"
                              "  --allow-duplicates  import such QSOs all the same\n"});

} // namespace
