#pragma once
// Sheets of several cards or labels: a shipped table of common sheets, and
// how a sheet becomes the report's page and columns.
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace cm {

class TQRCustomReport;

struct LabelSheet {
    QString name;
    QString paper;            // "A4", "Letter" or "210x297"
    double paperWidthMm = 0;
    double paperLengthMm = 0;
    int columns = 1;
    int rows = 1;
    double labelWidthMm = 0;
    double labelHeightMm = 0;
    double pitchXMm = 0;
    double pitchYMm = 0;
    double leftMarginMm = 0;
    double topMarginMm = 0;

    int positions() const { return columns * rows; }
};

// Reads a table of sheets (see data/labelsheets.txt); lines that cannot be
// read are named in `problems`.
std::vector<LabelSheet> parseLabelSheets(const QString& text, QStringList* problems = nullptr);
// The shipped table.
const std::vector<LabelSheet>& shippedLabelSheets();
// A shipped sheet by name, without regard to case.
std::optional<LabelSheet> findLabelSheet(const QString& name);

// Sets the report's paper, margins and columns to the sheet, and the card
// (detail band) to the sheet's vertical pitch. False with the reason when
// the layout's card is larger than a label.
bool applyLabelSheet(TQRCustomReport& report, const LabelSheet& sheet, QString* error);

// How many cards one page of the report holds: columns times the cards
// (detail bands) that fit down a column; 0 without a detail band.
int cardPositionsPerPage(const TQRCustomReport& report);

} // namespace cm
