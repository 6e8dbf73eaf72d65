#include "engine/generate/labelsheets.h"

#include "report/bands.h"
#include "report/report.h"

#include <QFile>

#include <algorithm>

namespace cm {

namespace {

constexpr double NativePerMm = 10;   // layout values are tenths of a millimetre

bool readPaper(const QString& text, LabelSheet& s)
{
    if (text.compare(u"A4", Qt::CaseInsensitive) == 0) {
        s.paperWidthMm = 210;
        s.paperLengthMm = 297;
        return true;
    }
    if (text.compare(u"Letter", Qt::CaseInsensitive) == 0) {
        s.paperWidthMm = 215.9;
        s.paperLengthMm = 279.4;
        return true;
    }
    const QStringList wl = text.split(u'x', Qt::KeepEmptyParts, Qt::CaseInsensitive);
    bool okW = false, okL = false;
    if (wl.size() == 2) {
        s.paperWidthMm = wl[0].toDouble(&okW);
        s.paperLengthMm = wl[1].toDouble(&okL);
    }
    return okW && okL && s.paperWidthMm > 0 && s.paperLengthMm > 0;
}

// What is wrong with the sheet's figures; empty when they hold together.
QString sheetProblem(const LabelSheet& s)
{
    if (s.columns < 1 || s.rows < 1 || s.columns > 50 || s.rows > 100)
        return QStringLiteral("columns and rows must be 1 to 50 and 1 to 100");
    if (!(s.labelWidthMm > 0 && s.labelHeightMm > 0 && s.pitchXMm >= s.labelWidthMm && s.pitchYMm >= s.labelHeightMm))
        return QStringLiteral("a label must have a size, and the pitch must be at least the label's size");
    if (s.leftMarginMm < 0 || s.topMarginMm < 0 ||
        s.leftMarginMm + (s.columns - 1) * s.pitchXMm + s.labelWidthMm > s.paperWidthMm + 0.01 ||
        s.topMarginMm + (s.rows - 1) * s.pitchYMm + s.labelHeightMm > s.paperLengthMm + 0.01)
        return QStringLiteral("the labels do not fit on the paper");
    return {};
}

} // namespace

std::vector<LabelSheet> parseLabelSheets(const QString& text, QStringList* problems)
{
    std::vector<LabelSheet> sheets;
    int lineNumber = 0;
    for (const QString& raw : text.split(u'\n')) {
        ++lineNumber;
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList f = line.split(u';');
        LabelSheet s;
        bool ok = f.size() == 10;
        if (ok) {
            s.name = f[0].trimmed();
            s.paper = f[1].trimmed();
            ok = !s.name.isEmpty() && readPaper(s.paper, s);
        }
        if (ok)
            s.columns = f[2].trimmed().toInt(&ok);
        double* numbers[] = {&s.labelWidthMm, &s.labelHeightMm, &s.pitchXMm, &s.pitchYMm, &s.leftMarginMm,
                             &s.topMarginMm};
        if (ok)
            s.rows = f[3].trimmed().toInt(&ok);
        for (int i = 0; ok && i < 6; ++i)
            *numbers[i] = f[4 + i].trimmed().toDouble(&ok);
        QString problem = ok ? sheetProblem(s) : QStringLiteral("expected 10 fields separated by ';'");
        if (problem.isEmpty()) {
            sheets.push_back(s);
        } else if (problems) {
            *problems << QStringLiteral("line %1: %2").arg(lineNumber).arg(problem);
        }
    }
    return sheets;
}

const std::vector<LabelSheet>& shippedLabelSheets()
{
    static const std::vector<LabelSheet> sheets = [] {
        QFile file(QStringLiteral(":/cardmint/labelsheets.txt"));
        if (!file.open(QIODevice::ReadOnly))
            return std::vector<LabelSheet>();
        return parseLabelSheets(QString::fromUtf8(file.readAll()));
    }();
    return sheets;
}

std::optional<LabelSheet> findLabelSheet(const QString& name)
{
    for (const LabelSheet& s : shippedLabelSheets())
        if (s.name.compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return s;
    return std::nullopt;
}

static TQRCustomBand* detailBand(const TQRCustomReport& report)
{
    if (TQRCustomBand* detail = report.controller().detail)
        return detail;
    for (TQRCustomBand* band : report.bandList())
        if (band->bandType() == TQRBandType::rbDetail)
            return band;
    return nullptr;
}

int cardPositionsPerPage(const TQRCustomReport& report)
{
    const TQRCustomBand* detail = detailBand(report);
    if (!detail || detail->size.values[0] <= 0)
        return 0;
    const TQRPage& page = report.page;
    const Extended usable = page.values[TQRPage::Len] - page.values[TQRPage::Top] - page.values[TQRPage::Bottom];
    const int down = std::max(1, int((usable + Extended(0.5)) / detail->size.values[0]));
    return std::max(1, page.columns()) * down;
}

bool applyLabelSheet(TQRCustomReport& report, const LabelSheet& sheet, QString* error)
{
    TQRCustomBand* detail = detailBand(report);
    if (!detail) {
        if (error)
            *error = QStringLiteral("The layout has no detail band to put on the sheet's labels");
        return false;
    }
    const double cardHeightMm = double(detail->size.values[0]) / NativePerMm;
    if (cardHeightMm > sheet.pitchYMm + 0.05) {
        if (error)
            *error = QStringLiteral("The layout's card (%1 mm high) is higher than a label of the sheet \"%2\" "
                                    "(%3 mm)").arg(cardHeightMm).arg(sheet.name).arg(sheet.pitchYMm);
        return false;
    }
    TQRPage& page = report.page;
    page.setOrientation(TQROrientation::poPortrait);
    const bool a4 = sheet.paper.compare(u"A4", Qt::CaseInsensitive) == 0;
    const bool letter = sheet.paper.compare(u"Letter", Qt::CaseInsensitive) == 0;
    page.setPaperSize(a4 ? TQRPaperSize::A4 : letter ? TQRPaperSize::Letter : TQRPaperSize::Custom);
    auto native = [](double mm) { return Extended(mm * NativePerMm); };
    page.values[TQRPage::Wid] = native(sheet.paperWidthMm);
    page.values[TQRPage::Len] = native(sheet.paperLengthMm);
    page.values[TQRPage::Left] = native(sheet.leftMarginMm);
    page.values[TQRPage::Top] = native(sheet.topMarginMm);
    page.values[TQRPage::ColSpace] = native(sheet.pitchXMm - sheet.labelWidthMm);
    // The columns come out as wide as a label, and exactly `rows` cards fit
    // in a column.
    const double usedWidth = sheet.leftMarginMm + sheet.columns * sheet.pitchXMm - (sheet.pitchXMm - sheet.labelWidthMm);
    page.values[TQRPage::Right] = native(std::max(0.0, sheet.paperWidthMm - usedWidth));
    page.values[TQRPage::Bottom] = native(std::max(0.0, sheet.paperLengthMm - sheet.topMarginMm - sheet.rows * sheet.pitchYMm));
    page.setColumns(sheet.columns);
    // Every card takes one label's pitch, so the next card starts on the next label.
    detail->size.values[0] = native(sheet.pitchYMm);
    detail->size.applyToControl();
    page.applyToControl();
    if (page.onLayoutChanged)
        page.onLayoutChanged();
    return true;
}

} // namespace cm
