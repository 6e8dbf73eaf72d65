#pragma once
// File names for one image per card, made from the card's QSO: a pattern
// such as "{Call}_{Datum}_{Band}.jpg" takes the values of the first QSO on
// each page. Values are made safe for file names, and names that come out
// the same are told apart.
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace cm {

class CardFileNamePattern {
public:
    // The pattern, or nothing with the reason: an unclosed brace, or a field
    // `isField` does not know.
    static std::optional<CardFileNamePattern> parse(const QString& pattern,
                                                    const std::function<bool(const QString&)>& isField,
                                                    QString* error);

    bool hasFields() const { return !fields_.isEmpty(); }
    const QStringList& fields() const { return fields_; }
    // The name with each {Field} replaced by the safe form of its value.
    QString nameFor(const std::function<QString(const QString& field)>& value) const;

private:
    QStringList parts_;   // literal text and field names, alternating (text first)
    QStringList fields_;
};

// A value as part of a file name: path separators and characters that file
// systems refuse become '-', control characters go, and surrounding dots and
// spaces are dropped ("VP2E/W1AW" -> "VP2E-W1AW"); empty gives "_".
QString fileNameSafe(const QString& value);

// The names with a repeated one numbered before its extension: the second
// "W1AW.png" becomes "W1AW-2.png". Names compare without regard to case,
// as on file systems that do not tell case apart.
QStringList uniqueFileNames(const QStringList& names);

} // namespace cm
