#include "designer/recoverystore.h"

#include "designer/document.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

namespace cm {

namespace {

const QString kLayoutSuffix = QStringLiteral(".QR2");
const QString kSourceSuffix = QStringLiteral(".source");

bool writeAtomically(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

QString sourceFileOf(const QString& layoutPath)
{
    return layoutPath.left(layoutPath.size() - kLayoutSuffix.size()) + kSourceSuffix;
}

} // namespace

RecoveryStore::RecoveryStore(Document& document, const QString& folder, QObject* parent)
    : QObject(parent), document_(document), folder_(folder)
{
    // One file per store, so two windows never write over each other.
    static int serial = 0;
    file_ = QDir(folder_).filePath(QStringLiteral("Recovery-%1-%2-%3%4")
                                       .arg(QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmss")))
                                       .arg(QCoreApplication::applicationPid())
                                       .arg(++serial)
                                       .arg(kLayoutSuffix));
    timer_.setSingleShot(true);
    timer_.setInterval(kDefaultIntervalMs);
    connect(&timer_, &QTimer::timeout, this, [this] { writeNow(); });
    connect(&document_, &Document::changed, this, &RecoveryStore::changed);
    connect(&document_, &Document::modifiedChanged, this, [this](bool modified) {
        if (modified)
            changed();
        else
            discard();
    });
}

RecoveryStore::~RecoveryStore() = default;

void RecoveryStore::changed()
{
    if (document_.isModified() && !timer_.isActive())
        timer_.start();
}

bool RecoveryStore::writeNow()
{
    timer_.stop();
    if (!document_.isModified())
        return false;
    if (!QDir().mkpath(folder_))
        return false;
    const QByteArray layout = document_.layoutBytes();
    if (layout.isEmpty() || !writeAtomically(file_, layout))
        return false;
    return writeAtomically(sourceFileOf(file_), document_.fileName().toUtf8());
}

void RecoveryStore::discard()
{
    timer_.stop();
    QFile::remove(file_);
    QFile::remove(sourceFileOf(file_));
}

std::vector<RecoveryEntry> RecoveryStore::list(const QString& folder)
{
    std::vector<RecoveryEntry> out;
    const QFileInfoList files =
        QDir(folder).entryInfoList({QStringLiteral("Recovery-*") + kLayoutSuffix}, QDir::Files, QDir::Time);
    for (const QFileInfo& info : files) {
        RecoveryEntry e;
        e.path = info.absoluteFilePath();
        e.written = info.lastModified();
        QFile source(sourceFileOf(e.path));
        if (source.open(QIODevice::ReadOnly))
            e.originalFile = QString::fromUtf8(source.read(4096));
        out.push_back(std::move(e));
    }
    return out;
}

bool RecoveryStore::restore(Document& document, const RecoveryEntry& entry)
{
    QFile file(entry.path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return document.loadData(file.readAll(), entry.originalFile, true);
}

void RecoveryStore::discard(const RecoveryEntry& entry)
{
    QFile::remove(entry.path);
    QFile::remove(sourceFileOf(entry.path));
}

} // namespace cm
