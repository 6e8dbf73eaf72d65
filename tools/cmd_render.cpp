// cardmint-cli render --layout L.QR2 [--log LOG] [--filter TEXT] [--order FIELDS]
//                    (--pdf OUT.pdf | --png PATTERN | --qrp OUT.QRP | --print | --printer NAME)
//                    [--dpi N] [--progress] [--allow-empty]
// Prints one card per logbook record: loads the layout, attaches the log to
// DataFrm.Tbl, generates the pages and writes them out, or sends them
// straight to a printer as they are made.
#include "cli.h"

#include "engine/generator.h"
#include "engine/modelaccess.h"
#include "engine/pageexport.h"
#include "engine/qrerror.h"
#include "engine/qrprinter.h"
#include "layout/layoutlocator.h"
#include "layout/workspace.h"
#include "logbook/logsource.h"

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
    "render --layout L.QR2 [--log LOG] [--filter TEXT] [--order FIELDS] "
    "(--pdf OUT.pdf | --png PATTERN | --qrp OUT.QRP | --print | --printer NAME) [--dpi N] [--progress] "
    "[--allow-empty]";

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
    "  --pdf OUT.pdf | --png PATTERN | --qrp OUT.QRP | --print | --printer NAME\n"
    "                   where the cards go; in PATTERN the last run of '#' is the page number\n"
    "  --dpi N          resolution of --png images, 10 to 1200 (default 300)\n"
    "  --progress       show a progress bar on the terminal\n"
    "  --allow-empty    with no QSO to print, print the layout once anyway when it\n"
    "                   prints even when empty (PrintIfEmpty); otherwise that is an error\n";

enum class Target { Pdf, Png, Qrp, Printer };

struct Options {
    QString layout;
    QString log;
    std::optional<QString> filter;
    std::optional<QString> order;
    std::optional<Target> target;
    QString output;   // a file, or the printer's name (empty: the default printer)
    int dpi = 300;
    bool progress = false;
    bool allowEmpty = false;
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
        if (arg == u"--pdf" || arg == u"--png" || arg == u"--qrp" || arg == u"--print" || arg == u"--printer") {
            if (o.target)
                return QStringLiteral("give only one of --pdf, --png, --qrp, --print and --printer");
            if (arg == u"--print") {
                o.target = Target::Printer;
                continue;
            }
            const auto v = value();
            if (!v || v->isEmpty())
                return QStringLiteral("%1 needs a %2").arg(arg, arg == u"--printer" ? u"printer name" : u"file name");
            o.target = arg == u"--pdf" ? Target::Pdf : arg == u"--png" ? Target::Png
                     : arg == u"--qrp" ? Target::Qrp : Target::Printer;
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
        if (o.filter && !log->setFilter(*o.filter, &error)) {
            io.err << "render: " << error << "\n";
            return cm::cli::ExitFailure;
        }
        if (o.order && !log->setIndexFieldNames(*o.order, &error)) {
            io.err << "render: " << error << "\n";
            return cm::cli::ExitFailure;
        }
        ws.table->setSource(std::move(log));
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
        }
        // Refused before the run, so that no blank card reaches a printer.
        if (!nothing.isEmpty()) {
            io.err << "render: " << nothing << "; nothing was written or printed\n";
            return cm::cli::ExitFailure;
        }
        cm::ReportGenerator generator(*ws.report, pages);
        generator.setScript(ws.designer->script.lines, ws.designer->scriptsEnabled);
        if (o.progress)
            generator.setProgress(&showProgress);
        cm::ScopedModelAccess access(&generator);
        {
            CancelOnInterrupt cancelOnInterrupt(generator);
            if (!generator.generate()) {
                io.err << "render: the layout's BeforePrint script refused printing\n";
                return cm::cli::ExitFailure;
            }
        }
        if (generator.cancelled() || interrupted) {
            io.err << "render: cancelled; nothing was written or printed\n";
            return cm::cli::ExitFailure;
        }
        int written = 0;
        switch (*o.target) {
        case Target::Pdf: written = cm::exportPdf(pages, o.output); break;
        case Target::Png: written = cm::exportImages(pages, o.output, cm::TQRImageFormat::Png, o.dpi); break;
        case Target::Qrp:
            pages.writeReportFile(o.output);
            written = pages.storedPages();
            break;
        case Target::Printer: written = pages.pageCount(); break;
        }
        io.out << "pages: " << written << "\n";
        for (const QString& warning : generator.fitReport().warnings())
            io.err << "render: warning: " << warning << "\n";
    } catch (const cm::EQRError& error) {
        io.err << "render: " << error.message() << "\n";
        return cm::cli::ExitFailure;
    }
    return cm::cli::ExitOk;
}

cm::cli::CliRegistration reg({"render", Usage, &run, Details});

} // namespace
