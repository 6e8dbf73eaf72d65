// cardmint-cli make-demo-log OUT.db [--count N] [--variant N]: writes the
// demo logbook. The same count and variant always give the same QSOs.
#include "cli.h"

#include "logbook/demolog.h"

#include <QFileInfo>

namespace {

int run(const QStringList& args, cm::cli::Io& io)
{
    QString out;
    int count = 300;
    quint32 variant = 1;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if ((a == u"--count" || a == u"--variant") && i + 1 < args.size()) {
            bool ok = false;
            const qlonglong v = args[++i].toLongLong(&ok);
            const bool isCount = a == u"--count";
            if (!ok || v < 0 || (isCount && v > 10'000'000) || (!isCount && v > 0xFFFFFFFFLL)) {
                io.err << "make-demo-log: " << a << " needs a number\n";
                return cm::cli::ExitUsage;
            }
            if (isCount)
                count = int(v);
            else
                variant = quint32(v);
        } else if (out.isEmpty() && !a.startsWith(u"--")) {
            out = a;
        } else {
            io.err << "usage: cardmint-cli make-demo-log OUT.db [--count N] [--variant N]\n";
            return cm::cli::ExitUsage;
        }
    }
    if (out.isEmpty()) {
        io.err << "usage: cardmint-cli make-demo-log OUT.db [--count N] [--variant N]\n";
        return cm::cli::ExitUsage;
    }
    QString error;
    if (!cm::writeDemoLogbook(QFileInfo(out).absoluteFilePath(), count, variant, &error)) {
        io.err << "make-demo-log: " << error << "\n";
        return cm::cli::ExitFailure;
    }
    io.out << "QSOs written: " << count << "\n";
    return cm::cli::ExitOk;
}

cm::cli::CliRegistration reg({"make-demo-log", "make-demo-log OUT.db [--count N] [--variant N]", &run,
                              "Writes the demo logbook, a new SQLite logbook; an existing file is kept.\n"
                              "  --count N        the number of QSOs (default 300)\n"
                              "  --variant N      another set of QSOs; the same count and variant always\n"
                              "                   give the same QSOs\n"});

} // namespace
