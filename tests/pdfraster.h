#pragma once
// The pages of a PDF as images, through poppler's pdftoppm, for tests that
// check where things were drawn. Empty when the tool is missing or fails.
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <vector>

namespace cmtest {

inline bool canRasterisePdf() { return !QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty(); }

// Each page in grey at `dpi`.
inline std::vector<QImage> rasterisePdf(const QString& pdf, int dpi)
{
    QTemporaryDir dir;
    QProcess p;
    p.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-gray"), pdf,
                                         dir.filePath(QStringLiteral("page"))});
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    std::vector<QImage> pages;
    for (const QString& name : QDir(dir.path()).entryList({QStringLiteral("page*.pgm")}, QDir::Files, QDir::Name))
        pages.push_back(QImage(dir.filePath(name)).convertToFormat(QImage::Format_Grayscale8));
    return pages;
}

// The smallest rectangle holding every pixel darker than mid-grey.
inline QRect inkBounds(const QImage& page)
{
    QRect ink;
    for (int y = 0; y < page.height(); ++y) {
        const uchar* line = page.constScanLine(y);
        for (int x = 0; x < page.width(); ++x)
            if (line[x] < 128)
                ink |= QRect(x, y, 1, 1);
    }
    return ink;
}

} // namespace cmtest
