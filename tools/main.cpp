#include "cli.h"

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

static void printUsage(QTextStream& to)
{
    to << "usage: cardmint-cli [--codepage N] COMMAND [ARGS]\n\n"
          "  --codepage N   code page of text in layout files (1250, 1251, 1252 ...;\n"
          "                 default from the locale, or CARDMINT_CODEPAGE)\n\ncommands:\n";
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

int main(int argc, char** argv)
{
    qInstallMessageHandler(quietMessageHandler);
    // Fonts and painting need a GUI application object; the CLI never opens a window.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName("Cardmint");

    QTextStream out(stdout);
    QTextStream err(stderr);
    cm::cli::Io io{out, err};

    QStringList args = QGuiApplication::arguments().mid(1);
    if (args.isEmpty() || args.first() == "help" || args.first() == "--help" || args.first() == "-h") {
        cm::cli::printUsage(args.isEmpty() ? err : out);
        return args.isEmpty() ? cm::cli::ExitUsage : cm::cli::ExitOk;
    }
    // Global options before the command.
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
        const QString option = args.takeFirst();
        if (option == QLatin1String("--codepage") && !args.isEmpty()) {
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
        if (name == QLatin1String(c.name))
            return c.run(args, io);
    }
    err << "cardmint-cli: unknown command \"" << name << "\"\n";
    cm::cli::printUsage(err);
    return cm::cli::ExitUsage;
}
