// cardmint-cli sheets: lists the shipped sheets of labels and cards.
#include "cli.h"

#include "engine/generate/labelsheets.h"

namespace {

int run(const QStringList& args, cm::cli::Io& io)
{
    if (!args.isEmpty()) {
        io.err << "usage: cardmint-cli sheets\n";
        return cm::cli::ExitUsage;
    }
    io.out << "name                  paper   labels  label mm       pitch mm       margins mm (left, top)\n";
    for (const cm::LabelSheet& s : cm::shippedLabelSheets()) {
        io.out << s.name.leftJustified(21) << ' ' << s.paper.leftJustified(7) << ' '
               << QStringLiteral("%1x%2").arg(s.columns).arg(s.rows).leftJustified(7) << ' '
               << QStringLiteral("%1 x %2").arg(s.labelWidthMm).arg(s.labelHeightMm).leftJustified(14) << ' '
               << QStringLiteral("%1 x %2").arg(s.pitchXMm).arg(s.pitchYMm).leftJustified(14) << ' '
               << QStringLiteral("%1, %2").arg(s.leftMarginMm).arg(s.topMarginMm) << "\n";
    }
    return cm::cli::ExitOk;
}

cm::cli::CliRegistration reg({"sheets", "sheets                  list the sheets of labels and cards for render --sheet",
                              &run, "Lists the shipped sheets: columns x rows of labels, label size, pitch, margins.\n"});

} // namespace
