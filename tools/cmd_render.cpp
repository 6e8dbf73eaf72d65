// cardmint-cli render --layout L.QR2 [--log LOG] [--filter TEXT] [--order FIELDS|bureau]
//                    (--pdf OUT.pdf | --png PATTERN | --jpeg PATTERN | --qrp OUT.QRP | --print | --printer NAME)
//                    [--dpi N] [--quality N] [--sheet NAME] [--start-at N] [--calibration NAME]
//                    [--mark-sent] [--progress] [--allow-empty]
// Prints one card per logbook record: loads the layout, attaches the log to
// DataFrm.Tbl, generates the pages and writes them out, or sends them
// straight to a printer as they are made.
#include "cli.h"

#include "engine/generate/generator.h"
#include "engine/generate/modelaccess.h"
#include "engine/output/imagefileset.h"
#include "engine/output/pageexport.h"
#include "engine/output/pagewriters.h"
#include "engine/qrerror.h"
#include "engine/pages/qrprinter.h"
#include "layout/layoutlocator.h"
#include "layout/workspace.h"
#include "engine/output/cardfilenames.h"
#include "engine/generate/labelsheets.h"
#include "engine/output/printcalibration.h"
#include "engine/output/printerpagewriter.h"
#include "logbook/logfields.h"
#include "logbook/logsource.h"
#include "logbook/qslmarks.h"

#ifdef CARDMINT_HAVE_PRINT
#include "engine/print/qtprintdevice.h"
#endif

#include <QCoreApplication>
#include <QFileInfo>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <optional>
#include <unistd.h>

namespace {

constexpr const char* Usage =
    "render --layout L.QR2 [--log LOG] [--filter TEXT] [--order FIELDS|bureau] "
    "(--pdf OUT.pdf | --png PATTERN | --jpeg PATTERN | --qrp OUT.QRP | --print | --printer NAME) [--dpi N] "
    "[--quality N] [--sheet NAME] [--start-at N] [--calibration NAME] [--mark-sent] [--progress] [--allow-empty]";

constexpr const char* Details =
    "Prints one card per logbook record.\n"
    "  --layout L.QR2   the layout; a bare name is looked for in the current folder,\n"
    "                   the user's layouts folder (~/.local/share/Cardmint/Layouts)\n"
    "                   and the shipped layouts\n"
    "  --log LOG        a SQLite logbook, a Paradox table or an ADIF file; a bare name\n"
    "                   is looked for in the logbook folder ($CARDMINT_LOGBOOK_DIR or\n"
    "                   ~/.local/share/Cardmint/Logbooks), then in the current folder\n"
    "  --filter TEXT    only the records that match, e.g. \"(Band = '20M') AND (QSL_SENT = 'Q')\"\n"
    "  --order FIELDS   fields separated by ',' or ';', each with DESC for a descending\n"
    "                   order, e.g. \"Datum DESC, Gmt DESC\"\n"
    "                   Field names: the logbook's (Datum, RstS ...) or ADIF's (QSO_DATE,\n"
    "                   RST_SENT ...); the README lists them with the filter language.\n"
    "                   \"bureau\": by the route's prefix (the QSL manager's when Qsl via\n"
    "                   names one), then call, then date, as QSL bureaus want the cards\n"
    "  --pdf OUT.pdf | --png PATTERN | --jpeg PATTERN | --qrp OUT.QRP | --print | --printer NAME\n"
    "                   where the cards go; in PATTERN the last run of '#' is the page number\n"
    "                   and {Field} the value of the page's first QSO (\"{Call}_{Datum}.jpg\"),\n"
    "                   made safe for file names; names that repeat are numbered\n"
    "  --dpi N          resolution of --png and --jpeg images, 10 to 1200 (default 300)\n"
    "  --quality N      JPEG quality, 0 to 100 (default 90)\n"
    "  --sheet NAME     print on a sheet of labels or cards (\"cardmint-cli sheets\" lists them)\n"
    "  --start-at N     leave the first N-1 positions of the first sheet empty (counted down\n"
    "                   the first column, then the next)\n"
    "  --calibration NAME  apply the printer calibration stored under NAME to a PDF or images;\n"
    "                   --printer NAME applies that printer's own calibration by itself\n"
    "  --mark-sent      when every card was output, set Qsl Sent to Y for the QSOs printed\n"
    "                   (SQLite logbooks only), in one transaction\n"
    "  --progress       show a progress bar on the terminal\n"
    "  --allow-empty    with no QSO to print, print the layout once anyway when it\n"
    "                   prints even when empty (PrintIfEmpty); otherwise that is an error\n";

enum class Target { Pdf, Png, Jpeg, Qrp, Printer };

struct Options {
    QString layout;
    QString log;
    std::optional<QString> filter;
    std::optional<QString> order;
    std::optional<Target> target;
    QString output;   // a file, or the printer's name (empty: the default printer)
    int dpi = 300;
    std::optional<int> quality;
    std::optional<QString> sheet;
    int startAt = 1;
    std::optional<QString> calibration;
    bool markSent = false;
    bool progress = false;
    bool allowEmpty = false;

    bool imageTarget() const { return target == Target::Png || target == Target::Jpeg; }
};

QString parse(const QStringList& args, Options& o)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        auto value = [&]() -> std::optional<QString> {
            if (!hasValue)
                return std::nullopt;
            return args[++i];
        };
        if (arg == u"--pdf" || arg == u"--png" || arg == u"--jpeg" || arg == u"--qrp" || arg == u"--print" ||
            arg == u"--printer") {
            if (o.target)
                return QStringLiteral("give only one of --pdf, --png, --jpeg, --qrp, --print and --printer");
            if (arg == u"--print") {
                o.target = Target::Printer;
                continue;
            }
            const auto v = value();
            if (!v || v->isEmpty())
                return QStringLiteral("%1 needs a %2").arg(arg, arg == u"--printer" ? u"printer name" : u"file name");
            o.target = arg == u"--pdf" ? Target::Pdf : arg == u"--png" ? Target::Png
                     : arg == u"--jpeg" ? Target::Jpeg : arg == u"--qrp" ? Target::Qrp : Target::Printer;
            o.output = *v;
        } else if (arg == u"--layout" || arg == u"--log" || arg == u"--filter" || arg == u"--order") {
            const auto v = value();
            if (!v)
                return QStringLiteral("%1 needs a value").arg(arg);
            if (arg == u"--layout") o.layout = *v;
            else if (arg == u"--log") o.log = *v;
            else if (arg == u"--filter") o.filter = *v;
            else o.order = *v;
        } else if (arg == u"--dpi") {
            bool ok = false;
            const auto v = value();
            o.dpi = v ? v->toInt(&ok) : 0;
            if (!ok || o.dpi < cm::MinExportDpi || o.dpi > cm::MaxExportDpi)
                return QStringLiteral("--dpi needs a number from %1 to %2").arg(cm::MinExportDpi).arg(cm::MaxExportDpi);
        } else if (arg == u"--quality" || arg == u"--start-at") {
            bool ok = false;
            const auto v = value();
            const int n = v ? v->toInt(&ok) : -1;
            if (arg == u"--quality") {
                if (!ok || n < 0 || n > 100)
                    return QStringLiteral("--quality needs a number from 0 to 100");
                o.quality = n;
            } else {
                if (!ok || n < 1)
                    return QStringLiteral("--start-at needs a position from 1 up");
                o.startAt = n;
            }
        } else if (arg == u"--sheet" || arg == u"--calibration") {
            const auto v = value();
            if (!v || v->trimmed().isEmpty())
                return QStringLiteral("%1 needs a name").arg(arg);
            (arg == u"--sheet" ? o.sheet : o.calibration) = v->trimmed();
        } else if (arg == u"--mark-sent") {
            o.markSent = true;
        } else if (arg == u"--allow-empty") {
            o.allowEmpty = true;
        } else if (arg == u"--progress") {
            o.progress = true;
        } else {
            return QStringLiteral("unexpected argument \"%1\"").arg(arg);
        }
    }
    if (o.layout.isEmpty())
        return QStringLiteral("no layout given (--layout)");
    if (!o.target)
        return QStringLiteral("give one of --pdf, --png, --qrp, --print or --printer");
    if ((o.filter || o.order) && o.log.isEmpty())
        return QStringLiteral("--filter and --order need --log");
    if (o.quality && o.target != Target::Jpeg)
        return QStringLiteral("--quality is for --jpeg only");
    if (o.markSent && o.log.isEmpty())
        return QStringLiteral("--mark-sent needs --log");
    if (o.markSent && o.target == Target::Qrp)
        return QStringLiteral("--mark-sent marks cards that were output; a page file (--qrp) is not");
    return {};
}

class StderrSink : public cm::MessageSink {
public:
    explicit StderrSink(QTextStream& err) : err_(err) {}
    void showError(const QString& text) override { err_ << "render: " << text << "\n"; }

private:
    QTextStream& err_;
};

// A bar on the terminal; nothing when stderr is not a terminal.
void showProgress(int percent)
{
    static int shown = -1;
    if (percent == shown || !isatty(fileno(stderr)))
        return;
    shown = percent;
    constexpr int Width = 40;
    const int filled = percent * Width / 100;
    std::fprintf(stderr, "\r[%.*s%*s] %3d%%", filled, "========================================", Width - filled, "", percent);
    if (percent >= 100)
        std::fputc('\n', stderr);
    std::fflush(stderr);
}

// Ctrl+C during generation cancels the run: nothing is written and a print
// job is abandoned. The handler is reset when it fires, so a second Ctrl+C
// ends the tool at once.
std::atomic<cm::ReportGenerator*> interruptedRun = nullptr;
std::atomic<bool> interrupted = false;

class CancelOnInterrupt {
public:
    explicit CancelOnInterrupt(cm::ReportGenerator& generator)
    {
        interruptedRun = &generator;
        struct sigaction action {};
        action.sa_handler = [](int) {
            interrupted = true;
            if (cm::ReportGenerator* run = interruptedRun.load())
                run->requestCancel();
        };
        action.sa_flags = SA_RESETHAND;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &previous_);
    }
    ~CancelOnInterrupt()
    {
        sigaction(SIGINT, &previous_, nullptr);
        interruptedRun = nullptr;
    }
    CancelOnInterrupt(const CancelOnInterrupt&) = delete;
    CancelOnInterrupt& operator=(const CancelOnInterrupt&) = delete;

private:
    struct sigaction previous_ {};
};

// Why the run would print no card for a QSO, or empty when it has some to
// print. A layout without a data set prints once and is never empty.
QString whyNothingToPrint(const Options& o, const cm::TQRCustomReport& report)
{
    const cm::TDataSetComponent* table = report.dataSet();
    if (!table)
        return {};
    cm::DataSet* data = table->dataSet();
    if (data && data->isOpen()) {
        data->first();
        if (!data->eof())
            return {};
    }
    if (o.log.isEmpty())
        return QStringLiteral("no QSOs to print: no log given (--log)");
    if (o.filter)
        return QStringLiteral("no QSOs match the filter");
    return QStringLiteral("the log \"%1\" holds no QSOs").arg(o.log);
}

// The printer for --print and --printer; none for the file targets.
std::unique_ptr<cm::TQRPrintDevice> printDevice(Target target, const QString& name)
{
#ifdef CARDMINT_HAVE_PRINT
    if (target == Target::Printer)
        return std::make_unique<cm::TQRQtPrintDevice>(name);
#else
    static_cast<void>(target);
    static_cast<void>(name);
#endif
    return nullptr;
}

// The file of each page: the pattern's page number, then the fields of the
// page's first QSO (a page without one takes the QSO of the page before).
QStringList imageNames(int pageCount, const QString& pattern, const cm::CardFileNamePattern& fields,
                       const std::vector<std::pair<int, int>>& printed, const cm::LogTable* log)
{
    if (!fields.hasFields()) {
        QStringList names;
        if (pageCount > 1 && !pattern.contains(u'#'))
            throw cm::EQRError(QStringLiteral("The file name pattern needs a # for the page number or a {Field}"));
        for (int n = 1; n <= pageCount; ++n)
            names << cm::pageFileName(pattern, n);
        return names;
    }
    std::vector<int> firstRecord(size_t(pageCount) + 1, -1);
    for (const auto& [record, page] : printed)
        if (page >= 1 && page <= pageCount && firstRecord[size_t(page)] < 0)
            firstRecord[size_t(page)] = record;
    QStringList names;
    int record = -1;
    for (int n = 1; n <= pageCount; ++n) {
        if (firstRecord[size_t(n)] >= 0)
            record = firstRecord[size_t(n)];
        const auto parsed = cm::CardFileNamePattern::parse(
            cm::pageFileName(pattern, n), [](const QString&) { return true; }, nullptr);
        names << parsed->nameFor([&](const QString& field) {
            int index = log->fieldIndex(field);
            if (index < 0)
                index = cm::findLogField(field);
            return record >= 0 ? log->recordText(record, index).trimmed() : QString();
        });
    }
    return cm::uniqueFileNames(names);
}

int run(const QStringList& args, cm::cli::Io& io)
{
    Options o;
    const QString problem = parse(args, o);
    if (!problem.isEmpty()) {
        io.err << "render: " << problem << "\nusage: cardmint-cli " << Usage << "\n";
        return cm::cli::ExitUsage;
    }
    cm::Workspace ws;
    StderrSink sink(io.err);
    ws.designer->messageSink = &sink;
    const cm::FileLookup layout = cm::findLayout(o.layout, QCoreApplication::applicationDirPath());
    if (layout.path.isEmpty()) {
        io.err << "render: layout \"" << o.layout << "\" not found (looked for "
               << layout.tried.join(QStringLiteral(", ")) << ")\n";
        return cm::cli::ExitFailure;
    }
    if (!ws.designer->loadReport(layout.path)) {
        io.err << "render: cannot load layout \"" << layout.path << "\"\n";
        return cm::cli::ExitFailure;
    }
    cm::LogTable* logTable = nullptr;
    if (!o.log.isEmpty()) {
        QString error;
        auto log = cm::openLogSource(o.log, &error);
        if (!log) {
            io.err << "render: cannot open log \"" << o.log << "\": " << error << "\n";
            return cm::cli::ExitFailure;
        }
        // Records left out of the log are told as an import tells them.
        for (const QString& note : log->loadNotes())
            io.err << "render: warning: " << note << "\n";
        if (o.markSent) {
            const QString refusal = cm::qslMarkRefusal(*log);
            if (!refusal.isEmpty()) {
                io.err << "render: --mark-sent: " << refusal << "; nothing was written or printed\n";
                return cm::cli::ExitFailure;
            }
        }
        if (!cm::selectLogRecords(*log, o.filter, o.order, &error)) {
            io.err << "render: " << error << "\n";
            return cm::cli::ExitFailure;
        }
        logTable = log.get();
        ws.table->setSource(std::move(log));
    }
    // The layout's own queries: nobody can be asked for a parameter here, so
    // one that needs a value stops the run (the message says which).
    if (!ws.designer->prepareQueryParams()) {
        io.err << "render: nothing was written or printed\n";
        return cm::cli::ExitFailure;
    }
    // Names of image files made from the cards' QSOs: checked before the run.
    std::optional<cm::CardFileNamePattern> namePattern;
    if (o.imageTarget()) {
        QString error;
        namePattern = cm::CardFileNamePattern::parse(
            o.output,
            [logTable](const QString& field) {
                return logTable && (logTable->fieldIndex(field) >= 0 || cm::findLogField(field) >= 0);
            },
            &error);
        if (!namePattern) {
            if (!logTable && o.output.contains(u'{'))
                error += QStringLiteral(" (field names need --log)");
            io.err << "render: " << error << "; nothing was written\n";
            return cm::cli::ExitUsage;
        }
    }
    if (o.sheet) {
        const auto sheet = cm::findLabelSheet(*o.sheet);
        if (!sheet) {
            io.err << "render: no sheet named \"" << *o.sheet << "\"; \"cardmint-cli sheets\" lists them\n";
            return cm::cli::ExitUsage;
        }
        QString error;
        if (!cm::applyLabelSheet(*ws.report, *sheet, &error)) {
            io.err << "render: " << error << "; nothing was written or printed\n";
            return cm::cli::ExitFailure;
        }
    }
    if (o.startAt > 1) {
        const int positions = cm::cardPositionsPerPage(*ws.report);
        if (o.startAt > positions) {
            io.err << "render: --start-at " << o.startAt << " is beyond the " << positions
                   << " positions of a sheet; nothing was written or printed\n";
            return cm::cli::ExitUsage;
        }
    }
    std::optional<cm::PageCalibration> calibration;
    const QString calibrationName =
        o.calibration ? *o.calibration : (*o.target == Target::Printer ? o.output : QString());
    if (!calibrationName.isEmpty()) {
        calibration = cm::readCalibration(cm::standardSettingsFile(), calibrationName);
        if (!calibration && o.calibration) {
            io.err << "render: no printer calibration named \"" << calibrationName << "\" in "
                   << cm::standardSettingsFile() << "\n";
            return cm::cli::ExitFailure;
        }
    }
    QString nothing = whyNothingToPrint(o, *ws.report);
    if (!nothing.isEmpty() && o.allowEmpty) {
        if (ws.report->printIfEmpty())
            nothing.clear();
        else
            nothing += QStringLiteral(", and the layout prints nothing when empty (PrintIfEmpty is off)");
    }
    try {
        cm::TQRPrinter pages(printDevice(*o.target, o.output));
        if (*o.target == Target::Printer) {
#ifndef CARDMINT_HAVE_PRINT
            io.err << "render: this cardmint-cli was built without printing (it needs Qt PrintSupport)\n";
            return cm::cli::ExitFailure;
#endif
            if (!pages.printerAvailable()) {
                io.err << "render: " << (o.output.isEmpty() ? QStringLiteral("No printer installed")
                                                            : QStringLiteral("No printer named \"%1\"").arg(o.output))
                       << "\n";
                return cm::cli::ExitFailure;
            }
            pages.setDestination(cm::TQRDestination::Printer);
            if (calibration)
                pages.setPrinterCalibration(*calibration);
        }
        // Refused before the run, so that no blank card reaches a printer.
        if (!nothing.isEmpty()) {
            io.err << "render: " << nothing << "; nothing was written or printed\n";
            return cm::cli::ExitFailure;
        }
        const cm::PageCalibration fileCalibration =
            o.calibration && calibration ? *calibration : cm::PageCalibration();
        // A PDF, a report file, images and the printer are written by a
        // stage of their own while generation goes on with the next pages.
        // Images wait under temporary names until the run succeeded (the set
        // outlives the stage that fills it).
        const bool pipelined = *o.target != Target::Printer;
        std::optional<cm::ImageFileSet> imageFiles;
        std::optional<cm::PageHandOver> handOver;
        std::optional<cm::PageOutputStage> outputStage;
        std::optional<cm::PrintStages> printStages;
        if (*o.target == Target::Printer)
            printStages.emplace(pages);
        if (pipelined) {
            handOver.emplace(*o.target == Target::Qrp);
            pages.setPageHandOver(&*handOver);
            std::unique_ptr<cm::PageWriter> writer;
            if (*o.target == Target::Pdf) {
                writer = std::make_unique<cm::PdfPageWriter>(o.output, fileCalibration);
            } else if (*o.target == Target::Qrp) {
                writer = std::make_unique<cm::ReportFileWriter>(o.output);
            } else {
                cm::ImageExportOptions options;
                options.format = *o.target == Target::Png ? cm::TQRImageFormat::Png : cm::TQRImageFormat::Jpeg;
                options.dpi = o.dpi;
                options.quality = o.quality.value_or(90);
                options.calibration = fileCalibration;
                imageFiles.emplace();
                writer = std::make_unique<cm::ImagePageWriter>(*imageFiles, options, [pattern = o.output](int page) {
                    return cm::ImageFileSet::folderOf(cm::pageFileName(pattern, page));
                });
            }
            outputStage.emplace(*handOver, std::move(writer));
        }
        cm::ReportGenerator generator(*ws.report, pages);
        generator.setScript(ws.designer->script.lines, ws.designer->scriptsEnabled);
        generator.setEmptyPositions(o.startAt - 1);
        if (o.progress)
            generator.setProgress(&showProgress);
        // Which QSO went on which page: for file names and for the marks.
        std::vector<std::pair<int, int>> printed;   // (record, page)
        generator.setRecordPrinted([&printed](int record, int page) { printed.emplace_back(record, page); });
        cm::ScopedModelAccess access(&generator);
        {
            CancelOnInterrupt cancelOnInterrupt(generator);
            if (!generator.generate()) {
                io.err << "render: the layout's BeforePrint script refused printing\n";
                return cm::cli::ExitFailure;
            }
        }
        if (generator.cancelled() || interrupted) {
            if (outputStage)
                outputStage->cancel();
            if (printStages) {
                // A printer that failed stopped the run: its error is told.
                printStages->cancel();
                printStages->finish();
            }
            io.err << "render: cancelled; nothing was written or printed\n";
            return cm::cli::ExitFailure;
        }
        // A logbook read on demand that failed part way would print blank cards.
        if (logTable && !logTable->readError().isEmpty()) {
            if (outputStage)
                outputStage->cancel();
            if (printStages)
                printStages->cancel();
            io.err << "render: " << logTable->readError() << "; nothing was written or printed\n";
            return cm::cli::ExitFailure;
        }
        int written = 0;
        switch (*o.target) {
        case Target::Pdf: written = outputStage->finish(); break;
        case Target::Png:
        case Target::Jpeg:
            written = outputStage->finish();
            imageFiles->commit(imageNames(written, o.output, *namePattern, printed, logTable));
            break;
        case Target::Qrp: written = outputStage->finish(); break;
        case Target::Printer: written = printStages->finish(); break;
        }
        io.out << "pages: " << written << "\n";
        for (const QString& warning : generator.fitReport().warnings())
            io.err << "render: warning: " << warning << "\n";
        if (o.markSent) {
            std::vector<int> records;
            for (const auto& [record, page] : printed)
                if (page <= written)
                    records.push_back(record);
            const std::vector<qint64> logs = cm::logNumbersOf(*logTable, records);
            QString error;
            if (!cm::markQslSent(logTable->resolvedPath(), logs, QDate::currentDate(), &error)) {
                io.err << "render: the cards were output, but no QSO was marked as sent: " << error << "\n";
                return cm::cli::ExitFailure;
            }
            io.out << "marked as sent: " << logs.size() << "\n";
        }
    } catch (const cm::EQRError& error) {
        io.err << "render: " << error.message() << "\n";
        return cm::cli::ExitFailure;
    }
    return cm::cli::ExitOk;
}

cm::cli::CliRegistration reg({"render", Usage, &run, Details});

} // namespace
