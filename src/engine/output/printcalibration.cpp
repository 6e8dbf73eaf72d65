#include "engine/output/printcalibration.h"

#include <QDir>
#include <QFont>
#include <QPen>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>
#include <cmath>

namespace cm {

namespace {

const QString Section = QStringLiteral("Calibration");

// Printer names hold '/' and spaces, which settings keys do not keep as they are.
QString keyOf(const QString& printer) { return QString::fromLatin1(QUrl::toPercentEncoding(printer)); }

bool settingsWritten(QSettings& file, QString* error)
{
    file.sync();
    if (file.status() == QSettings::NoError)
        return true;
    if (error)
        *error = QStringLiteral("Cannot write the settings file \"%1\"").arg(file.fileName());
    return false;
}

} // namespace

QString standardSettingsFile()
{
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                           QStringLiteral("/Cardmint/Cardmint.ini"));
}

QString calibrationProblem(const PageCalibration& c)
{
    if (!std::isfinite(c.scalePercent) || c.scalePercent < MinCalibrationScale || c.scalePercent > MaxCalibrationScale)
        return QStringLiteral("The scale must be %1 to %2 %").arg(MinCalibrationScale).arg(MaxCalibrationScale);
    if (!std::isfinite(c.offsetXMm) || !std::isfinite(c.offsetYMm) || std::abs(c.offsetXMm) > MaxCalibrationOffsetMm ||
        std::abs(c.offsetYMm) > MaxCalibrationOffsetMm)
        return QStringLiteral("An offset must be -%1 to %1 mm").arg(MaxCalibrationOffsetMm);
    return {};
}

std::map<QString, PageCalibration> readCalibrations(const QString& settingsFile)
{
    std::map<QString, PageCalibration> all;
    QSettings file(settingsFile, QSettings::IniFormat);
    file.beginGroup(Section);
    for (const QString& key : file.childGroups()) {
        file.beginGroup(key);
        PageCalibration c;
        bool okX = false, okY = false, okS = false;
        c.offsetXMm = file.value(QStringLiteral("OffsetX")).toDouble(&okX);
        c.offsetYMm = file.value(QStringLiteral("OffsetY")).toDouble(&okY);
        c.scalePercent = file.value(QStringLiteral("Scale")).toDouble(&okS);
        file.endGroup();
        // A hand-edited entry that cannot be used is left out rather than
        // misplacing every card.
        if (okX && okY && okS && calibrationProblem(c).isEmpty())
            all[QUrl::fromPercentEncoding(key.toLatin1())] = c;
    }
    return all;
}

std::optional<PageCalibration> readCalibration(const QString& settingsFile, const QString& printer)
{
    const auto all = readCalibrations(settingsFile);
    const auto it = all.find(printer);
    if (it == all.end())
        return std::nullopt;
    return it->second;
}

bool writeCalibration(const QString& settingsFile, const QString& printer, const PageCalibration& calibration,
                      QString* error)
{
    const QString problem = printer.isEmpty() ? QStringLiteral("A calibration needs a printer name")
                                              : calibrationProblem(calibration);
    if (!problem.isEmpty()) {
        if (error)
            *error = problem;
        return false;
    }
    QDir().mkpath(QFileInfo(settingsFile).absolutePath());
    QSettings file(settingsFile, QSettings::IniFormat);
    file.beginGroup(Section);
    file.beginGroup(keyOf(printer));
    file.setValue(QStringLiteral("OffsetX"), calibration.offsetXMm);
    file.setValue(QStringLiteral("OffsetY"), calibration.offsetYMm);
    file.setValue(QStringLiteral("Scale"), calibration.scalePercent);
    file.endGroup();
    file.endGroup();
    return settingsWritten(file, error);
}

bool removeCalibration(const QString& settingsFile, const QString& printer, QString* error)
{
    QSettings file(settingsFile, QSettings::IniFormat);
    file.beginGroup(Section);
    file.remove(keyOf(printer));
    file.endGroup();
    return settingsWritten(file, error);
}

void drawCalibrationPage(QPainter& p, double widthMm, double lengthMm, double dpmm)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(Qt::black);
    pen.setWidthF(0.2 * dpmm);
    p.setPen(pen);
    QFont font(QStringLiteral("Sans"));
    font.setPixelSize(int(std::lround(2.5 * dpmm)));
    p.setFont(font);
    auto at = [dpmm](double x, double y) { return QPointF(x * dpmm, y * dpmm); };
    // Rulers from the sheet's top left corner: a tick every millimetre,
    // longer every 5, numbered every 10.
    for (int mm = 0; mm <= int(widthMm); ++mm) {
        const double len = mm % 10 == 0 ? 6 : mm % 5 == 0 ? 4 : 2;
        p.drawLine(at(mm, 0), at(mm, len));
        if (mm % 10 == 0 && mm > 0)
            p.drawText(at(mm + 0.5, 9), QString::number(mm));
    }
    for (int mm = 0; mm <= int(lengthMm); ++mm) {
        const double len = mm % 10 == 0 ? 6 : mm % 5 == 0 ? 4 : 2;
        p.drawLine(at(0, mm), at(len, mm));
        if (mm % 10 == 0 && mm > 0)
            p.drawText(at(7, mm + 1), QString::number(mm));
    }
    auto cross = [&](double x, double y) {
        p.drawLine(at(x - 8, y), at(x + 8, y));
        p.drawLine(at(x, y - 8), at(x, y + 8));
        p.drawEllipse(at(x, y), 3 * dpmm, 3 * dpmm);
        p.drawText(at(x + 1, y - 1), QStringLiteral("%1, %2 mm").arg(x).arg(y));
    };
    const double in = 20;
    cross(in, in);
    cross(widthMm - in, in);
    cross(in, lengthMm - in);
    cross(widthMm - in, lengthMm - in);
    cross(std::round(widthMm / 2), std::round(lengthMm / 2));
    // A 100 mm square shows the scale: measure its sides.
    const double left = std::round(widthMm / 2) - 50, top = std::round(lengthMm / 2) + 20;
    if (top + 100 < lengthMm - 30)
        p.drawRect(QRectF(at(left, top), at(left + 100, top + 100)));
    p.drawText(at(30, 40), QStringLiteral("Cardmint printer calibration: print without calibration, then measure where"));
    p.drawText(at(30, 45), QStringLiteral("each crosshair lies on the rulers; the difference is the offset (x right, y down)."));
    p.restore();
}

bool writeCalibrationPdf(const QString& fileName, QString* error)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("Cannot create \"%1\": %2").arg(fileName, file.errorString());
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setCreator(QStringLiteral("Cardmint"));
        writer.setTitle(QStringLiteral("Printer calibration"));
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        QPainter painter;
        if (!painter.begin(&writer)) {
            if (error)
                *error = QStringLiteral("Cannot start the PDF \"%1\"").arg(fileName);
            return false;
        }
        drawCalibrationPage(painter, 210, 297, writer.resolution() / 25.4);
        painter.end();
    }
    if (!file.commit()) {
        if (error)
            *error = QStringLiteral("Cannot write \"%1\": %2").arg(fileName, file.errorString());
        return false;
    }
    return true;
}

} // namespace cm
