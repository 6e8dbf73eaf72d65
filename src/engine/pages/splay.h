#pragma once
// The adaptive splay-tree prefix code of compressed report-file pages. Every
// page is coded with a fresh tree, so both functions start from scratch.
#include <QByteArray>
#include <QByteArrayView>

namespace cm {

QByteArray splayCompress(QByteArrayView plain);

// Decodes exactly `plainLength` bytes. Every symbol takes at least one bit,
// so a length above 8 × coded size cannot be valid and is refused before any
// allocation. Returns false (and leaves `out` empty) on a short or bad code.
bool splayDecompress(QByteArrayView coded, qint64 plainLength, QByteArray& out);

} // namespace cm
