#pragma once
// Single-byte Windows and DOS code pages. Layout files, Paradox tables and old
// ADIF files hold single-byte text; inside the program all text is Unicode.
// Conversion happens at the file boundary only.
#include <QByteArray>
#include <QString>

class QLocale;

namespace cm {

class CodePage {
public:
    // An unknown code page number falls back to 1252.
    explicit CodePage(int number = 1252);

    int number() const { return number_; }
    QString decode(QByteArrayView bytes) const;
    // Characters the code page cannot hold become '?'.
    QByteArray encode(QStringView text) const;
    bool canEncode(QStringView text) const;

    static bool isSupported(int number);
    // The code page of layout files: set by the user, otherwise from the
    // locale's language (1250 Central European, 1251 Cyrillic, 1252 Western ...).
    static const CodePage& layout();
    static void setLayoutCodePage(int number);
    static int defaultForLocale(const QLocale& locale);

private:
    int number_;
    const char16_t* upper_;
};

} // namespace cm
