// Builds the manual pages from src/cli/manual.txt and the usage that pagewright-cli prints.
//
//   pagewright-mkmanual MANUAL.txt PATH/TO/pagewright-cli VERSION OUTDIR
//
// Writes OUTDIR/NAME.1 for every "@page NAME" of the source. The usage lines come from
// running `pagewright-cli --help`, so a page always shows the tool's own usage; a
// subcommand without a description, or a description of no subcommand, is an error.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>

#include <algorithm>
#include <cstdio>

namespace {

struct Usage {
    QString synopsis;                    // the options and arguments after the program name
    QList<QPair<QString, QString>> list; // subcommand name, its arguments
};

// Plain text as roff: backslashes and hyphens escaped, and a line that roff would read as
// a request protected.
QString roffText(QString text) {
    text.replace(QLatin1Char('\\'), QStringLiteral("\\e"));
    text.replace(QLatin1Char('-'), QStringLiteral("\\-"));
    if (text.startsWith(QLatin1Char('.')) || text.startsWith(QLatin1Char('\'')))
        text.prepend(QStringLiteral("\\&"));
    return text;
}

bool fail(const QString& message) {
    std::fprintf(stderr, "pagewright-mkmanual: %s\n", qPrintable(message));
    return false;
}

bool readUsage(const QString& cli, Usage& usage) {
    QProcess p;
    p.start(cli, {QStringLiteral("--help")});
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return fail(QStringLiteral("%1 --help failed").arg(cli));
    const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'));
    const QString head = QStringLiteral("usage: pagewright-cli ");
    if (lines.isEmpty() || !lines[0].startsWith(head))
        return fail(QStringLiteral("unexpected first line of --help: %1").arg(lines.value(0)));
    usage.synopsis = lines[0].mid(head.size());
    static const QRegularExpression entry(QStringLiteral("^  pagewright-cli (\\S+) (.*)$"));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines[i].isEmpty())
            continue;
        const QRegularExpressionMatch m = entry.match(lines[i]);
        if (!m.hasMatch())
            return fail(QStringLiteral("unexpected line of --help: %1").arg(lines[i]));
        usage.list.append({m.captured(1), m.captured(2)});
    }
    return !usage.list.isEmpty() || fail(QStringLiteral("--help lists no command"));
}

bool build(const QString& manualPath, const QString& cli, const QString& version, const QString& outDir) {
    QFile manual(manualPath);
    if (!manual.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1").arg(manualPath));
    Usage usage;
    if (!readUsage(cli, usage))
        return false;

    // First pass: the pages (kept as lines) and the descriptions of the subcommands.
    QList<QPair<QString, QStringList>> pages;
    QMap<QString, QStringList> descriptions;
    QStringList* target = nullptr;
    for (const QString& line : QString::fromUtf8(manual.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1String("@page "))) {
            pages.append({line.mid(6).trimmed(), {}});
            target = &pages.last().second;
        } else if (line.startsWith(QLatin1String("@command "))) {
            const QString name = line.mid(9).trimmed();
            if (descriptions.contains(name))
                return fail(QStringLiteral("%1 is described twice").arg(name));
            target = &descriptions[name];
        } else if (target && (!line.isEmpty() || !target->isEmpty())) {
            target->append(line);
        }
    }
    for (const auto& [name, args] : usage.list) {
        if (descriptions.value(name).isEmpty())
            return fail(QStringLiteral("the command %1 has no description in %2").arg(name, manualPath));
    }
    for (auto it = descriptions.cbegin(); it != descriptions.cend(); ++it) {
        const bool listed = std::any_of(usage.list.cbegin(), usage.list.cend(),
                                        [&](const auto& entry) { return entry.first == it.key(); });
        if (!listed)
            return fail(QStringLiteral("%1 describes %2, which pagewright-cli does not have")
                            .arg(manualPath, it.key()));
    }

    for (const auto& [name, lines] : pages) {
        QString text;
        for (const QString& line : lines) {
            if (line == QLatin1String("@synopsis")) {
                text +=
                    QStringLiteral(".B pagewright\\-cli\n") + roffText(usage.synopsis) + QLatin1Char('\n');
            } else if (line == QLatin1String("@commands")) {
                for (const auto& [command, args] : usage.list) {
                    text += QStringLiteral(".TP\n\\fBpagewright\\-cli %1\\fR %2\n")
                                .arg(roffText(command), roffText(args));
                    for (const QString& d : descriptions.value(command)) {
                        if (!d.isEmpty())
                            text += roffText(d) + QLatin1Char('\n');
                    }
                }
            } else if (line.startsWith(QLatin1Char('@'))) {
                return fail(QStringLiteral("unknown directive %1").arg(line));
            } else {
                text += QString(line).replace(QLatin1String("@VERSION@"), version) + QLatin1Char('\n');
            }
        }
        while (text.endsWith(QLatin1String("\n\n")))
            text.chop(1);
        QSaveFile out(QDir(outDir).filePath(name + QStringLiteral(".1")));
        if (!out.open(QIODevice::WriteOnly) || out.write(text.toUtf8()) < 0 || !out.commit())
            return fail(QStringLiteral("cannot write %1").arg(out.fileName()));
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: pagewright-mkmanual MANUAL.txt PAGEWRIGHT-CLI VERSION OUTDIR\n");
        return 1;
    }
    QDir().mkpath(args[4]);
    return build(args[1], args[2], args[3], args[4]) ? 0 : 2;
}
