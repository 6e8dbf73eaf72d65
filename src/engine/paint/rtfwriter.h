#pragma once
// Writes a QTextDocument as a Rich Text Format document that the reader of
// rtfreader.h reads back: text in the layout code page (\'hh escapes), other
// characters as \uN, and the character and paragraph formatting the reader knows.
#include <QByteArray>

class QTextDocument;

namespace cm {

QByteArray writeRtf(const QTextDocument& document);

} // namespace cm
