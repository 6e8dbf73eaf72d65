#pragma once
// Runs the built cardmint-cli as a user would, for the end-to-end tests.
#include <QProcess>
#include <QString>
#include <QStringList>

#include <csignal>
#include <sys/types.h>

namespace cm::test {

struct CliRun {
    int code = -1;   // -1 when the tool did not end normally
    QString out;
    QString err;
};

// Runs the tool in `folder` (none: the test's own) with the extra
// environment `env` ("NAME=value" each).
inline CliRun runCli(const QStringList& args, const QString& folder = QString(), const QStringList& env = {})
{
    QProcess p;
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const QString& pair : env)
        e.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
    p.setProcessEnvironment(e);
    if (!folder.isEmpty())
        p.setWorkingDirectory(folder);
    p.start(QStringLiteral(CARDMINT_CLI), args);
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

// Sends the running tool Ctrl+C (SIGINT) and waits for it to end.
inline CliRun interruptCli(QProcess& p)
{
    ::kill(pid_t(p.processId()), SIGINT);
    const bool ended = p.waitForFinished(60000);
    return {ended && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

} // namespace cm::test
