#pragma once
// The 28 paper sizes with their dimensions, printer codes and display names.
#include <QString>

namespace cm {

enum class TQRPaperSize : int {
    Default, Letter, LetterSmall, Tabloid, Ledger, Legal, Statement, Executive, A3, A4,
    A4Small, A5, B4, B5, Folio, Quarto, qr10X14, qr11X17, Note, Env9, Env10, Env11, Env12,
    Env14, CSheet, DSheet, ESheet, Custom,
};
constexpr int PaperSizeCount = 28;

struct PaperDimensions {
    double widthMM;    // portrait
    double lengthMM;
};

// Dimensions of a named paper (1 .. 26); Default and Custom have none and give 0 x 0.
PaperDimensions paperDimensions(TQRPaperSize size);
// The code sent to the printer driver (Custom is 256).
int paperCode(TQRPaperSize size);
// The display name of the page-setup dialog.
QString paperSizeName(TQRPaperSize size);
// Identifier as stored ("A4", "qr10X14" ...).
QString paperSizeIdent(TQRPaperSize size);
bool isNamedPaper(TQRPaperSize size);   // neither Default nor Custom

} // namespace cm
