#include "cli.h"

#include "rawfilenames.h"
#include "report/codepage.h"

#include <QGuiApplication>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace cm::cli {

static std::vector<Command>& commands()
{
    static std::vector<Command> list;
    return list;
}

void registerCommand(const Command& command) { commands().push_back(command); }

bool isOption(const QString& option, const char* name)
{
    if (option == QLatin1String(name))
        return true;
    return qstrcmp(name, "--codepage") == 0 && option == QLatin1String("--code-page");
}

static bool asksForHelp(const QStringList& args)
{
    return std::any_of(args.begin(), args.end(), [](const QString& a) { return a == u"--help" || a == u"-h"; });
}

static void printCommandHelp(const Command& command, QTextStream& to)
{
    to << "usage: cardmint-cli " << command.usage << "\n";
    if (command.details)
        to << "\n" << command.details;
    to << "\nExit codes: 0 done, 1 the work failed, 2 the command line was wrong.\n"
          "Global option (before the command): --codepage N\n";
}

static void printUsage(QTextStream& to)
{
    to << "usage: cardmint-cli [--codepage N] COMMAND [ARGS]\n\n"
          "  --codepage N   code page of text in layout files (1250, 1251, 1252 ...;\n"
          "                 default from the locale, or CARDMINT_CODEPAGE)\n\n"
          "\"cardmint-cli COMMAND --help\" explains a command.\n\ncommands:\n";
    auto list = commands();
    std::sort(list.begin(), list.end(),
              [](const Command& a, const Command& b) { return qstrcmp(a.name, b.name) < 0; });
    for (const Command& c : list)
        to << "  " << c.usage << "\n";
}

} // namespace cm::cli

// Qt's own diagnostics (platform plugin notes and the like) would mix with
// the tool's output; they are shown only with CARDMINT_DEBUG set.
static void quietMessageHandler(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtFatalMsg || qEnvironmentVariableIsSet("CARDMINT_DEBUG"))
        fprintf(stderr, "%s\n", qPrintable(message));
}

namespace {

enum class NameUse { Read, Written, Refused };

// How a command uses its argument at `index` (0: the command's first
// argument): a file it writes, one it cannot write under a name that is not
// UTF-8, or anything else (read).
NameUse nameUse(const QString& command, const std::vector<QByteArray>& args, size_t index)
{
    const QByteArray before = index > 0 ? args[index - 1] : QByteArray();
    int positional = 0;   // the argument's place among those without "--"
    for (size_t k = 0; k < index; ++k)
        if (!args[k].startsWith("--") && (k == 0 || !args[k - 1].startsWith("--")))
            ++positional;
    if (command == u"render" || command == u"convert") {
        if (before == "--pdf" || before == "--qrp")
            return NameUse::Written;
        if (before == "--png" || before == "--jpeg")
            return NameUse::Refused;   // a pattern makes many names
        return NameUse::Read;
    }
    if (command == u"resave")
        return positional == 1 ? NameUse::Written : NameUse::Read;
    if (command == u"calibration-page")
        return positional == 0 ? NameUse::Written : NameUse::Read;
    if (command == u"import-adif" || command == u"export-adif")
        return positional == 1 ? NameUse::Refused : NameUse::Read;
    if (command == u"make-demo-log" || command == u"make-layouts")
        return NameUse::Refused;
    return NameUse::Read;
}

} // namespace

int main(int argc, char** argv)
{
    qInstallMessageHandler(quietMessageHandler);
    // Fonts and painting need a GUI application object; the CLI never opens a window.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName("Cardmint");

    // Arguments as typed: a name that is not UTF-8 gets a stand-in that
    // names the same file (see RawFileNames).
    std::vector<QByteArray> raw;
    for (int i = 1; i < argc; ++i)
        raw.emplace_back(argv[i]);
    size_t commandAt = 0;
    while (commandAt < raw.size() && raw[commandAt].startsWith("--"))
        commandAt += raw[commandAt] == "--codepage" || raw[commandAt] == "--code-page" ? 2 : 1;
    const QString command = commandAt < raw.size() ? QString::fromUtf8(raw[commandAt]) : QString();
    const std::vector<QByteArray> commandArgs(raw.begin() + qsizetype(std::min(commandAt + 1, raw.size())), raw.end());

    cm::cli::RawFileNames names;
    QStringList args;
    QString refused;
    for (size_t i = 0; i < raw.size(); ++i) {
        if (cm::cli::isValidUtf8(raw[i])) {
            args << QString::fromUtf8(raw[i]);
            continue;
        }
        const NameUse use = i > commandAt ? nameUse(command, commandArgs, i - commandAt - 1) : NameUse::Read;
        QString standIn, error;
        if (use == NameUse::Refused) {
            error = QStringLiteral("\"%1\" is not valid UTF-8; %2 cannot write a file under that name (rename it, "
                                   "e.g. with convmv)")
                        .arg(cm::cli::escapedFileName(raw[i]), command);
        } else {
            standIn = names.standIn(raw[i], use == NameUse::Written, &error);
        }
        if (standIn.isEmpty() && refused.isEmpty())
            refused = error;
        args << standIn;
    }

    cm::cli::ShownNamesDevice outDevice(stdout, names);
    cm::cli::ShownNamesDevice errDevice(stderr, names);
    QTextStream out(&outDevice);
    QTextStream err(&errDevice);
    cm::cli::Io io{out, err};
    if (!refused.isEmpty()) {
        err << "cardmint-cli: " << refused << "\n";
        return cm::cli::ExitFailure;
    }
    if (args.isEmpty() || args.first() == "help" || args.first() == "--help" || args.first() == "-h") {
        cm::cli::printUsage(args.isEmpty() ? err : out);
        return args.isEmpty() ? cm::cli::ExitUsage : cm::cli::ExitOk;
    }
    // Global options before the command.
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
        const QString option = args.takeFirst();
        if (cm::cli::isOption(option, "--codepage") && !args.isEmpty()) {
            bool ok = false;
            const int number = args.takeFirst().toInt(&ok);
            if (!ok || !cm::CodePage::isSupported(number)) {
                err << "cardmint-cli: unsupported code page\n";
                return cm::cli::ExitUsage;
            }
            cm::CodePage::setLayoutCodePage(number);
        } else {
            err << "cardmint-cli: unknown option \"" << option << "\"\n";
            return cm::cli::ExitUsage;
        }
    }
    if (args.isEmpty()) {
        cm::cli::printUsage(err);
        return cm::cli::ExitUsage;
    }
    const QString name = args.takeFirst();
    for (const cm::cli::Command& c : cm::cli::commands()) {
        if (name != QLatin1String(c.name))
            continue;
        if (cm::cli::asksForHelp(args)) {
            cm::cli::printCommandHelp(c, out);
            return cm::cli::ExitOk;
        }
        const int code = c.run(args, io);
        QString error;
        if (code == cm::cli::ExitOk && !names.commitOutputs(&error)) {
            err << name << ": " << error << "\n";
            return cm::cli::ExitFailure;
        }
        return code;
    }
    err << "cardmint-cli: unknown command \"" << name << "\"\n";
    cm::cli::printUsage(err);
    return cm::cli::ExitUsage;
}
