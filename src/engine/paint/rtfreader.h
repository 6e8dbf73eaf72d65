#pragma once
// Reads the Rich Text Format documents that layout files carry for rich-text
// elements into a QTextDocument. The input comes from user files, so the
// reader checks every byte, limits group nesting and never recurses.
#include <QByteArrayView>
#include <QString>

class QTextDocument;

namespace cm {

// True when the bytes start like an RTF document ("{\rtf").
bool looksLikeRtf(QByteArrayView bytes);

// Replaces the document's content with the RTF's text and formatting.
// False with `error` set when the bytes are not a readable RTF document;
// the document then holds what was read up to the fault.
bool readRtf(QByteArrayView rtf, QTextDocument& document, QString* error = nullptr);

} // namespace cm
