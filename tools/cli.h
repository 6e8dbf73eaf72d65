#pragma once
// Subcommands of cardmint-cli. Each cmd_*.cpp defines one command and
// registers it with a static CliRegistration; main.cpp dispatches by name.
#include <QStringList>
#include <QTextStream>

namespace cm::cli {

struct Io {
    QTextStream& out;
    QTextStream& err;
};

using CommandFn = int (*)(const QStringList& args, Io& io);

struct Command {
    const char* name;
    const char* usage;             // shown by "cardmint-cli help"
    CommandFn run;
    const char* details = nullptr; // more lines for "COMMAND --help"
};

void registerCommand(const Command& command);

// Whether `option` is `name` or one of its older spellings (--code-page for
// --codepage).
bool isOption(const QString& option, const char* name);

struct CliRegistration {
    explicit CliRegistration(const Command& command) { registerCommand(command); }
};

// Exit codes shared by all commands.
constexpr int ExitOk = 0;
constexpr int ExitFailure = 1;   // the work failed (bad file, write error ...)
constexpr int ExitUsage = 2;     // the command line was wrong

} // namespace cm::cli
