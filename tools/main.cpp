#include "cli.h"

#include "report/codepage.h"

#include <QGuiApplication>
#include <QStringDecoder>
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

// The argument as the user typed it, with bytes that are not UTF-8 shown
// as \xNN; empty when the whole argument is UTF-8.
static QString nonUtf8Argument(const char* arg)
{
    const QByteArrayView bytes(arg);
    QStringDecoder decoder(QStringDecoder::Utf8);
    (void)QString(decoder(bytes));
    if (!decoder.hasError())
        return {};
    QString shown;
    for (qsizetype i = 0; i < bytes.size();) {
        // Take the longest run that decodes cleanly, escape one byte otherwise.
        qsizetype n = 4;
        for (; n > 0; --n) {
            if (i + n > bytes.size())
                continue;
            QStringDecoder one(QStringDecoder::Utf8);
            const QString s = one(bytes.sliced(i, n));
            if (!one.hasError() && s.size() > 0 && s != QChar(QChar::ReplacementCharacter))
                break;
        }
        if (n > 0) {
            shown += QString::fromUtf8(bytes.sliced(i, n));
            i += n;
        } else {
            shown += QStringLiteral("\\x%1").arg(static_cast<unsigned char>(bytes[i]), 2, 16, QLatin1Char('0'));
            ++i;
        }
    }
    return shown;
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

    // Qt holds file names as Unicode text, so a name that is not UTF-8
    // cannot be opened as typed: say so rather than report it missing.
    for (int i = 1; i < argc; ++i) {
        if (const QString shown = nonUtf8Argument(argv[i]); !shown.isEmpty()) {
            err << "cardmint-cli: \"" << shown << "\" is not valid UTF-8; file names must be UTF-8 "
                   "(rename the file, e.g. with convmv)\n";
            return cm::cli::ExitFailure;
        }
    }
    QStringList args = QGuiApplication::arguments().mid(1);
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
        return c.run(args, io);
    }
    err << "cardmint-cli: unknown command \"" << name << "\"\n";
    cm::cli::printUsage(err);
    return cm::cli::ExitUsage;
}
