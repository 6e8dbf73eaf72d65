#pragma once
// The demo logbook: realistic QSOs (calls from many countries, bands,
// modes, dates) made by a deterministic generator, so the bundled Demo.db
// is built from source and never kept as an opaque file.
#include "report/dataset.h"

#include <QVariant>
#include <vector>

namespace cm {

// One value per persistent field (Log empty) for `count` QSOs; the same
// `variant` always gives the same QSOs.
std::vector<std::vector<QVariant>> makeDemoQsos(int count, quint32 variant);

// Writes a new logbook file with those QSOs; an existing file is refused.
bool writeDemoLogbook(const QString& path, int count, quint32 variant, QString* error);

} // namespace cm
