#include "report/enums.h"

#include <array>

namespace cm::enums {

const EnumType penStyle{"TPenStyle", {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot",
                                       "psClear", "psInsideFrame"}};
const EnumType penMode{"TPenMode", {"pmBlack", "pmWhite", "pmNop", "pmNot", "pmCopy", "pmNotCopy",
                                     "pmMergePenNot", "pmMaskPenNot", "pmMergeNotPen",
                                     "pmMaskNotPen", "pmMerge", "pmNotMerge", "pmMask",
                                     "pmNotMask", "pmXor", "pmNotXor"}};
const EnumType brushStyle{"TBrushStyle", {"bsSolid", "bsClear", "bsHorizontal", "bsVertical",
                                           "bsFDiagonal", "bsBDiagonal", "bsCross", "bsDiagCross"}};
const EnumType fontPitch{"TFontPitch", {"fpDefault", "fpVariable", "fpFixed"}};
const EnumType fontStyle{"TFontStyles", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}};
const EnumType alignment{"TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}};
const EnumType bidiMode{"TBiDiMode", {"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign",
                                       "bdRightToLeftReadingOnly"}};
const EnumType bandType{"TQRBandType", {"rbTitle", "rbPageHeader", "rbDetail", "rbPageFooter",
                                         "rbSummary", "rbGroupHeader", "rbGroupFooter",
                                         "rbSubDetail", "rbColumnHeader", "rbOverlay", "rbChild"}};
const EnumType shapeType{"TQRShapeType", {"qrsRectangle", "qrsCircle", "qrsVertLine",
                                           "qrsHorLine", "qrsTopAndBottom", "qrsRightAndLeft"}};
const EnumType sysDataType{"TQRSysDataType", {"qrsTime", "qrsDate", "qrsDateTime",
                                               "qrsPageNumber", "qrsReportTitle",
                                               "qrsDetailCount", "qrsDetailNo"}};
const EnumType calcOperation{"TQRCalcOperation", {"qrcSum", "qrcCount", "qrcMax", "qrcMin",
                                                   "qrcAverage"}};
const EnumType unit{"TQRUnit", {"MM", "Inches", "Pixels", "Characters", "Native"}};
const EnumType reportOptions{"TQROptions", {"FirstPageHeader", "LastPageFooter", "Compression"}};
const EnumType orientation{"TPrinterOrientation", {"poPortrait", "poLandscape"}};
const EnumType paperSize{"TQRPaperSize", {"Default", "Letter", "LetterSmall", "Tabloid", "Ledger",
                                           "Legal", "Statement", "Executive", "A3", "A4",
                                           "A4Small", "A5", "B4", "B5", "Folio", "Quarto",
                                           "qr10X14", "qr11X17", "Note", "Env9", "Env10", "Env11",
                                           "Env12", "Env14", "CSheet", "DSheet", "ESheet",
                                           "Custom"}};
const EnumType outputBin{"TQRBin", {"First", "Upper", "Lower", "Middle", "Manual", "Envelope",
                                     "EnvManual", "Auto", "Tractor", "SmallFormat", "LargeFormat",
                                     "LargeCapacity", "Cassette", "Last"}};

} // namespace cm::enums

namespace cm {

namespace {
struct BandTypeNames {
    const char* display;
    const char* base;
};
constexpr std::array<BandTypeNames, 11> kBandTypeNames{{
    {"Title", "TitleBand"},
    {"Page Header", "PageHeaderBand"},
    {"Detail", "DetailBand"},
    {"Page Footer", "PageFooterBand"},
    {"Summary", "SummaryBand"},
    {"Group Header", "GroupHeaderBand"},
    {"Group Footer", "GroupFooterBand"},
    {"Sub Detail", "SubDetailBand"},
    {"Column Header", "ColumnHeaderBand"},
    {"Overlay", "OverlayBand"},
    {"Child", "ChildBand"},
}};
const BandTypeNames& names(TQRBandType t)
{
    const int i = static_cast<int>(t);
    return kBandTypeNames[(i >= 0 && i < 11) ? i : 2];
}
} // namespace

QString bandTypeDisplayName(TQRBandType t) { return QString::fromLatin1(names(t).display); }
QString bandTypeNameBase(TQRBandType t) { return QString::fromLatin1(names(t).base); }

} // namespace cm
