// cardmint-cli qrp-info IN.QRP: what a report file holds.
#include "cli.h"

#include "engine/qrerror.h"
#include "engine/pages/qrprinter.h"
#include "report/papersize.h"

namespace {

QString millimetres(double native) { return QString::number(native / 10, 'f', 1); }

int run(const QStringList& args, cm::cli::Io& io)
{
    if (args.size() != 1 || args.first().startsWith(QLatin1Char('-'))) {
        io.err << "usage: cardmint-cli qrp-info IN.QRP\n";
        return cm::cli::ExitUsage;
    }
    cm::TQRPrinter report;
    try {
        report.readReportFile(args.first());
        io.out << "pages: " << report.pageCount() << "\n";
        io.out << "compressed: " << (report.compression() ? "yes" : "no") << "\n";
        io.out << "header: " << report.pageList().headerSize() << " bytes\n";
        const cm::TQRPageSetup& setup = report.pageSetup();
        io.out << "paper: " << cm::paperSizeIdent(setup.paperSize) << " "
               << (setup.orientation == cm::TQROrientation::poLandscape ? "landscape" : "portrait") << " ("
               << millimetres(double(report.sheetWidth())) << " x " << millimetres(double(report.sheetLength()))
               << " mm)\n";
        // One line per run of pages of the same size.
        const double xFactor = double(report.xFactor());
        const double yFactor = double(report.yFactor());
        int runStart = 1;
        QSize runSize;
        for (int n = 1; n <= report.pageCount() + 1; ++n) {
            const QSize size = n <= report.pageCount() ? report.loadPage(n).boundingRect().size() : QSize();
            if (n > 1 && size != runSize) {
                io.out << (runStart == n - 1 ? QStringLiteral("page %1").arg(runStart)
                                             : QStringLiteral("pages %1-%2").arg(runStart).arg(n - 1))
                       << ": " << runSize.width() << " x " << runSize.height() << " dots ("
                       << millimetres(runSize.width() / xFactor) << " x " << millimetres(runSize.height() / yFactor)
                       << " mm)\n";
                runStart = n;
            }
            runSize = size;
        }
    } catch (const cm::EQRError& error) {
        io.out.flush();
        io.err << "qrp-info: " << error.message() << "\n";
        return cm::cli::ExitFailure;
    }
    return cm::cli::ExitOk;
}

cm::cli::CliRegistration reg({"qrp-info", "qrp-info IN.QRP", &run,
                              "Prints the page count, the compression flag and the page sizes of a report file.\n"});

} // namespace
