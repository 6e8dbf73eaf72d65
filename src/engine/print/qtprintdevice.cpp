#include "engine/print/qtprintdevice.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinterInfo>

namespace cm {

namespace {

constexpr double NativePerInch = 254.0;

QPageSize::PageSizeId pageSizeId(TQRPaperSize size)
{
    switch (size) {
    case TQRPaperSize::Letter:
    case TQRPaperSize::LetterSmall: return QPageSize::Letter;
    case TQRPaperSize::Tabloid: return QPageSize::Tabloid;
    case TQRPaperSize::Ledger: return QPageSize::Ledger;
    case TQRPaperSize::Legal: return QPageSize::Legal;
    case TQRPaperSize::Statement: return QPageSize::Statement;
    case TQRPaperSize::A3: return QPageSize::A3;
    case TQRPaperSize::A4:
    case TQRPaperSize::A4Small: return QPageSize::A4;
    case TQRPaperSize::A5: return QPageSize::A5;
    case TQRPaperSize::B4: return QPageSize::B4;
    case TQRPaperSize::B5: return QPageSize::JisB5;
    case TQRPaperSize::Folio: return QPageSize::FanFoldGermanLegal;
    case TQRPaperSize::Quarto: return QPageSize::Quarto;
    case TQRPaperSize::qr10X14: return QPageSize::Imperial10x14;
    case TQRPaperSize::qr11X17: return QPageSize::Tabloid;
    case TQRPaperSize::Note: return QPageSize::Note;
    case TQRPaperSize::Env9: return QPageSize::Envelope9;
    case TQRPaperSize::Env10: return QPageSize::Envelope10;
    case TQRPaperSize::Env11: return QPageSize::Envelope11;
    case TQRPaperSize::Env12: return QPageSize::Envelope12;
    case TQRPaperSize::Env14: return QPageSize::Envelope14;
    default: return QPageSize::Custom;
    }
}

// The paper in millimetres, portrait; named sizes use the program's own
// dimensions so that the printer gets exactly the sheet the pages were
// laid out on.
QPageSize pageSizeFor(const TQRPrintJobSettings& settings)
{
    if (settings.paperSize == TQRPaperSize::Custom)
        return QPageSize(QSizeF(double(settings.paperWidth) / 10, double(settings.paperLength) / 10),
                         QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
    const QPageSize::PageSizeId id = pageSizeId(settings.paperSize);
    if (id != QPageSize::Custom)
        return QPageSize(id);
    const PaperDimensions d = paperDimensions(settings.paperSize);
    return QPageSize(QSizeF(d.widthMM, d.lengthMM), QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
}

QPrinter::PaperSource paperSource(TQRBin bin)
{
    switch (bin) {
    case TQRBin::First:
    case TQRBin::Upper: return QPrinter::Upper;
    case TQRBin::Lower: return QPrinter::Lower;
    case TQRBin::Middle: return QPrinter::Middle;
    case TQRBin::Manual: return QPrinter::Manual;
    case TQRBin::Envelope: return QPrinter::Envelope;
    case TQRBin::EnvManual: return QPrinter::EnvelopeManual;
    case TQRBin::Auto: return QPrinter::Auto;
    case TQRBin::Tractor: return QPrinter::Tractor;
    case TQRBin::SmallFormat: return QPrinter::SmallFormat;
    case TQRBin::LargeFormat: return QPrinter::LargeFormat;
    case TQRBin::LargeCapacity: return QPrinter::LargeCapacity;
    case TQRBin::Cassette:
    case TQRBin::Last: return QPrinter::Cassette;
    }
    return QPrinter::Auto;
}

} // namespace

TQRQtPrintDevice::TQRQtPrintDevice(const QString& printerName)
{
    const QPrinterInfo info = printerName.isEmpty() ? QPrinterInfo::defaultPrinter()
                                                    : QPrinterInfo::printerInfo(printerName);
    m_installed = !info.isNull() && anyPrinterInstalled();
    m_printer = m_installed ? std::make_unique<QPrinter>(info, QPrinter::HighResolution)
                            : std::make_unique<QPrinter>(QPrinter::HighResolution);
}

TQRQtPrintDevice::TQRQtPrintDevice(PrintToFile, const QString& pdfFileName)
    : m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)), m_installed(true)
{
    m_printer->setOutputFormat(QPrinter::PdfFormat);
    m_printer->setOutputFileName(pdfFileName);
}

TQRQtPrintDevice::~TQRQtPrintDevice()
{
    if (m_painter.isActive())
        abortJob();
}

bool TQRQtPrintDevice::anyPrinterInstalled() { return !QPrinterInfo::availablePrinterNames().isEmpty(); }

void TQRQtPrintDevice::applySettings(const TQRPrintJobSettings& settings)
{
    if (!m_installed || m_painter.isActive())
        return;
    const QPrinterInfo info(*m_printer);
    const QPageSize size = pageSizeFor(settings);
    // A paper the printer does not offer is left as the printer has it;
    // custom sizes are up to the driver.
    if (settings.paperSize != TQRPaperSize::Default
        && (settings.paperSize == TQRPaperSize::Custom || info.supportedPageSizes().isEmpty()
            || info.supportedPageSizes().contains(size) || info.supportsCustomPageSizes()))
        m_printer->setPageSize(size);
    m_printer->setPageOrientation(settings.orientation == TQROrientation::poLandscape ? QPageLayout::Landscape
                                                                                   : QPageLayout::Portrait);
    m_printer->setCopyCount(std::max(1, settings.copies));
    if (settings.duplex && info.supportedDuplexModes().contains(QPrinter::DuplexShortSide))
        m_printer->setDuplex(QPrinter::DuplexShortSide);
    // QPrinter drops sources the driver does not have.
    m_printer->setPaperSource(paperSource(settings.outputBin));
}

int TQRQtPrintDevice::dpiX() const { return m_printer->logicalDpiX(); }
int TQRQtPrintDevice::dpiY() const { return m_printer->logicalDpiY(); }

QPointF TQRQtPrintDevice::offsetNative() const
{
    const QRectF paper = m_printer->paperRect(QPrinter::Inch);
    const QRectF printable = m_printer->pageRect(QPrinter::Inch);
    return {double(rnd((printable.left() - paper.left()) * NativePerInch)),
            double(rnd((printable.top() - paper.top()) * NativePerInch))};
}

QSizeF TQRQtPrintDevice::paperSizeNative() const
{
    const QSizeF paper = m_printer->pageLayout().pageSize().size(QPageSize::Inch);
    return {paper.width() * NativePerInch, paper.height() * NativePerInch};
}

QPainter* TQRQtPrintDevice::beginJob(const QString& title, bool fullPage)
{
    if (!m_installed || m_painter.isActive())
        return nullptr;
    m_printer->setDocName(title);
    m_printer->setFullPage(fullPage);
    return m_painter.begin(m_printer.get()) ? &m_painter : nullptr;
}

bool TQRQtPrintDevice::newPage() { return m_painter.isActive() && m_printer->newPage(); }

void TQRQtPrintDevice::endJob()
{
    if (m_painter.isActive())
        m_painter.end();
}

void TQRQtPrintDevice::abortJob()
{
    if (!m_painter.isActive())
        return;
    const bool aborted = m_printer->abort();
    m_painter.end();
    // The PDF engine cannot abort: ending the painter completes the file
    // with the pages drawn so far. An aborted job leaves no file instead.
    if (!aborted && m_printer->outputFormat() == QPrinter::PdfFormat && !m_printer->outputFileName().isEmpty())
        QFile::remove(m_printer->outputFileName());
}

std::unique_ptr<TQRPrintDevice> defaultPrintDevice()
{
    if (!TQRQtPrintDevice::anyPrinterInstalled())
        return nullptr;
    return std::make_unique<TQRQtPrintDevice>();
}

} // namespace cm
