#include "report/papersize.h"

#include <array>

namespace cm {

namespace {

struct PaperEntry {
    const char* ident;
    double w;
    double l;
    int code;
    const char* display;
};

// Env12 and Env14 display names hold a backslash and the digits 2, 7, 6.
constexpr std::array<PaperEntry, PaperSizeCount> kPapers{{
    {"Default", 0, 0, 0, "Default size"},
    {"Letter", 215.9, 279.4, 1, "Letter 8 1/2 x 11 in"},
    {"LetterSmall", 215.9, 279.4, 2, "Letter Small 8 1/2 x 11 in"},
    {"Tabloid", 279.4, 431.8, 3, "Tabloid 11 x 17 in"},
    {"Ledger", 431.8, 279.4, 4, "Ledger 17 x 11 in"},
    {"Legal", 215.9, 355.6, 5, "Legal 8 1/2 x 14 in"},
    {"Statement", 139.7, 215.9, 6, "Statement 5 1/2 x 8 1/2 in"},
    {"Executive", 190.5, 254.0, 7, "Executive7 1/2 x 10 in"},
    {"A3", 297, 420, 8, "A3 297 x 420 mm"},
    {"A4", 210, 297, 9, "A4 210 x 297 mm"},
    {"A4Small", 210, 297, 10, "A4 Small 210 x 297 mm"},
    {"A5", 148, 210, 11, "A5 148 x 210 mm"},
    {"B4", 250, 354, 12, "B4 250 x 354 mm"},
    {"B5", 182, 257, 13, "B5 182 x 257 mm"},
    {"Folio", 215.9, 330.2, 14, "Folio 8 1/2 x 13 in"},
    {"Quarto", 215, 275, 15, "Quarto 215 x 275 mm"},
    {"qr10X14", 254.0, 355.6, 16, "10x14 in"},
    {"qr11X17", 279.4, 431.8, 17, "11x17 in"},
    {"Note", 215.9, 279.0, 18, "Note 8 1/2 x 11 in"},
    {"Env9", 98.43, 225.4, 19, "Envelope #9 3 7/8 x 8 7/8"},
    {"Env10", 104.8, 241.3, 20, "Envelope #10 4 1/8 x 9 1/2"},
    {"Env11", 114.3, 263.5, 21, "Envelope #11 4 1/2 x 10 3/8"},
    {"Env12", 101.6, 279.4, 22, "Envelope #12 4 \\276 x 11"},
    {"Env14", 127.0, 292.1, 23, "Envelope #14 4 \\276 x 11"},
    {"CSheet", 100, 100, 24, "C size sheet"},
    {"DSheet", 100, 100, 25, "D size sheet"},
    {"ESheet", 100, 100, 26, "E size sheet"},
    {"Custom", 0, 0, 256, "Custom Size"},
}};

const PaperEntry& entry(TQRPaperSize size)
{
    const int i = static_cast<int>(size);
    return kPapers[(i >= 0 && i < PaperSizeCount) ? i : 0];
}

} // namespace

PaperDimensions paperDimensions(TQRPaperSize size) { return {entry(size).w, entry(size).l}; }
int paperCode(TQRPaperSize size) { return entry(size).code; }
QString paperSizeName(TQRPaperSize size) { return QString::fromLatin1(entry(size).display); }
QString paperSizeIdent(TQRPaperSize size) { return QString::fromLatin1(entry(size).ident); }
bool isNamedPaper(TQRPaperSize size)
{
    return size != TQRPaperSize::Default && size != TQRPaperSize::Custom;
}

} // namespace cm
