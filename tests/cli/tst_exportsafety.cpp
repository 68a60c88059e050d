// Exports that run at the same time, are interrupted or run out of space: the previous
// output survives, nothing temporary stays behind, and success means a complete file.

#include "testmain.h"

#include "clirun.h"
#include "model/catalogfile.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <csignal>
#include <memory>

#include <sys/resource.h>

using namespace pw;
using pw::test::Run;

namespace {

const QString kSample = QStringLiteral(PW_SOURCE_DIR "/resources/samples/test.pk2");

// A second catalogue, unlike the sample: two categories of products with long descriptions.
QString writeOtherCatalogue(const QString& folder) {
    CatalogDocument doc;
    doc.settings.BackgroundColorCheck = false;
    doc.settings.KopfEd = QStringLiteral("Andere");
    doc.settings.LogoChecked = false; // no logo file beside it: the export would warn
    QStringList lines;
    for (int i = 0; i < 20; ++i)
        lines.append(QStringLiteral("Beschreibung %1").arg(i));
    for (int k = 0; k < 2; ++k) {
        doc.addCategory(QStringLiteral("Gruppe %1").arg(k));
        for (int i = 0; i < 4; ++i) {
            TProdukt& p = *doc.products(k).Add();
            SetProductTableDefaults(p);
            p.name = QStringLiteral("Ding %1-%2").arg(k).arg(i);
            p.desc = lines.join(QLatin1Char('\n'));
        }
    }
    const QString path = QDir(folder).filePath(QStringLiteral("other.pk2"));
    SaveTheFile(doc, path);
    return path;
}

// The CLI's environment: its own temporary folder, and Qt's runtime folder elsewhere so that
// the temporary folder holds only what the export leaves there.
QProcessEnvironment environmentWith(const QString& tmp, const QString& runtime) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), tmp);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    return env;
}

std::unique_ptr<QProcess> start(const QStringList& args, const QProcessEnvironment& env,
                                qint64 fileLimit = 0) {
    auto p = std::make_unique<QProcess>();
    p->setProcessEnvironment(env);
    if (fileLimit > 0) {
        // A nearly full disk: writes beyond the limit fail with EFBIG instead of a signal.
        p->setChildProcessModifier([fileLimit] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{rlim_t(fileLimit), rlim_t(fileLimit)};
            setrlimit(RLIMIT_FSIZE, &limit);
        });
    }
    p->start(QStringLiteral(PW_CLI_PATH), args);
    return p;
}

Run finish(QProcess& p) {
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

QByteArray readAll(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every file below a folder (hidden ones too) with its bytes, by relative path.
QMap<QString, QByteArray> snapshot(const QString& folder) {
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(folder).relativeFilePath(path), readAll(path));
    }
    return files;
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

} // namespace

class TestExportSafety : public QObject {
    Q_OBJECT

    QTemporaryDir m_runtime;

private slots:
    void concurrentExportsMatchExportsRunAlone() {
        QTemporaryDir dir;
        QTemporaryDir tmp;
        const QProcessEnvironment env = environmentWith(tmp.path(), m_runtime.path());
        const QString other = writeOtherCatalogue(dir.path());
        const auto args = [&](const QString& catalogue, const QString& out) {
            return QStringList{"--date", "2026-01-01",      "pdf",   catalogue,
                               "-o",     dir.filePath(out), "--dpi", "60"};
        };
        // One at a time first.
        for (const auto& [catalogue, out] : {std::pair{kSample, QStringLiteral("sample.pdf")},
                                             std::pair{other, QStringLiteral("other.pdf")}}) {
            auto p = start(args(catalogue, out), env);
            QCOMPARE(finish(*p).code, 0);
        }
        const QByteArray sample = readAll(dir.filePath(QStringLiteral("sample.pdf")));
        const QByteArray otherPdf = readAll(dir.filePath(QStringLiteral("other.pdf")));
        QVERIFY(sample.startsWith("%PDF") && otherPdf.startsWith("%PDF") && sample != otherPdf);
        QVERIFY(entries(tmp.path()).isEmpty());

        // Then four together, twice over; two of them write the same file.
        for (int round = 0; round < 2; ++round) {
            std::vector<std::unique_ptr<QProcess>> running;
            running.push_back(start(args(kSample, QStringLiteral("s1.pdf")), env));
            running.push_back(start(args(kSample, QStringLiteral("s1.pdf")), env));
            running.push_back(start(args(other, QStringLiteral("o1.pdf")), env));
            running.push_back(start(args(other, QStringLiteral("o2.pdf")), env));
            for (auto& p : running) {
                const Run r = finish(*p);
                QCOMPARE(r.code, 0);
                QVERIFY2(r.err.isEmpty(), r.err.constData());
            }
            QVERIFY(readAll(dir.filePath(QStringLiteral("s1.pdf"))) == sample);
            QVERIFY(readAll(dir.filePath(QStringLiteral("o1.pdf"))) == otherPdf);
            QVERIFY(readAll(dir.filePath(QStringLiteral("o2.pdf"))) == otherPdf);
            QCOMPARE(entries(tmp.path()), QStringList{});
        }
    }

    void interruptedExportKeepsThePreviousFile_data() {
        QTest::addColumn<int>("signal");
        QTest::addColumn<int>("code");
        QTest::newRow("SIGTERM") << int(SIGTERM) << 143;
        QTest::newRow("SIGINT") << int(SIGINT) << 130;
    }
    void interruptedExportKeepsThePreviousFile() {
        QFETCH(int, signal);
        QFETCH(int, code);
        QTemporaryDir dir;
        QTemporaryDir tmp;
        const QProcessEnvironment env = environmentWith(tmp.path(), m_runtime.path());
        const QString out = dir.filePath(QStringLiteral("k.pdf"));
        const QStringList args{"--date", "2026-01-01", "pdf", kSample, "-o", out, "--dpi", "120"};
        // The complete export, timed, gives both possible outcomes.
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(finish(*start(args, env)).code, 0);
        const qint64 duration = clock.elapsed();
        const QByteArray complete = readAll(out);
        const QByteArray previous = "%PDF-1.3 the previous export";
        int interrupted = 0;
        for (int round = 0; round < 5 && interrupted == 0; ++round) {
            QFile old(out);
            QVERIFY(old.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                    old.write(previous) == previous.size());
            old.close();
            auto p = start(args, env);
            QVERIFY(p->waitForStarted());
            // Somewhere in the first part: after start-up, well before the end (a loaded
            // machine makes the timed run slower than the ones after it).
            QTest::qWait(int(duration * QRandomGenerator::global()->bounded(10, 60) / 100));
            // Once QProcess has seen the export end, processId() is 0, and kill(0, ...) would
            // signal this test's whole process group (the test runner and CI with it).
            const qint64 pid = p->processId();
            if (pid > 0 && p->state() == QProcess::Running)
                ::kill(pid_t(pid), signal);
            const Run r = finish(*p);
            if (r.code == code) {
                ++interrupted;
                QVERIFY(readAll(out) == previous);
                QVERIFY(r.err.contains(signal == SIGTERM ? "SIGTERM" : "SIGINT"));
            } else {
                QCOMPARE(r.code, 0); // finished before the signal came
                QVERIFY(readAll(out) == complete);
            }
            QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("k.pdf")});
            QCOMPARE(entries(tmp.path()), QStringList{});
        }
        QVERIFY(interrupted > 0);
    }

    void fullDiskKeepsThePreviousOutput_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("limitKb");
        QTest::newRow("pdf, nothing fits") << "pdf" << 8;
        QTest::newRow("pdf, some pages fit") << "pdf" << 200;
        QTest::newRow("html, nothing fits") << "html" << 8;
        QTest::newRow("html, the page fits, the pictures do not") << "html" << 40;
    }
    void fullDiskKeepsThePreviousOutput() {
        QFETCH(QString, command);
        QFETCH(int, limitKb);
        QTemporaryDir dir;
        QTemporaryDir tmp;
        const QProcessEnvironment env = environmentWith(tmp.path(), m_runtime.path());
        const bool html = command == QLatin1String("html");
        const QString out = dir.filePath(html ? QStringLiteral("flip") : QStringLiteral("k.pdf"));
        const auto args = [&](const QString& dpi) {
            return QStringList{"--date", "2026-01-01", command, kSample, "-o", out, "--dpi", dpi};
        };
        // The previous output: the same export at another resolution, without a limit.
        QCOMPARE(finish(*start(args(QStringLiteral("20")), env)).code, 0);
        const QMap<QString, QByteArray> before = snapshot(dir.path());
        QVERIFY(!before.isEmpty());

        const Run r = finish(*start(args(QStringLiteral("100")), env, qint64(limitKb) * 1024));
        QCOMPARE(r.code, 2);
        QVERIFY(r.out.isEmpty());
        QCOMPARE(r.err.count('\n'), 1);
        QVERIFY(snapshot(dir.path()) == before);
        QCOMPARE(entries(tmp.path()), QStringList{});
    }

    void unusableTemporaryFolderIsExit2() {
        QTemporaryDir dir;
        const QString notAFolder = dir.filePath(QStringLiteral("tmp"));
        QFile f(notAFolder);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        const QString out = dir.filePath(QStringLiteral("k.pdf"));
        const Run r = finish(*start({"pdf", kSample, "-o", out, "--dpi", "20"},
                                    environmentWith(notAFolder, m_runtime.path())));
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains("temporären Ordner"), r.err.constData());
        QVERIFY(!QFileInfo::exists(out));
    }
};

PW_TEST_CLASS(TestExportSafety)
#include "tst_exportsafety.moc"
