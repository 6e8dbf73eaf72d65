#include "report/codepage.h"

#include "report/codepage_tables.h"

#include <QLocale>
#include <optional>

namespace cm {

static const char16_t* findTable(int number)
{
    for (int i = 0; i < detail::kCodePageCount; ++i) {
        if (detail::kCodePages[i].codePage == number)
            return detail::kCodePages[i].upper;
    }
    return nullptr;
}

CodePage::CodePage(int number)
    : number_(number), upper_(findTable(number))
{
    if (!upper_) {
        number_ = 1252;
        upper_ = findTable(1252);
    }
}

bool CodePage::isSupported(int number) { return findTable(number) != nullptr; }

QString CodePage::decode(QByteArrayView bytes) const
{
    QString s(bytes.size(), Qt::Uninitialized);
    QChar* out = s.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out[i] = b < 0x80 ? QChar(b) : QChar(upper_[b - 0x80]);
    }
    return s;
}

static int encodeChar(const char16_t* upper, char16_t c)
{
    if (c < 0x80)
        return c;
    for (int i = 0; i < 128; ++i) {
        if (upper[i] == c && c != 0xFFFD)
            return 0x80 + i;
    }
    return -1;
}

QByteArray CodePage::encode(QStringView text) const
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;   // one character outside the basic plane: one '?'
        const int b = encodeChar(upper_, ch.unicode());
        out.append(b < 0 ? '?' : static_cast<char>(b));
    }
    return out;
}

bool CodePage::canEncode(QStringView text) const
{
    for (QChar ch : text) {
        if (encodeChar(upper_, ch.unicode()) < 0)
            return false;
    }
    return true;
}

int CodePage::defaultForLocale(const QLocale& locale)
{
    switch (locale.language()) {
    case QLocale::Slovenian: case QLocale::Croatian: case QLocale::Czech: case QLocale::Slovak:
    case QLocale::Polish: case QLocale::Hungarian: case QLocale::Romanian: case QLocale::Albanian:
    case QLocale::Bosnian:
        return 1250;
    case QLocale::Russian: case QLocale::Ukrainian: case QLocale::Belarusian:
    case QLocale::Bulgarian: case QLocale::Macedonian: case QLocale::Serbian:
        return locale.script() == QLocale::LatinScript ? 1250 : 1251;
    case QLocale::Greek:
        return 1253;
    case QLocale::Turkish: case QLocale::Azerbaijani:
        return 1254;
    case QLocale::Hebrew:
        return 1255;
    case QLocale::Arabic: case QLocale::Persian: case QLocale::Urdu:
        return 1256;
    case QLocale::Estonian: case QLocale::Latvian: case QLocale::Lithuanian:
        return 1257;
    case QLocale::Vietnamese:
        return 1258;
    case QLocale::Thai:
        return 874;
    default:
        return 1252;
    }
}

static std::optional<CodePage>& layoutSlot()
{
    static std::optional<CodePage> slot;
    return slot;
}

const CodePage& CodePage::layout()
{
    auto& slot = layoutSlot();
    if (!slot) {
        bool ok = false;
        const int fromEnv = qEnvironmentVariableIntValue("CARDMINT_CODEPAGE", &ok);
        slot.emplace(ok && isSupported(fromEnv) ? fromEnv : defaultForLocale(QLocale::system()));
    }
    return *slot;
}

void CodePage::setLayoutCodePage(int number) { layoutSlot().emplace(number); }

} // namespace cm
