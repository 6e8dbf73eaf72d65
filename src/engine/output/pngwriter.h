#pragma once
// A PNG writer for page images. Card pages are mostly one background
// colour; the general writer tries every row filter on every row and packs
// hard, which took nine tenths of the time of one image per card. This one
// takes the row above as the predictor (the "up" filter, which turns a
// plain background into zeros) and packs fast. The pixels are the same.
#include <QImage>
#include <QIODevice>

namespace cm {

// Writes `image` as an 8-bit RGB PNG with its resolution; false when the
// device does not take all bytes.
bool writeFastPng(const QImage& image, QIODevice& device);

} // namespace cm
