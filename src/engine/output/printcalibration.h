#pragma once
// Printer calibrations, one per printer name, kept in the program's settings
// file (Cardmint.ini, section "Calibration"), and the page of rulers and
// crosshairs the offset is measured on.
#include "engine/pages/pagecalibration.h"

#include <QString>
#include <QStringList>

#include <map>
#include <optional>

class QPainter;

namespace cm {

constexpr double MinCalibrationScale = 50;
constexpr double MaxCalibrationScale = 150;
constexpr double MaxCalibrationOffsetMm = 50;

// The settings file in the user's configuration folder, as the window uses it.
QString standardSettingsFile();

// What is wrong with a calibration, for the user; empty when it can be used.
QString calibrationProblem(const PageCalibration& calibration);

// The calibration stored for `printer`, or none.
std::optional<PageCalibration> readCalibration(const QString& settingsFile, const QString& printer);
// Every stored calibration by printer name.
std::map<QString, PageCalibration> readCalibrations(const QString& settingsFile);
// Stores (or with `remove` forgets) the printer's calibration; other
// settings in the file are kept. False with the reason.
bool writeCalibration(const QString& settingsFile, const QString& printer, const PageCalibration& calibration,
                      QString* error);
bool removeCalibration(const QString& settingsFile, const QString& printer, QString* error);

// Draws rulers along the edges and crosshairs 20 mm in from each corner and
// in the middle of a `widthMm` x `lengthMm` page, at `dotsPerMm`. Printed
// without calibration, the distance of a printed crosshair from where the
// ruler says it should be is the offset to enter.
void drawCalibrationPage(QPainter& painter, double widthMm, double lengthMm, double dotsPerMm);
// The calibration page as a PDF (A4); an existing file is replaced only when
// the whole page was written.
bool writeCalibrationPdf(const QString& fileName, QString* error);

} // namespace cm
