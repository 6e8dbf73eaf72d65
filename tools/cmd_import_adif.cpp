// cardmint-cli import-adif IN.adi OUT.db: appends the QSOs of an ADIF file
// to a Cardmint logbook (created when missing) and reports what was skipped
// or cut. Files that are not UTF-8 are read in --code-page (default 1252).
#include "cli.h"

#include "logbook/adifimport.h"
#include "report/codepage.h"

#include <QFileInfo>

namespace {

int run(const QStringList& args, cm::cli::Io& io)
{
    QStringList files;
    int codePage = 1252;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == u"--code-page" && i + 1 < args.size()) {
            codePage = args[++i].toInt();
            if (!cm::CodePage::isSupported(codePage)) {
                io.err << "import-adif: unknown code page " << args[i] << "\n";
                return cm::cli::ExitUsage;
            }
        } else {
            files << args[i];
        }
    }
    if (files.size() != 2) {
        io.err << "usage: cardmint-cli import-adif IN.adi OUT.db [--code-page N]\n";
        return cm::cli::ExitUsage;
    }
    cm::AdifImportReport report;
    QString error;
    const bool ok = cm::importAdif(QFileInfo(files[0]).absoluteFilePath(),
                                   QFileInfo(files[1]).absoluteFilePath(), report, &error, codePage);
    for (const QString& line : report.summary())
        (ok ? io.out : io.err) << line << "\n";
    if (!ok) {
        io.err << "import-adif: " << error << "\n";
        return cm::cli::ExitFailure;
    }
    return cm::cli::ExitOk;
}

cm::cli::CliRegistration reg({"import-adif", "import-adif IN.adi OUT.db [--code-page N]", &run});

} // namespace
