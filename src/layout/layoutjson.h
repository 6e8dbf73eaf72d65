#pragma once
// The JSON view of a loaded layout that "cardmint-cli dump" prints: the
// report's settings and every component with the properties the stream
// writer would store, in writing order.
#include <QByteArray>

namespace cm {

class TQRDLoader;

// Indented JSON text; object keys keep the writing order.
QByteArray layoutToJson(TQRDLoader& loader);

} // namespace cm
