#pragma once
// Layout loaders: the non-visual components that read and write layout
// files (*.QR2) into the report of their container. The designer is a
// loader with saving added.
#include "layout/runtimemessages.h"
#include "report/design.h"

#include <QIODevice>
#include <functional>

namespace cm {

class ByteReader;
class ByteWriter;
class TEDBDataSet;
class TEDBQuery;

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

    // Data sets the layout carries: after each one is read, once after all
    // of them are read (before they open), and before a query's parameters
    // are asked for (true cancels the output).
    std::function<void(TEDBDataSet&)> beforeOpenDataset;
    std::function<void()> beforeOpenDatasets;
    std::function<bool(TEDBQuery&)> beforeGetQueryParams;
    // The calculated-fields event of every data set of the owner, passed
    // on here after each successful load.
    std::function<void(TEDBDataSet&)> onCalcFields;
    // Asks the user for a parameter's value (the box starts with `value`);
    // false when cancelled. None: there is nobody to ask.
    std::function<bool(const QString& caption, const QString& prompt, QString& value)> askQueryParam;
    // "Field=Label" lines for fields made from definitions; for a table also
    // under the key "\"Table\".Field".
    QStringList fieldDisplayLabels;
    // The shipped files' folder, where a moved table is looked for last.
    QString programFolder;

    // Before every preview and print: asks for the bound parameters that have
    // no value, remembering every parameter's value first. False: the output
    // must not run (cancelled, or nobody to ask); the values are back then.
    bool prepareQueryParams();
    // After every output and before every save: the remembered values come back.
    void restoreQueryParams();
    // "Query.Param=Value" lines remembered by the last preparation.
    const QStringList& savedQueryParams() const { return savedParams_; }

    // Writes the whole layout; `withDataSets` is false for undo snapshots.
    QByteArray writeLayout(bool withDataSets = true);
    // Undo snapshots: the layout without its data sets, which stay as they are.
    QByteArray saveSnapshot() { return writeLayout(false); }
    bool loadSnapshot(const QByteArray& data) { return readLayout(data, 0, false); }

    void componentRemoved(Component* c) override;

protected:
    bool readLayout(const QByteArray& data, qsizetype offset, bool withDataSets) override;

private:
    void applyDataSetReference(int16_t ref, const QString& dataSetName, TQRDesignReport& r);
    // The data-set block (record 257) and the query parameter record (104).
    void writeDataSets(ByteWriter& out);
    void writeQueryParamRecord(ByteWriter& out);
    void readDataSets(const QByteArray& block);
    void readDataSetComponent(Component* c);
    void relocate(TEDBDataSet& ds) const;
    QStringList expandMacros(const QStringList& lines) const;
    void openDataSets();
    void makeFields(TEDBDataSet& ds, bool opened);
    void applyParamMarks(const QList<QByteArray>& marks);
    void destroyDataSets();
    void tidyDataSets();
    void routeCalcFields();
    bool askParam(TEDBQuery& query, int index);

    QPointer<TQRDesignReport> report_;
    QPointer<TEDBDataSet> lastDataSet_;   // the data set read last, for its fields
    QStringList savedParams_;
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
