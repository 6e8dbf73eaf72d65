// cardmint-cli calibration-page OUT.pdf, and calibration [PRINTER [X Y SCALE | --remove]]:
// the page to measure a printer's offset on, and the calibrations stored per printer.
#include "cli.h"

#include "engine/output/printcalibration.h"

namespace {

int page(const QStringList& args, cm::cli::Io& io)
{
    if (args.size() != 1) {
        io.err << "usage: cardmint-cli calibration-page OUT.pdf\n";
        return cm::cli::ExitUsage;
    }
    QString error;
    if (!cm::writeCalibrationPdf(args[0], &error)) {
        io.err << "calibration-page: " << error << "\n";
        return cm::cli::ExitFailure;
    }
    io.out << args[0] << "\n";
    return cm::cli::ExitOk;
}

void show(const QString& printer, const cm::PageCalibration& c, QTextStream& out)
{
    out << printer << ": x " << c.offsetXMm << " mm, y " << c.offsetYMm << " mm, scale " << c.scalePercent << " %\n";
}

int calibration(const QStringList& args, cm::cli::Io& io)
{
    const QString settings = cm::standardSettingsFile();
    QString error;
    if (args.isEmpty()) {
        for (const auto& [printer, c] : cm::readCalibrations(settings))
            show(printer, c, io.out);
        return cm::cli::ExitOk;
    }
    const QString& printer = args[0];
    if (args.size() == 1) {
        const auto c = cm::readCalibration(settings, printer);
        if (!c) {
            io.err << "calibration: no calibration for \"" << printer << "\"\n";
            return cm::cli::ExitFailure;
        }
        show(printer, *c, io.out);
        return cm::cli::ExitOk;
    }
    if (args.size() == 2 && args[1] == u"--remove") {
        if (cm::removeCalibration(settings, printer, &error))
            return cm::cli::ExitOk;
        io.err << "calibration: " << error << "\n";
        return cm::cli::ExitFailure;
    }
    if (args.size() != 4) {
        io.err << "usage: cardmint-cli calibration [PRINTER [X_MM Y_MM SCALE_PERCENT | --remove]]\n";
        return cm::cli::ExitUsage;
    }
    cm::PageCalibration c;
    bool okX = false, okY = false, okS = false;
    c.offsetXMm = args[1].toDouble(&okX);
    c.offsetYMm = args[2].toDouble(&okY);
    c.scalePercent = args[3].toDouble(&okS);
    if (!okX || !okY || !okS) {
        io.err << "calibration: the offsets and the scale must be numbers (mm, mm, %)\n";
        return cm::cli::ExitUsage;
    }
    if (const QString problem = cm::calibrationProblem(c); !problem.isEmpty()) {
        io.err << "calibration: " << problem << "; nothing was stored\n";
        return cm::cli::ExitUsage;
    }
    if (!cm::writeCalibration(settings, printer, c, &error)) {
        io.err << "calibration: " << error << "\n";
        return cm::cli::ExitFailure;
    }
    show(printer, c, io.out);
    return cm::cli::ExitOk;
}

cm::cli::CliRegistration regPage({"calibration-page", "calibration-page OUT.pdf   write a page of rulers and crosshairs",
                                  &page,
                                  "Writes an A4 page of rulers and crosshairs. Print it without calibration and\n"
                                  "measure how far each crosshair lies from its place on the rulers.\n"});
cm::cli::CliRegistration regCal({"calibration",
                                 "calibration [PRINTER [X Y SCALE | --remove]]   show or store a printer calibration",
                                 &calibration,
                                 "Without arguments lists the stored calibrations; with a printer name shows its\n"
                                 "calibration; with X and Y (mm, right and down) and SCALE (50 to 150 %) stores it\n"
                                 "in the settings file Cardmint.ini. render --printer NAME applies it, and\n"
                                 "render --calibration NAME applies it to a PDF or images.\n"});

} // namespace
