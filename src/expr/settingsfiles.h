#pragma once
// Reading of INI-style settings files for READINI and READREGISTRY.
#include <QString>
#include <optional>

namespace cm {

// The value of `key` in `[section]` of an INI file; sections and keys
// compare without regard to case, the first match wins, surrounding blanks
// and one pair of enclosing quotes are removed. Missing file or key: nullopt.
// Files beyond a few megabytes are not read.
std::optional<QString> readIniValue(const QString& fileName, QStringView section, QStringView key);

// READREGISTRY on Linux. The registry is mapped onto the XDG configuration
// files that QSettings uses for native settings:
//  - root key HKEY_CURRENT_USER or HKEY_USERS → $XDG_CONFIG_HOME (~/.config);
//    HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT, HKEY_CURRENT_CONFIG → /etc/xdg;
//    HKEY_PERFORMANCE_DATA and HKEY_DYN_DATA have no equivalent (nullopt);
//    any other first text is a key path below the current user's root, as
//    on the original platform;
//  - key path "Software\Vendor\Product\Sub\Key": a leading "Software" is
//    dropped, then the file is "<root>/Vendor/Product.conf" (one component
//    only: "<root>/Vendor.conf") and the section is the remaining path
//    joined with '\' ("General" when there is none);
//  - the value name is the key in that section.
// ".." components are refused.
std::optional<QString> readRegistryValue(const QString& rootOrPath, const QString& keyPath, const QString& valueName);

} // namespace cm
