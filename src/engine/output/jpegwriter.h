#pragma once
// A JPEG writer for page images. The general image writer turns every row
// into packed RGB before it compresses, which took a fifth of the time of
// one JPEG per card; libjpeg-turbo reads the page image's own pixel layout
// instead. The settings are the general writer's (baseline, 4:2:0, the
// accurate transform, which libjpeg-turbo runs as fast as the fast one), so
// the pixels are the same.
#include <QByteArray>
#include <QImage>

namespace cm {

// `image` as a baseline JPEG of `quality` (0 to 100), colour in 4:2:0, with
// its resolution; empty when it cannot be made.
QByteArray encodeFastJpeg(const QImage& image, int quality);

} // namespace cm
