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

inline Run cli(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(PW_CLI_PATH), args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

} // namespace pw::test
