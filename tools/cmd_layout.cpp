// Layout subcommands: resave, dump and make-layouts.
#include "cli.h"

#include "layout/demolayouts.h"
#include "layout/layoutjson.h"
#include "layout/layoutlocator.h"
#include "layout/workspace.h"

#include <QCoreApplication>
#include <QDir>

namespace {

using namespace cm;

// Prints runtime messages on stderr.
class StderrSink : public MessageSink {
public:
    explicit StderrSink(QTextStream& err) : err_(err) {}
    void showError(const QString& text) override { err_ << "cardmint-cli: " << text << "\n"; }

private:
    QTextStream& err_;
};

bool load(Workspace& ws, const QString& name, cli::Io& io)
{
    const FileLookup found = findLayout(name, QCoreApplication::applicationDirPath());
    if (found.path.isEmpty()) {
        io.err << "cardmint-cli: layout \"" << name << "\" not found (looked for "
               << found.tried.join(QStringLiteral(", ")) << ")\n";
        return false;
    }
    if (!ws.designer->loadReport(found.path)) {
        io.err << "cardmint-cli: cannot load layout \"" << found.path << "\"\n";
        return false;
    }
    return true;
}

int resave(const QStringList& args, cli::Io& io)
{
    if (args.size() != 2) {
        io.err << "usage: cardmint-cli resave IN.QR2 OUT.QR2\n";
        return cli::ExitUsage;
    }
    Workspace ws;
    StderrSink sink(io.err);
    ws.designer->messageSink = &sink;
    ws.designer->saveBackupFiles = false;   // a batch tool does not leave .BAK files behind
    if (!load(ws, args[0], io))
        return cli::ExitFailure;
    if (!ws.designer->saveToFile(args[1]))
        return cli::ExitFailure;
    return cli::ExitOk;
}

int dump(const QStringList& args, cli::Io& io)
{
    if (args.size() != 1) {
        io.err << "usage: cardmint-cli dump IN.QR2\n";
        return cli::ExitUsage;
    }
    Workspace ws;
    StderrSink sink(io.err);
    ws.designer->messageSink = &sink;
    if (!load(ws, args[0], io))
        return cli::ExitFailure;
    io.out << QString::fromUtf8(layoutToJson(*ws.designer));
    return cli::ExitOk;
}

int makeLayouts(const QStringList& args, cli::Io& io)
{
    if (args.size() != 1) {
        io.err << "usage: cardmint-cli make-layouts DIR\n";
        return cli::ExitUsage;
    }
    const QDir dir(args[0]);
    if (!dir.exists() && !QDir().mkpath(dir.path())) {
        io.err << "cardmint-cli: cannot create folder \"" << args[0] << "\"\n";
        return cli::ExitFailure;
    }
    StderrSink sink(io.err);
    const struct {
        const char* file;
        void (*build)(Workspace&);
    } layouts[] = {{"Demo1.qr2", &buildDemoCard}, {"Template.qr2", &buildTemplate},
                   {"MultiQSO.qr2", &buildMultiQsoCard}};
    for (const auto& l : layouts) {
        Workspace ws;
        ws.designer->messageSink = &sink;
        ws.designer->saveBackupFiles = false;
        l.build(ws);
        const QString path = dir.filePath(QString::fromLatin1(l.file));
        if (!ws.designer->saveToFile(path))
            return cli::ExitFailure;
        io.out << path << "\n";
    }
    return cli::ExitOk;
}

cli::CliRegistration regResave({"resave", "resave IN.QR2 OUT.QR2   load a layout and write it back", &resave,
                                "Loads a layout and writes it back; a layout this program wrote comes back\n"
                                "byte for byte the same. No .BAK file is left.\n"});
cli::CliRegistration regDump({"dump", "dump IN.QR2              print a layout as JSON", &dump,
                              "Prints the report settings and every band and element of a layout as JSON.\n"});
cli::CliRegistration regMake({"make-layouts", "make-layouts DIR        write the shipped layouts (Demo1, Template, MultiQSO)",
                              &makeLayouts, "Writes the shipped layouts Demo1.qr2, Template.qr2 and MultiQSO.qr2 into DIR.\n"});

} // namespace
