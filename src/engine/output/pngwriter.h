#pragma once
// A PNG writer for page images. Card pages are mostly one background
// colour; the general writer tries every row filter on every row and packs
// hard, which took nine tenths of the time of one image per card. This one
// takes the row above as the predictor (the "up" filter, which turns a
// plain background into zeros) and packs fast. The pixels are the same.
//
// Most rows of a card are the same as the row above (two thirds of the demo
// card at 300 dpi), and packing their zeros was still most of the work. So
// only the rows that differ go through the packer; a run of repeated rows is
// put together from pieces packed once per image width (1, 2, 4 ... rows of
// zeros, each a self-contained stretch of the stream).
#include <QByteArray>
#include <QImage>
#include <QIODevice>

namespace cm {

// `image` as an 8-bit RGB PNG with its resolution; empty when it cannot be
// made (a null image, or no memory).
QByteArray encodeFastPng(const QImage& image);

// Writes encodeFastPng(image) to `device`; false when the device does not
// take all bytes.
bool writeFastPng(const QImage& image, QIODevice& device);

} // namespace cm
