#pragma once
// Printer settings a report carries: copies, duplex, page range, output bin,
// and the printer chosen (-1: the default printer).
#include <QString>

namespace cm {

enum class TQROrientation : int { poPortrait, poLandscape };

enum class TQRBin : int {
    First, Upper, Lower, Middle, Manual, Envelope, EnvManual, Auto, Tractor, SmallFormat,
    LargeFormat, LargeCapacity, Cassette, Last,
};
constexpr int BinCount = 14;
QString binIdent(TQRBin bin);   // "First" ... "Last"

struct TQRReportPrinterSettings {
    int copies = 1;
    bool duplex = false;
    int firstPage = 0;   // 0: no limit
    int lastPage = 0;    // 0: no limit
    TQRBin outputBin = TQRBin::Auto;
    int printerIndex = -1;   // not stored in the component stream
};

} // namespace cm
