#include "expr/settingsfiles.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QStringList>

namespace cm {

namespace {
constexpr qint64 MaxIniBytes = 4 * 1024 * 1024;

QStringView unquote(QStringView v)
{
    v = v.trimmed();
    if (v.size() >= 2 && ((v.front() == u'"' && v.back() == u'"') || (v.front() == u'\'' && v.back() == u'\'')))
        v = v.mid(1, v.size() - 2);
    return v;
}
} // namespace

std::optional<QString> readIniValue(const QString& fileName, QStringView section, QStringView key)
{
    QFile file(fileName);
    if (fileName.isEmpty() || !file.open(QIODevice::ReadOnly) || file.size() > MaxIniBytes)
        return std::nullopt;
    const QString text = QString::fromUtf8(file.read(MaxIniBytes));
    bool inSection = false;
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.front() == u';')
            continue;
        if (line.front() == u'[') {
            const qsizetype close = line.indexOf(u']');
            const QStringView name = close < 0 ? line.mid(1) : line.mid(1, close - 1);
            inSection = name.trimmed().compare(section.trimmed(), Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection)
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            continue;
        if (line.left(eq).trimmed().compare(key.trimmed(), Qt::CaseInsensitive) == 0)
            return unquote(line.mid(eq + 1)).toString();
    }
    return std::nullopt;
}

std::optional<QString> readRegistryValue(const QString& rootOrPath, const QString& keyPath, const QString& valueName)
{
    const QString root = rootOrPath.toUpper();
    const QString userBase = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QString systemBase = QStringLiteral("/etc/xdg");
    QString base;
    QString path = keyPath;
    if (root == u"HKEY_CURRENT_USER" || root == u"HKEY_USERS") {
        base = userBase;
    } else if (root == u"HKEY_LOCAL_MACHINE" || root == u"HKEY_CLASSES_ROOT" || root == u"HKEY_CURRENT_CONFIG") {
        base = systemBase;
    } else if (root == u"HKEY_PERFORMANCE_DATA" || root == u"HKEY_DYN_DATA") {
        return std::nullopt;
    } else {
        base = userBase;
        QString tail = keyPath;
        while (tail.startsWith(u'\\')) tail.remove(0, 1);
        path = rootOrPath.endsWith(u'\\') ? rootOrPath + tail : rootOrPath + u'\\' + tail;
    }
    QStringList parts = path.split(u'\\', Qt::SkipEmptyParts);
    for (const QString& p : parts) {
        if (p == u".." || p == u"." || p.contains(u'/'))
            return std::nullopt;
    }
    if (!parts.isEmpty() && parts.first().compare(u"Software", Qt::CaseInsensitive) == 0)
        parts.removeFirst();
    if (parts.isEmpty() || base.isEmpty())
        return std::nullopt;
    QString file;
    if (parts.size() == 1) {
        file = base + u'/' + parts.takeFirst() + QStringLiteral(".conf");
    } else {
        const QString vendor = parts.takeFirst();
        file = base + u'/' + vendor + u'/' + parts.takeFirst() + QStringLiteral(".conf");
    }
    const QString section = parts.isEmpty() ? QStringLiteral("General") : parts.join(u'\\');
    return readIniValue(file, section, valueName);
}

} // namespace cm
