#pragma once
// The function registry: name → element factory, with the texts the
// expression builder shows (call template | explanation, argument list).
#include "expr/evelements.h"

#include <QHash>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace cm {

using FunctionFactory = std::function<std::unique_ptr<TQREvElementFunction>()>;

struct TQRLibraryEntry {
    QString Name;          // upper case
    QString Description;   // call template, '|', explanation
    QString Vendor;
    QString Data;          // category digit, then one letter per argument
    FunctionFactory Item;

    QString callTemplate() const { return Description.section(u'|', 0, 0); }
    QString explanation() const { return Description.section(u'|', 1); }
    int category() const { return Data.isEmpty() ? 0 : Data.at(0).digitValue(); }
    QString argumentLetters() const { return Data.mid(1); }
};

class TQRFunctionLibrary {
public:
    void RegisterFunction(FunctionFactory factory, const QString& name, const QString& description,
                          const QString& vendor, const QString& data);
    // A new function element, or nullptr when the name is unknown.
    std::unique_ptr<TQREvElementFunction> create(const QString& upperName) const;
    // A new element of the entry, or an error element "Unknown function : %s".
    std::unique_ptr<TQREvElement> lookup(const QString& upperName) const;
    bool contains(const QString& upperName) const { return indexOf(upperName) >= 0; }
    int Count() const { return int(m_entries.size()); }
    const TQRLibraryEntry& Entry(int index) const { return m_entries[size_t(index)]; }
    int indexOf(const QString& upperName) const;

private:
    std::vector<TQRLibraryEntry> m_entries;
    QHash<QString, int> m_index;   // name → entry, so compiling a call does not scan
};

// The process-wide registry, filled with the standard and the designer
// functions on first use (once, however many callers ask).
TQRFunctionLibrary& functionLibrary();

// Category names as the builder shows them ("Date & time" ...); 8 is unlisted.
QString functionCategoryName(int digit);

// Registration of the two libraries (called by functionLibrary()).
void registerStandardFunctions(TQRFunctionLibrary& library);
void registerDesignerFunctions(TQRFunctionLibrary& library);

// The vendor tag every entry of ours carries.
extern const char* const CardmintVendorTag;

} // namespace cm
