#pragma once

// Runs pagewright-cli and keeps what it returned.

#include <QByteArray>
#include <QProcess>
#include <QStringList>

namespace pw::test {

struct Run {
    int code = -1;
    QByteArray out;
    QByteArray err;
};

// workingFolder: where the tool starts; empty for the test's own.
inline Run cli(const QStringList& args, const QString& workingFolder = {}) {
    QProcess p;
    if (!workingFolder.isEmpty())
        p.setWorkingDirectory(workingFolder);
    p.start(QStringLiteral(PW_CLI_PATH), args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

} // namespace pw::test
