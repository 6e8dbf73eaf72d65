// cardmint-cli convert IN.QRP (--pdf OUT.pdf | --png PATTERN | --jpeg PATTERN) [--dpi N]
// Exports the pages of a report file. In PATTERN the last run of '#' is the
// page number, zero-padded to the run's length ("card-###.png").
#include "cli.h"

#include "engine/output/pageexport.h"
#include "engine/qrerror.h"
#include "engine/pages/qrprinter.h"

#include <optional>

namespace {

constexpr const char* Usage = "convert IN.QRP (--pdf OUT.pdf | --png PATTERN | --jpeg PATTERN) [--dpi N]";

enum class Target { Pdf, Png, Jpeg };

struct Options {
    QString input;
    std::optional<Target> target;
    QString output;
    int dpi = 300;
};

// Fills `options`; returns an error text or an empty string.
QString parse(const QStringList& args, Options& options)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == QLatin1String("--pdf") || arg == QLatin1String("--png") || arg == QLatin1String("--jpeg")) {
            if (options.target)
                return QStringLiteral("give only one of --pdf, --png and --jpeg");
            if (!hasValue)
                return QStringLiteral("%1 needs a file name").arg(arg);
            options.target = arg == QLatin1String("--pdf") ? Target::Pdf
                           : arg == QLatin1String("--png") ? Target::Png
                                                           : Target::Jpeg;
            options.output = args[++i];
        } else if (arg == QLatin1String("--dpi")) {
            bool ok = false;
            options.dpi = hasValue ? args[++i].toInt(&ok) : 0;
            if (!ok || options.dpi < cm::MinExportDpi || options.dpi > cm::MaxExportDpi)
                return QStringLiteral("--dpi needs a number from %1 to %2").arg(cm::MinExportDpi).arg(cm::MaxExportDpi);
        } else if (arg.startsWith(QLatin1Char('-')) || !options.input.isEmpty()) {
            return QStringLiteral("unexpected argument \"%1\"").arg(arg);
        } else {
            options.input = arg;
        }
    }
    if (options.input.isEmpty())
        return QStringLiteral("no report file given");
    if (!options.target)
        return QStringLiteral("give one of --pdf, --png or --jpeg");
    return {};
}

int run(const QStringList& args, cm::cli::Io& io)
{
    Options options;
    const QString problem = parse(args, options);
    if (!problem.isEmpty()) {
        io.err << "convert: " << problem << "\nusage: cardmint-cli " << Usage << "\n";
        return cm::cli::ExitUsage;
    }
    try {
        cm::TQRPrinter report;
        report.readReportFile(options.input);
        int pages = 0;
        switch (*options.target) {
        case Target::Pdf: pages = cm::exportPdf(report, options.output); break;
        case Target::Png: pages = cm::exportImages(report, options.output, cm::TQRImageFormat::Png, options.dpi); break;
        case Target::Jpeg: pages = cm::exportImages(report, options.output, cm::TQRImageFormat::Jpeg, options.dpi); break;
        }
        io.out << "pages: " << pages << "\n";
    } catch (const cm::EQRError& error) {
        io.err << "convert: " << error.message() << "\n";
        return cm::cli::ExitFailure;
    }
    return cm::cli::ExitOk;
}

constexpr const char* Details =
    "Turns the pages of a report file into a PDF or one image per page.\n"
    "  --pdf OUT.pdf | --png PATTERN | --jpeg PATTERN\n"
    "                   in PATTERN the last run of '#' becomes the zero-padded page\n"
    "                   number (card-###.png gives card-007.png)\n"
    "  --dpi N          resolution of the images, 10 to 1200 (default 300)\n";

cm::cli::CliRegistration reg({"convert", Usage, &run, Details});

} // namespace
