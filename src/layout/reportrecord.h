#pragma once
// The report record of layout files (tag 255): 356 fixed bytes with the
// report's frame, options, page, printer settings, title, snapping, units and
// zoom, then a trailer with the data-set name, description, font, hint and
// component name. Also the font record used in the trailer.
#include "layout/bytestream.h"
#include "report/report.h"

namespace cm {

constexpr int kReportRecordSize = 356;
constexpr int kPrinterRecordSize = 262;

// A short string in a fixed buffer of `size` bytes, the rest zero.
void writeStringBuffer(ByteWriter& out, const QString& text, int size, const CodePage& cp);

void writeFontRecord(ByteWriter& out, const TQRFont& font, const CodePage& cp);
void readFontRecord(ByteReader& in, TQRFont& font, const CodePage& cp);

// Writes the record body (356 bytes) and its trailer. The page values are
// written in the report's current units.
void writeReportRecord(ByteWriter& out, TQRCustomReport& report, int16_t dataSetRef,
                       const QString& dataSetName, const QString& reportName, const CodePage& cp);

// Applies a record body (zero-padded to 356 bytes) and reads its trailer
// from `in`. The data-set reference is returned for the caller to resolve.
int16_t readReportRecord(QByteArrayView body, ByteReader& in, TQRCustomReport& report,
                         const CodePage& cp, QString* dataSetName);

} // namespace cm
