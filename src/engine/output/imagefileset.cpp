#include "engine/output/imagefileset.h"

#include "engine/qrerror.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace cm {

namespace {

// Opens a new file of a name no other file has in `folder` (the process
// and a count tell runs and pages apart; an existing file is never opened).
// False with the reason in `error` when none can be made.
bool openNew(QFile& file, const QString& folder, QString* error)
{
    static std::atomic<quint64> count = 0;
    const QDir dir(folder);
    for (int attempt = 0; attempt < 100; ++attempt) {
        file.setFileName(dir.filePath(QStringLiteral(".cardmint-%1-%2.part").arg(QCoreApplication::applicationPid()).arg(count++)));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return true;
        if (!file.exists())
            break;   // not a name taken by chance: the folder refuses
    }
    *error = file.errorString();
    return false;
}

// Renames with rename(2): a file in the way is replaced in one step.
bool renameOver(const QString& from, const QString& to, QString* error)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    if (error)
        *error = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

} // namespace

ImageFileSet::~ImageFileSet() { removeAll(); }

void ImageFileSet::removeAll()
{
    for (const QString& file : files_)
        QFile::remove(file);
    files_.clear();
}

void ImageFileSet::add(const QString& folder, const QByteArray& bytes)
{
    QFile file;
    QString error;
    if (!openNew(file, folder, &error))
        throw EQRError(QStringLiteral("Cannot create an image file in \"%1\": %2").arg(folder, error));
    files_.push_back(file.fileName());
    if (file.write(bytes) != bytes.size() || !file.flush())
        throw EQRError(QStringLiteral("Cannot write an image file in \"%1\": %2").arg(folder, file.errorString()));
}

void ImageFileSet::commit(const QStringList& names)
{
    if (names.size() < qsizetype(files_.size()))
        throw EQRError(QStringLiteral("There is no file name for page %1").arg(names.size() + 1));
    // Each name that was taken before keeps its old file under a spare name
    // until every file is in place, so that a failure puts it back.
    struct Placed {
        QString name;
        QString kept;   // the old file of that name, if there was one
    };
    std::vector<Placed> placed;
    auto undo = [&] {
        for (auto p = placed.rbegin(); p != placed.rend(); ++p) {
            QFile::remove(p->name);
            if (!p->kept.isEmpty())
                renameOver(p->kept, p->name, nullptr);
        }
        removeAll();
    };
    for (size_t n = 0; n < files_.size(); ++n) {
        const QString& name = names[qsizetype(n)];
        const QFileInfo old(name);
        QString error;
        Placed p{name, {}};
        bool ok = true;
        if (old.isDir()) {
            error = QStringLiteral("a folder of that name is in the way");
            ok = false;
        } else if (old.exists() || old.isSymLink()) {
            QFile spare;
            if (openNew(spare, old.path(), &error)) {
                spare.close();
                p.kept = spare.fileName();
            }
            ok = !p.kept.isEmpty() && renameOver(name, p.kept, &error);
            if (!ok && !p.kept.isEmpty())
                QFile::remove(p.kept);
        }
        if (ok && !renameOver(files_[n], name, &error)) {
            ok = false;
            if (!p.kept.isEmpty())
                renameOver(p.kept, name, nullptr);
        }
        if (!ok) {
            undo();
            throw EQRError(QStringLiteral("Cannot write \"%1\": %2; no image was written").arg(name, error));
        }
        files_[n].clear();
        placed.push_back(std::move(p));
    }
    for (const Placed& p : placed)
        if (!p.kept.isEmpty())
            QFile::remove(p.kept);
    files_.clear();
}

QString ImageFileSet::folderOf(const QString& pattern)
{
    const qsizetype field = pattern.indexOf(u'{');
    const QString fixed = field < 0 ? pattern : pattern.left(field);
    const qsizetype slash = fixed.lastIndexOf(u'/');
    return slash < 0 ? QStringLiteral(".") : slash == 0 ? QStringLiteral("/") : fixed.left(slash);
}

} // namespace cm
