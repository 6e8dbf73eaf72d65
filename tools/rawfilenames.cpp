#include "rawfilenames.h"

#include <QDir>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cm::cli {

namespace {

// Length of the valid UTF-8 sequence at `i`, 0 when the byte starts none.
qsizetype utf8Length(QByteArrayView b, qsizetype i)
{
    const auto at = [&](qsizetype k) { return static_cast<unsigned char>(b[k]); };
    const unsigned char c = at(i);
    if (c < 0x80)
        return 1;
    qsizetype n = 0;
    unsigned char low = 0x80, high = 0xBF;   // the second byte's range
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        if (c == 0xE0)
            low = 0xA0;   // no overlong forms
        if (c == 0xED)
            high = 0x9F;   // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        if (c == 0xF0)
            low = 0x90;
        if (c == 0xF4)
            high = 0x8F;   // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (i + n > b.size())
        return 0;
    if (at(i + 1) < low || at(i + 1) > high)
        return 0;
    for (qsizetype k = 2; k < n; ++k)
        if (at(i + k) < 0x80 || at(i + k) > 0xBF)
            return 0;
    return n;
}

QString errnoText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Copies `from` into a new file beside `to` and puts it in place of `to`:
// the old file stays until the new one is whole.
bool copyInPlace(const QByteArray& from, const QByteArray& to, QString* error)
{
    const qsizetype slash = to.lastIndexOf('/');
    QByteArray temp = (slash < 0 ? QByteArray() : to.left(slash + 1)) + ".cardmint-save-XXXXXX";
    const int in = ::open(from.constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        *error = errnoText(errno);
        return false;
    }
    const int out = ::mkstemp(temp.data());
    if (out < 0) {
        *error = errnoText(errno);
        ::close(in);
        return false;
    }
    bool ok = true;
    char buffer[1 << 16];
    while (ok) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n == 0)
            break;
        if (n < 0) {
            ok = errno == EINTR;
            continue;
        }
        for (ssize_t done = 0; ok && done < n;) {
            const ssize_t w = ::write(out, buffer + done, size_t(n - done));
            if (w < 0 && errno != EINTR)
                ok = false;
            else if (w > 0)
                done += w;
        }
    }
    int saved = ok ? 0 : errno;
    ::close(in);
    // The file keeps its permissions; a new one gets those of a new file.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat old {};
    const mode_t mode = ::stat(to.constData(), &old) == 0 ? (old.st_mode & 07777) : (0666 & ~mask);
    if (ok && ::fchmod(out, mode) != 0)
        ok = false, saved = errno;
    if (ok && ::fsync(out) != 0)
        ok = false, saved = errno;
    if (::close(out) != 0 && ok)
        ok = false, saved = errno;
    if (ok && ::rename(temp.constData(), to.constData()) != 0)
        ok = false, saved = errno;
    if (!ok) {
        ::unlink(temp.constData());
        *error = errnoText(saved);
    }
    return ok;
}

} // namespace

bool isValidUtf8(QByteArrayView bytes)
{
    for (qsizetype i = 0; i < bytes.size();) {
        const qsizetype n = utf8Length(bytes, i);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

QString escapedFileName(QByteArrayView bytes)
{
    QString shown;
    for (qsizetype i = 0; i < bytes.size();) {
        const qsizetype n = utf8Length(bytes, i);
        if (n > 0) {
            shown += QString::fromUtf8(bytes.sliced(i, n));
            i += n;
        } else {
            shown += QStringLiteral("\\x%1").arg(static_cast<unsigned char>(bytes[i]), 2, 16, QLatin1Char('0'));
            ++i;
        }
    }
    return shown;
}

RawFileNames::~RawFileNames()
{
    for (const Name& n : names_) {
        ::unlink(QFile::encodeName(n.standIn).constData());
        ::rmdir(n.folder.constData());
    }
    if (!root_.isEmpty())
        ::rmdir(root_.constData());
}

bool RawFileNames::makeRoot(QString* error)
{
    if (!root_.isEmpty())
        return true;
    QByteArray pattern = QFile::encodeName(QDir::tempPath()) + "/cardmint-names-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        *error = QStringLiteral("cannot make a temporary folder: ") + errnoText(errno);
        return false;
    }
    root_ = pattern;
    return true;
}

QString RawFileNames::standIn(QByteArrayView raw, bool output, QString* error)
{
    if (!makeRoot(error))
        return {};
    Name n;
    n.raw = raw.toByteArray();
    n.escaped = escapedFileName(raw);
    n.output = output;
    n.absoluteRaw = n.raw;
    if (!n.raw.startsWith('/')) {
        char* cwd = ::getcwd(nullptr, 0);
        if (!cwd) {
            *error = QStringLiteral("cannot tell the current folder: ") + errnoText(errno);
            return {};
        }
        n.absoluteRaw = QByteArray(cwd) + '/' + n.raw;
        std::free(cwd);
    }
    if (output && !canWrite(n, error))
        return {};
    n.folder = root_ + '/' + QByteArray::number(qulonglong(names_.size()));
    if (::mkdir(n.folder.constData(), 0700) != 0) {
        *error = QStringLiteral("cannot make a temporary folder: ") + errnoText(errno);
        return {};
    }
    // The stand-in keeps the name's last part, escaped, so that its suffix
    // (.adi, .pdf ...) and the name in messages stay as typed.
    const qsizetype slash = n.raw.lastIndexOf('/');
    QString leaf = escapedFileName(QByteArrayView(n.raw).sliced(slash + 1));
    if (leaf.isEmpty())
        leaf = QStringLiteral("file");
    n.standIn = QFile::decodeName(n.folder) + u'/' + leaf;
    if (!output && ::symlink(n.absoluteRaw.constData(), QFile::encodeName(n.standIn).constData()) != 0) {
        *error = QStringLiteral("cannot link to \"%1\": %2").arg(n.escaped, errnoText(errno));
        ::rmdir(n.folder.constData());
        return {};
    }
    names_.push_back(n);
    return names_.back().standIn;
}

// Checked before the command runs, so that a run that marks QSOs as sent
// does not end with the file missing: the folder exists and takes files,
// and a file already there is not write-protected.
bool RawFileNames::canWrite(const Name& n, QString* error)
{
    const qsizetype slash = n.absoluteRaw.lastIndexOf('/');
    const QByteArray folder = slash <= 0 ? QByteArray("/") : n.absoluteRaw.left(slash);
    struct stat info {};
    int cause = 0;
    if (::stat(folder.constData(), &info) != 0)
        cause = errno;
    else if (!S_ISDIR(info.st_mode))
        cause = ENOTDIR;
    else if (::access(folder.constData(), W_OK) != 0)
        cause = errno;
    if (cause != 0) {
        *error = QStringLiteral("Error writing %1! %2").arg(n.escaped, errnoText(cause));
        return false;
    }
    if (::stat(n.absoluteRaw.constData(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            *error = QStringLiteral("Error writing %1! %1 is a folder").arg(n.escaped);
            return false;
        }
        if ((info.st_mode & 0222) == 0) {
            *error = QStringLiteral("Error writing %1! %1 is read-only").arg(n.escaped);
            return false;
        }
    }
    return true;
}

bool RawFileNames::commitOutputs(QString* error)
{
    for (const Name& n : names_) {
        if (!n.output)
            continue;
        const QByteArray written = QFile::encodeName(n.standIn);
        struct stat info {};
        if (::lstat(written.constData(), &info) != 0)
            continue;   // the command did not write this one
        // A write-protected file is not replaced, as an editor would not.
        struct stat target {};
        if (::stat(n.absoluteRaw.constData(), &target) == 0 && (target.st_mode & 0222) == 0) {
            *error = QStringLiteral("Error writing %1! %1 is read-only").arg(n.escaped);
            return false;
        }
        if (::rename(written.constData(), n.absoluteRaw.constData()) == 0)
            continue;
        QString cause = errnoText(errno);
        if (errno != EXDEV || !copyInPlace(written, n.absoluteRaw, &cause)) {
            *error = QStringLiteral("Error writing %1! %2").arg(n.escaped, cause);
            return false;
        }
    }
    return true;
}

QString RawFileNames::shown(QString text) const
{
    for (const Name& n : names_)
        text.replace(n.standIn, n.escaped);
    return text;
}

ShownNamesDevice::ShownNamesDevice(std::FILE* to, const RawFileNames& names) : to_(to), names_(names)
{
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

ShownNamesDevice::~ShownNamesDevice()
{
    if (!pending_.isEmpty())
        emitText(pending_);
}

qint64 ShownNamesDevice::writeData(const char* data, qint64 size)
{
    pending_.append(data, size);
    const qsizetype end = pending_.lastIndexOf('\n');
    if (end >= 0) {
        emitText(pending_.left(end + 1));
        pending_.remove(0, end + 1);
    }
    return size;
}

void ShownNamesDevice::emitText(const QByteArray& bytes)
{
    const QByteArray text = names_.shown(QString::fromUtf8(bytes)).toUtf8();
    std::fwrite(text.constData(), 1, size_t(text.size()), to_);
    std::fflush(to_);
}

} // namespace cm::cli
