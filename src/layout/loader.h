#pragma once
// Layout loaders: the non-visual components that read and write layout
// files (*.QR2) into the report of their container. The designer is a
// loader with saving added.
#include "layout/runtimemessages.h"
#include "report/design.h"

#include <QIODevice>
#include <functional>

namespace cm {

class TCompLoader : public Component {
public:
    explicit TCompLoader(Container* owner) : Component(owner) {}
    bool isLoader() const override { return true; }

    RuntimeMessages runtimeMessages;
    QString sessionName;
    QString defaultDatabaseName;
    QString version() const { return QStringLiteral("1.22"); }
    bool useDataModules = false;
    bool saveLoadPrinterSetup = false;

    // Where runtime messages go; none: they are dropped.
    MessageSink* messageSink = nullptr;
    void showError(QStringView key, const QString& parameter = QString()) const;
    // The message of `key` followed by what went wrong, in parentheses.
    void showErrorWithCause(QStringView key, const QString& cause, const QString& parameter = QString()) const;

    // Installed printers by name, for the printer record; none: names are ignored.
    std::function<int(const QString& printerName)> findPrinter;
    std::function<QString(int printerIndex)> printerName;

    bool loadFromFile(const QString& fileName);
    bool loadFromData(const QByteArray& data);
    // Reads from the device's current position to its end.
    bool loadFromStream(QIODevice& device);
    // An empty blob loads nothing and succeeds.
    bool loadFromBlob(const QByteArray& blob);

protected:
    virtual bool readLayout(const QByteArray& data, qsizetype offset, bool withDataSets) = 0;
};

class TQRDLoader : public TCompLoader {
public:
    explicit TQRDLoader(Container* owner);
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();

    TQRDesignReport* report() const { return report_; }
    void setReport(TQRDesignReport* r) { report_ = r; }
    TQRStrings script;
    bool scriptsEnabled = true;
    QString loadedFileName;   // the file of the last load, empty for streams

    // Custom data record: written from onSaveReport's bytes, handed to onLoadReport.
    std::function<QByteArray()> onSaveReport;
    std::function<void(const QByteArray&)> onLoadReport;

    // Data-set definitions and query parameter marks a layout carries; this
    // program keeps them unchanged so that saving never loses them.
    QByteArray dataSetBlock;          // the component list of record 257
    QList<QByteArray> queryParamMarks;

    // Writes the whole layout; `withDataSets` is false for undo snapshots.
    QByteArray writeLayout(bool withDataSets = true);

    void componentRemoved(Component* c) override;

protected:
    bool readLayout(const QByteArray& data, qsizetype offset, bool withDataSets) override;

private:
    void applyDataSetReference(int16_t ref, const QString& dataSetName, TQRDesignReport& r);
    QPointer<TQRDesignReport> report_;
};

class TQRDesigner : public TQRDLoader {
public:
    explicit TQRDesigner(Container* owner) : TQRDLoader(owner) {}
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();

    bool saveBackupFiles = false;
    QString backupFileExtension() const { return backupFileExtension_; }
    void setBackupFileExtension(const QString& ext) { backupFileExtension_ = ext.left(4); }
    bool modified = false;

    // Saves through a temporary file in the target folder that is renamed
    // into place, so a failed save never costs the previous layout.
    bool saveToFile(const QString& fileName);
    QByteArray saveToData() { return writeLayout(true); }
    bool saveToStream(QIODevice& device);

    bool loadReport(const QString& fileName);

private:
    QString backupFileExtension_ = QStringLiteral(".BAK");
};

} // namespace cm
