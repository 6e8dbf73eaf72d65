// Reading and writing layout files (*.QR2): a format word, tagged records
// and the component list of the report's bands and elements.
#include "layout/componentstream.h"
#include "layout/layoutlimits.h"
#include "layout/loader.h"
#include "layout/reportrecord.h"
#include "report/componentscope.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>
#include <unistd.h>

namespace cm {

namespace {

enum Tag : uint16_t {
    TagCustomData = 58,
    TagPrinter = 102,
    TagRichText = 103,
    TagObsolete = 252,
    TagScript = 253,
    TagTitle = 254,
    TagReport = 255,
    TagEnd = 256,
    TagDataSets = 257,   // written and read with the data sets
    TagQueryParams = 104,
};

constexpr uint16_t kFormatWord = 0x0406;
constexpr uint16_t kOlderFormatWord = 0x0405;
constexpr qint64 kMaxLayoutFileSize = 256LL * 1024 * 1024;

// Saves write a hidden file beside the target and rename it over the
// target. One left by a save that was cut off (a crash, a full disk) is
// removed by a later save into the same folder once it is old enough that
// no save can still be writing it.
constexpr const char* kSaveFilePrefix = ".cardmint-save-";
constexpr qint64 kStaleSaveFileSeconds = 10 * 60;

void removeStaleSaveFiles(const QString& folder)
{
    static const QRegularExpression ownName(QStringLiteral("^\\.cardmint-save-[A-Za-z0-9]{6}$"));
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QDir dir(folder);
    const QFileInfoList found = dir.entryInfoList({QLatin1String(kSaveFilePrefix) + u'*'},
                                                  QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo& f : found) {
        if (ownName.match(f.fileName()).hasMatch() && f.ownerId() == ::geteuid() &&
            f.lastModified().secsTo(now) > kStaleSaveFileSeconds)
            QFile::remove(f.absoluteFilePath());
    }
}

// The system's text for a failed file operation, as the tail of a message.
QString systemCause(const QString& text)
{
    return text.isEmpty() ? QStringLiteral("unknown error") : text.toLower();
}

bool isDataSourceNumbered(const Component* c)
{
    return dynamic_cast<const TDataSource*>(c) && !c->name().startsWith(QLatin1String("__"));
}

QStringList splitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch == u'\r' || ch == u'\n') {
            lines << text.mid(start, i - start);
            if (ch == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < text.size())
        lines << text.mid(start);
    return lines;
}

} // namespace

// ---------------------------------------------------------------- loader base

void TCompLoader::showError(QStringView key, const QString& parameter) const
{
    if (messageSink)
        messageSink->showError(runtimeMessages.errorText(key, parameter));
}

void TCompLoader::showErrorWithCause(QStringView key, const QString& cause, const QString& parameter) const
{
    if (messageSink)
        messageSink->showError(runtimeMessages.errorText(key, parameter) + QStringLiteral(" (") + cause + u')');
}

bool TCompLoader::loadFromFile(const QString& fileName)
{
    if (!QFileInfo::exists(fileName)) {
        showError(u"Reportfile not found", fileName);
        return false;
    }
    if (QFileInfo(fileName).isDir()) {
        showErrorWithCause(u"Error in reportfile", QStringLiteral("%1 is a folder, not a layout file").arg(fileName));
        return false;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        showErrorWithCause(u"Error in reportfile",
                           QStringLiteral("cannot read %1: %2").arg(fileName, file.errorString().toLower()));
        return false;
    }
    if (file.size() > kMaxLayoutFileSize) {
        showErrorWithCause(u"Error in reportfile",
                           QStringLiteral("%1 is larger than any layout file (over 256 MB)").arg(fileName));
        return false;
    }
    const QByteArray data = file.readAll();
    if (auto* d = dynamic_cast<TQRDLoader*>(this))
        d->loadedFileName = QFileInfo(fileName).absoluteFilePath();
    return readLayout(data, 0, true);
}

bool TCompLoader::loadFromData(const QByteArray& data)
{
    if (auto* d = dynamic_cast<TQRDLoader*>(this))
        d->loadedFileName.clear();
    return readLayout(data, 0, true);
}

bool TCompLoader::loadFromStream(QIODevice& device)
{
    return loadFromData(device.read(kMaxLayoutFileSize));
}

bool TCompLoader::loadFromBlob(const QByteArray& blob)
{
    if (blob.isEmpty())
        return true;
    return loadFromData(blob);
}

// ---------------------------------------------------------------- TQRDLoader

TQRDLoader::TQRDLoader(Container* owner)
    : TCompLoader(owner)
{
    // Take the last designer report of the container.
    if (owner) {
        const auto reports = owner->componentsOf<TQRDesignReport>();
        if (!reports.empty())
            report_ = reports.back();
    }
}

void TQRDLoader::componentRemoved(Component* c)
{
    if (report_ == c)
        report_ = nullptr;
}

QByteArray TQRDLoader::writeLayout(bool withDataSets)
{
    TQRDesignReport* r = report_;
    Container* owner = this->owner();
    const CodePage& cp = CodePage::layout();
    QByteArray data;
    ByteWriter out(data);
    out.u16(kFormatWord);
    if (!r || !owner)
        return data;

    out.u16(TagTitle);
    out.u16(256);
    writeStringBuffer(out, r->reportTitle, 256, cp);

    if (onSaveReport) {
        const QByteArray custom = onSaveReport();
        if (!custom.isEmpty() && custom.size() <= 0xFFFF) {
            out.u16(TagCustomData);
            out.u16(static_cast<uint16_t>(custom.size()));
            out.bytes(custom);
        }
    }

    if (saveLoadPrinterSetup) {
        const TQRReportPrinterSettings& ps = r->printerSettings;
        out.u16(TagPrinter);
        out.u16(kPrinterRecordSize);
        out.u8(static_cast<uint8_t>(ps.outputBin));
        out.i32(ps.copies);
        const QString name = (ps.printerIndex >= 0 && printerName) ? printerName(ps.printerIndex) : QString();
        writeStringBuffer(out, name, 256, cp);
        out.u8(ps.duplex);
    }

    // Data sources are numbered through their Tag.
    int number = 0;
    for (Component* c : owner->components()) {
        if (isDataSourceNumbered(c))
            c->tag = ++number;
    }

    // Unnamed rich-text elements get temporary names for the records that name them.
    std::vector<TQRDesignRichtext*> richTexts = owner->componentsOf<TQRDesignRichtext>();
    std::vector<TQRDesignRichtext*> renamed;
    for (TQRDesignRichtext* rt : richTexts) {
        if (rt->name().isEmpty()) {
            rt->setName(owner->nextFreeName(QStringLiteral("___Richtext")));
            renamed.push_back(rt);
        }
    }

    if (withDataSets)
        writeDataSets(out);

    // The report's data set is referred to through the first data source showing it.
    int16_t dataSetRef = 0;
    QString dataSetName;
    if (TDataSetComponent* ds = r->dataSet(); ds && ds->owner()) {
        for (Component* c : ds->owner()->components()) {
            auto* src = dynamic_cast<TDataSource*>(c);
            if (!src || src->dataSet != ds)
                continue;
            if (src->owner() == owner) {
                dataSetRef = static_cast<int16_t>(isDataSourceNumbered(src) ? src->tag : 0);
            } else {
                dataSetRef = -1;
                dataSetName = ds->name();
            }
            break;
        }
    }
    out.u16(TagReport);
    out.u16(kReportRecordSize);
    writeReportRecord(out, *r, dataSetRef, dataSetName, r->name(), cp);

    out.u16(TagScript);
    const QByteArray scriptBytes = cp.encode(script.text());
    out.u32(static_cast<uint32_t>(scriptBytes.size()));
    out.bytes(scriptBytes);

    if (withDataSets)
        writeQueryParamRecord(out);

    for (TQRDesignRichtext* rt : richTexts) {
        out.u16(TagRichText);
        out.shortString(rt->name(), cp);
        const QByteArray content = rt->richContent.isEmpty() ? cp.encode(rt->lines.text()) : rt->richContent;
        out.u32(static_cast<uint32_t>(content.size()));
        out.bytes(content);
    }

    out.u16(TagEnd);
    std::vector<Component*> top;
    for (Component* c : r->childControls()) {
        if (c->owner() == owner)
            top.push_back(c);
    }
    writeComponentList(out, top, owner, cp);

    for (TQRDesignRichtext* rt : renamed)
        rt->setName(QString());
    return data;
}

namespace {

// Frees every band and element of the container.
void clearReport(Container* owner)
{
    for (Component* c : owner->components()) {
        if (hasProperty(*c, u"ParentBand"))
            setProperty(*c, u"ParentBand", static_cast<Component*>(nullptr));
        if (hasProperty(*c, u"FooterBand"))
            setProperty(*c, u"FooterBand", static_cast<Component*>(nullptr));
    }
    for (bool found = true; found;) {
        found = false;
        for (Component* c : owner->components()) {
            if (isDesignObject(*c)) {
                destroyComponent(c);
                found = true;
                break;
            }
        }
    }
}

TDataSetComponent* nthDataSource(const std::vector<Container*>& containers, int n)
{
    for (Container* container : containers) {
        for (Component* c : container->components()) {
            if (isDataSourceNumbered(c) && --n == 0)
                return static_cast<TDataSource*>(c)->dataSet;
        }
    }
    return nullptr;
}

} // namespace

bool TQRDLoader::readLayout(const QByteArray& data, qsizetype offset, bool withDataSets)
{
    TQRDesignReport* r = report_;
    Container* owner = this->owner();
    if (!r || !owner)
        return false;
    const CodePage& cp = CodePage::layout();
    ByteReader in(data, offset);
    script.lines.clear();

    if (in.bytesLeft() < 2) {
        showErrorWithCause(u"Error in reportfile", in.bytesLeft() == 0 ? QStringLiteral("the file is empty")
                                                                       : QStringLiteral("the file is cut short"));
        return false;
    }
    const uint16_t word = in.u16();
    if (word != kFormatWord && word != kOlderFormatWord) {
        showErrorWithCause(u"Error in reportfile",
                           QStringLiteral("not a layout file (it starts with 0x%1)").arg(word, 4, 16, QLatin1Char('0')));
        return false;
    }

    const TQRUnit savedUnits = r->units();
    // A load that fails part way puts the report back as it was, with the
    // data sets it had when the load replaces them.
    const QByteArray snapshot = writeLayout(withDataSets);
    QList<QByteArray> paramMarks;

    struct KeptRichText {
        QString name;
        QByteArray bytes;
    };
    std::vector<KeptRichText> richTexts;

    try {
        script.lines.clear();
        clearReport(owner);
        if (withDataSets)
            destroyDataSets();
        r->setLayoutSuspended(true);

        bool ended = false;
        while (!ended && !in.atEnd()) {
            const uint16_t tag = in.u16();
            switch (tag) {
            case TagEnd:
                ended = true;
                break;
            case TagTitle:
                in.skip(in.u16());
                break;
            case TagCustomData: {
                const QByteArray bytes = in.bytes(in.u16()).toByteArray();
                if (onLoadReport)
                    onLoadReport(bytes);
                break;
            }
            case TagPrinter: {
                const uint16_t length = in.u16();
                QByteArray body(kPrinterRecordSize, '\0');
                const QByteArrayView stored = in.bytes(length);
                std::copy_n(stored.begin(), std::min<qsizetype>(stored.size(), kPrinterRecordSize), body.begin());
                if (saveLoadPrinterSetup) {
                    ByteReader p(body);
                    const uint8_t bin = p.u8();
                    const int32_t copies = p.i32();
                    ByteReader nameBuffer(p.bytes(256));
                    const QString name = nameBuffer.shortString(cp);
                    const bool duplex = p.u8() != 0;
                    if (!name.isEmpty() && findPrinter) {
                        const int index = findPrinter(name);
                        if (index >= 0)
                            r->printerSettings.printerIndex = index;
                    }
                    r->printerSettings.outputBin = bin < BinCount ? static_cast<TQRBin>(bin) : TQRBin::Auto;
                    r->printerSettings.copies = copies;
                    r->printerSettings.duplex = duplex;
                }
                break;
            }
            case TagReport: {
                const uint16_t length = in.u16();
                QByteArray body(kReportRecordSize, '\0');
                const QByteArrayView stored = in.bytes(length);
                std::copy_n(stored.begin(), std::min<qsizetype>(stored.size(), kReportRecordSize), body.begin());
                QString dataSetName;
                const int16_t ref = readReportRecord(body, in, *r, cp, &dataSetName);
                applyDataSetReference(ref, dataSetName, *r);
                break;
            }
            case TagScript: {
                const uint32_t size = in.u32();
                script.setLines(splitLines(cp.decode(in.bytes(size))));
                break;
            }
            case TagDataSets: {
                const uint32_t size = in.u32();
                const QByteArray block = in.bytes(size).toByteArray();
                if (withDataSets)
                    readDataSets(block);
                break;
            }
            case TagQueryParams:
                for (QByteArray mark = in.shortStringBytes(); mark != "\\"; mark = in.shortStringBytes()) {
                    if (withDataSets)
                        paramMarks << mark;
                }
                break;
            case TagRichText: {
                const QString name = in.shortString(cp);
                const uint32_t size = in.u32();
                richTexts.push_back({name, in.bytes(size).toByteArray()});
                break;
            }
            case TagObsolete: {
                const uint32_t count = in.u32();
                for (uint32_t i = 0; i < count; ++i)
                    in.skip(in.u32());
                break;
            }
            default:
                throw StreamError(QStringLiteral("unknown record %1").arg(tag));
            }
        }

        ComponentReadOptions options;
        options.owner = owner;
        options.parent = r;
        options.nameHook = [owner](const QString& name) {
            return name.isEmpty() || owner->isNameFree(name) ? name : owner->nextFreeName(name);
        };
        options.errorHook = [](const QString&) { return true; };
        readComponentList(in, options, cp);
        applyParamMarks(paramMarks);
        // Files are checked; snapshots (undo, the restore below) hold what
        // this program had in memory, which must come back whatever it is.
        if (withDataSets)
            checkLayoutNumbers(*r, *owner);
    } catch (const StreamError& e) {
        // Put the report back as it was before the load.
        try {
            clearReport(owner);
            r->setLayoutSuspended(false);
            // What the old data sets said when they opened was said before.
            MessageSink* sink = std::exchange(messageSink, nullptr);
            if (!snapshot.isEmpty())
                readLayout(snapshot, 0, withDataSets);
            messageSink = sink;
        } catch (const StreamError&) {
        }
        r->setLayoutSuspended(false);
        r->setUnits(savedUnits);
        showErrorWithCause(u"Error in reportfile", e.message());
        return false;
    }

    for (Component* c : owner->components()) {
        if (hasProperty(*c, u"QRDesigner"))
            cm::setProperty(*c, u"QRDesigner", static_cast<Component*>(this));
    }
    for (const KeptRichText& kept : richTexts) {
        auto* rt = dynamic_cast<TQRCustomRichText*>(owner->findComponent(kept.name));
        if (!rt)
            continue;
        if (kept.bytes.startsWith("{\\rtf"))
            rt->richContent = kept.bytes;
        else
            rt->lines.setLines(splitLines(cp.decode(kept.bytes)));
        if (kept.name.startsWith(QLatin1String("___")))
            rt->setName(QString());
    }
    for (TQRDesignDBText* t : owner->componentsOf<TQRDesignDBText>()) {
        DataSet* ds = t->dataSet ? t->dataSet->dataSet() : nullptr;
        const int index = ds ? ds->fieldIndex(t->dataField()) : -1;
        if (index >= 0)
            t->setCaption(ds->field(index).label());
    }
    tidyDataSets();
    routeCalcFields();
    r->setLayoutSuspended(false);
    r->afterLoad();
    r->setUnits(savedUnits);
    return true;
}

void TQRDLoader::applyDataSetReference(int16_t ref, const QString& dataSetName, TQRDesignReport& r)
{
    if (ref == 0)
        return;
    if (ref == -1) {
        TDataSetComponent* found = nullptr;
        if (useDataModules) {
            for (Container* c : owner()->scope().containers()) {
                if (!c->isDataModule())
                    continue;
                if ((found = dynamic_cast<TDataSetComponent*>(c->findComponent(dataSetName))))
                    break;
            }
        }
        r.setDataSet(found);
        return;
    }
    const auto bits = static_cast<uint16_t>(ref);
    const int n = bits & 0x3FFF;
    if (n == 0) {
        r.setDataSet(nullptr);
        return;
    }
    const bool fromDataModules = (bits & 0x4000) && !(bits & 0x8000);
    const bool fromDataOwner = (bits & 0x8000) && !(bits & 0x4000);
    if (fromDataOwner) {
        // Names the data sources of a separate data owner, which this program never has.
        if (messageSink)
            messageSink->showError(QStringLiteral("DatabaseOwner not assigned!!"));
        return;
    }
    std::vector<Container*> containers;
    if (fromDataModules) {
        for (Container* c : owner()->scope().containers()) {
            if (c->isDataModule())
                containers.push_back(c);
        }
    } else {
        containers.push_back(owner());
    }
    r.setDataSet(nthDataSource(containers, n));
}

const ClassInfo& TQRDLoader::classInfo() const { return staticClassInfo(); }
const ClassInfo& TQRDLoader::staticClassInfo()
{
    static const ClassInfo info{"TQRDLoader", {}, {}, {}};
    return info;
}

// ---------------------------------------------------------------- designer

const ClassInfo& TQRDesigner::classInfo() const { return staticClassInfo(); }
const ClassInfo& TQRDesigner::staticClassInfo()
{
    static const ClassInfo info{"TQRDesigner", {}, {}, {}};
    return info;
}

bool TQRDesigner::loadReport(const QString& fileName)
{
    const bool ok = loadFromFile(fileName);
    if (ok)
        modified = false;
    return ok;
}

bool TQRDesigner::saveToStream(QIODevice& device)
{
    restoreQueryParams();
    const QByteArray data = writeLayout(true);
    return device.write(data) == data.size();
}

bool TQRDesigner::saveToFile(const QString& fileName)
{
    const QFileInfo target(fileName);
    // A write-protected layout is not replaced, whoever saves (root could).
    // The mode bits decide; Qt's "user" bits say what this process may do.
    constexpr QFile::Permissions anyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (target.exists() && (!(target.permissions() & anyWrite) || !target.isWritable())) {
        showErrorWithCause(u"Write Error", QStringLiteral("%1 is read-only").arg(fileName), fileName);
        return false;
    }
    restoreQueryParams();
    const QByteArray data = writeLayout(true);

    removeStaleSaveFiles(target.absolutePath());
    QTemporaryFile temp(target.absolutePath() + u'/' + QLatin1String(kSaveFilePrefix) + QStringLiteral("XXXXXX"));
    if (!temp.open()) {
        showErrorWithCause(u"Write Error", systemCause(temp.errorString()), fileName);
        return false;
    }
    if (temp.write(data) != data.size() || !temp.flush()) {
        showErrorWithCause(u"Write Error", systemCause(temp.errorString()), fileName);
        return false;
    }
    if (::fsync(temp.handle()) != 0) {
        showErrorWithCause(u"Write Error", systemCause(QString::fromLocal8Bit(std::strerror(errno))), fileName);
        return false;
    }
    temp.setPermissions(target.exists() ? QFile::permissions(fileName)
                                        : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                              QFile::ReadOther);

    QString backup;
    if (saveBackupFiles && target.exists()) {
        backup = target.absolutePath() + u'/' + target.completeBaseName() + backupFileExtension_;
        if (target.suffix().isEmpty())
            backup = target.absoluteFilePath() + backupFileExtension_;
        QFile::remove(backup);
        QFile original(fileName);
        if (!original.rename(backup)) {
            showErrorWithCause(u"Write Error", QStringLiteral("cannot keep the backup %1: %2")
                                                   .arg(backup, systemCause(original.errorString())), fileName);
            return false;
        }
    }
    if (std::rename(QFile::encodeName(temp.fileName()).constData(),
                    QFile::encodeName(target.absoluteFilePath()).constData()) != 0) {
        const QString cause = systemCause(QString::fromLocal8Bit(std::strerror(errno)));
        if (!backup.isEmpty())
            QFile::rename(backup, fileName);
        showErrorWithCause(u"Write Error", cause, fileName);
        return false;
    }
    temp.setAutoRemove(false);
    modified = false;
    return true;
}

} // namespace cm
