#include "expr/functionlibrary.h"

#include <QHash>

namespace cm {

const char* const CardmintVendorTag = "Cardmint";

void TQRFunctionLibrary::RegisterFunction(FunctionFactory factory, const QString& name, const QString& description,
                                          const QString& vendor, const QString& data)
{
    const QString upper = name.toUpper();
    if (indexOf(upper) >= 0)
        return;
    m_entries.push_back({upper, description, vendor, data, std::move(factory)});
    m_index.insert(upper, int(m_entries.size()) - 1);
}

int TQRFunctionLibrary::indexOf(const QString& upperName) const
{
    const auto it = m_index.constFind(upperName);
    return it == m_index.constEnd() ? -1 : it.value();
}

std::unique_ptr<TQREvElementFunction> TQRFunctionLibrary::create(const QString& upperName) const
{
    const int i = indexOf(upperName);
    return i < 0 ? nullptr : m_entries[size_t(i)].Item();
}

std::unique_ptr<TQREvElement> TQRFunctionLibrary::lookup(const QString& upperName) const
{
    if (auto fn = create(upperName))
        return fn;
    return std::make_unique<TQREvElementError>(evMessage(u"Unknown function : %s", upperName.left(MaxResultText)));
}

TQRFunctionLibrary& functionLibrary()
{
    static TQRFunctionLibrary library;
    static const bool registered = [] {
        registerStandardFunctions(library);
        registerDesignerFunctions(library);
        return true;
    }();
    Q_UNUSED(registered);
    return library;
}

QString functionCategoryName(int digit)
{
    switch (digit) {
    case 1: return QStringLiteral("Date & time");
    case 2: return QStringLiteral("Math & trig");
    case 3: return QStringLiteral("Statistical");
    case 4: return QStringLiteral("Database");
    case 5: return QStringLiteral("Logical");
    case 6: return QStringLiteral("Information");
    case 7: return QStringLiteral("Other");
    default: return QString();
    }
}

} // namespace cm
