#pragma once
// Enumerations of the report model and their stored identifiers.
#include "report/proptable.h"

namespace cm {

enum class TPenStyle : int { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum class TPenMode : int {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
    pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor,
};
enum class TBrushStyle : int {
    bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross,
};
enum class TFontPitch : int { fpDefault, fpVariable, fpFixed };
enum FontStyleBit : uint32_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
enum class TAlignment : int { taLeftJustify, taRightJustify, taCenter };
enum class TBiDiMode : int { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum class TQRBandType : int {
    rbTitle, rbPageHeader, rbDetail, rbPageFooter, rbSummary, rbGroupHeader, rbGroupFooter,
    rbSubDetail, rbColumnHeader, rbOverlay, rbChild,
};
enum class TQRShapeType : int {
    qrsRectangle, qrsCircle, qrsVertLine, qrsHorLine, qrsTopAndBottom, qrsRightAndLeft,
};
enum class TQRSysDataType : int {
    qrsTime, qrsDate, qrsDateTime, qrsPageNumber, qrsReportTitle, qrsDetailCount, qrsDetailNo,
};
enum class TQRCalcOperation : int { qrcSum, qrcCount, qrcMax, qrcMin, qrcAverage };
enum class TQRUnit : int { MM, Inches, Pixels, Characters, Native };
enum ReportOptionBit : uint32_t { FirstPageHeader = 1, LastPageFooter = 2, Compression = 4 };

namespace enums {
extern const EnumType penStyle;
extern const EnumType penMode;
extern const EnumType brushStyle;
extern const EnumType fontPitch;
extern const EnumType fontStyle;     // set
extern const EnumType alignment;
extern const EnumType bidiMode;
extern const EnumType bandType;
extern const EnumType shapeType;
extern const EnumType sysDataType;
extern const EnumType calcOperation;
extern const EnumType unit;
extern const EnumType reportOptions; // set
extern const EnumType orientation;
extern const EnumType paperSize;
extern const EnumType outputBin;
} // namespace enums

// Display name shown on the design surface and base of generated names.
QString bandTypeDisplayName(TQRBandType t);
QString bandTypeNameBase(TQRBandType t);

} // namespace cm
