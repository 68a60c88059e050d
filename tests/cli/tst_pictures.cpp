#include "testmain.h"

#include "clirun.h"
#include "model/catalogfile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <sys/stat.h>

using namespace pw;
using pw::test::cli;
using pw::test::Run;

namespace {

// A catalogue in <dir>/katalog/k.pk2 with one category and one product per picture path,
// named "Produkt <i>". Pictures are 5 cm wide; nothing else is drawn but the names.
QString writeCatalogue(const QTemporaryDir& dir, const QStringList& pictures) {
    CatalogDocument doc;
    LayoutSettings& s = doc.settings;
    s.BackgroundColorCheck = false;
    s.RahmenCheck = false;
    s.LogoChecked = false;
    s.FilenameEdit1.clear();
    s.FilenameEdit2.clear();
    s.FilenameEdit3.clear();
    s.KopfEd.clear();
    s.FussEd.clear();
    doc.addCategory(QStringLiteral("Tiere"));
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        TProdukt& p = *doc.products(0).Add();
        SetProductTableDefaults(p);
        p.name = QStringLiteral("Produkt %1").arg(i);
        TBild& b = *p.bilder.Add();
        b.datei = pictures[i];
        b.breite = 5;
    }
    QDir(dir.path()).mkpath(QStringLiteral("katalog"));
    const QString path = dir.filePath(QStringLiteral("katalog/k.pk2"));
    SaveTheFile(doc, path);
    return path;
}

// A red 60 x 40 picture at <dir>/katalog/<relative>.
void writeRedPicture(const QTemporaryDir& dir, const QString& relative) {
    const QString file = dir.filePath(QStringLiteral("katalog/") + relative);
    QDir().mkpath(QFileInfo(file).absolutePath());
    QImage red(60, 40, QImage::Format_RGB32);
    red.fill(qRgb(255, 0, 0));
    QVERIFY(red.save(file, "PNG"));
}

int redPixels(const QString& png) {
    const QImage page = QImage(png).convertToFormat(QImage::Format_RGB32);
    int n = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            n += page.pixel(x, y) == qRgb(255, 0, 0) ? 1 : 0;
    return n;
}

// The drawing command with its output in `out` (a file or, for html, a folder).
QStringList drawingCommand(const QString& command, const QString& catalogue, const QString& out) {
    if (command == QLatin1String("render"))
        return {"render", catalogue, "--page", "1", "-o", out};
    if (command == QLatin1String("pdf"))
        return {"pdf", catalogue, "--dpi", "20", "-o", out};
    if (command == QLatin1String("images"))
        return {"images", catalogue, "--dpi", "20", "-o", out};
    return {"html", catalogue, "--dpi", "20", "-o", out};
}

QString outputName(const QString& command) {
    if (command == QLatin1String("render"))
        return QStringLiteral("seite.png");
    if (command == QLatin1String("pdf"))
        return QStringLiteral("k.pdf");
    if (command == QLatin1String("images"))
        return QStringLiteral("seite.jpg");
    return QStringLiteral("flip");
}

// What the command writes for `out`: page images carry the page number.
QString writtenFile(const QString& command, const QString& out) {
    if (command == QLatin1String("images"))
        return QString(out).replace(QLatin1String(".jpg"), QLatin1String("1.jpg"));
    return out;
}

} // namespace

class TestPictureCommands : public QObject {
    Q_OBJECT

private slots:
    // A picture stored as "bilder/rot.png" lies beside the catalogue; a command started in
    // another folder must still find it, and one started beside it too.
    void relativePicturePathsAreFoundBesideTheCatalogue_data() {
        QTest::addColumn<QString>("startIn");
        QTest::newRow("started elsewhere") << "anderswo";
        QTest::newRow("started in the catalogue's folder") << "katalog";
    }
    void relativePicturePathsAreFoundBesideTheCatalogue() {
        QFETCH(QString, startIn);
        QTemporaryDir dir;
        writeRedPicture(dir, QStringLiteral("bilder/rot.png"));
        const QString catalogue = writeCatalogue(dir, {QStringLiteral("bilder/rot.png")});
        QVERIFY(QDir(dir.path()).mkpath(startIn));
        const QString out = dir.filePath(QStringLiteral("seite.png"));
        const Run r = cli({"render", catalogue, "--page", "1", "-o", out, "--strict"}, dir.filePath(startIn));
        QCOMPARE(r.code, 0);
        QCOMPARE(r.err, QByteArray());
        // 5 cm at 96 dpi: 188 x 125 pixels of red.
        QCOMPARE_GT(redPixels(out), 180 * 120);
    }

    // A missing picture is named once per product on stderr by every drawing command, and
    // the output is still written; --strict makes it exit 2 and writes nothing.
    void missingPicturesAreReported_data() {
        QTest::addColumn<QString>("command");
        for (const char* c : {"render", "pdf", "images", "html"})
            QTest::newRow(c) << QString::fromLatin1(c);
    }
    void missingPicturesAreReported() {
        QFETCH(QString, command);
        QTemporaryDir dir;
        writeRedPicture(dir, QStringLiteral("da.png"));
        const QString catalogue =
            writeCatalogue(dir, {QStringLiteral("bilder/fehlt.png"), QStringLiteral("da.png"),
                                 QStringLiteral("bilder/fehlt.png")});
        const QString out = dir.filePath(outputName(command));

        const Run r = cli(drawingCommand(command, catalogue, out));
        QCOMPARE(r.code, 0);
        QVERIFY(QFileInfo::exists(writtenFile(command, out)));
        const QStringList lines = QString::fromUtf8(r.err).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines[0].contains(QLatin1String("bilder/fehlt.png")), qPrintable(lines[0]));
        QVERIFY2(lines[0].contains(QStringLiteral("„Produkt 0“")), qPrintable(lines[0]));
        QVERIFY2(lines[1].contains(QStringLiteral("„Produkt 2“")), qPrintable(lines[1]));
        QVERIFY(lines[0].startsWith(QLatin1String("pagewright-cli: Warnung: ")));

        const QString strictOut = dir.filePath(QStringLiteral("strikt-") + outputName(command));
        const Run strict = cli(drawingCommand(command, catalogue, strictOut) << "--strict");
        QCOMPARE(strict.code, 2);
        QVERIFY(strict.err.contains("fehlt.png"));
        QVERIFY(!QFileInfo::exists(writtenFile(command, strictOut)));
    }

    // A damaged picture is reported like a missing one.
    void damagedPictureIsReported() {
        QTemporaryDir dir;
        QFile broken(dir.filePath(QStringLiteral("katalog/kaputt.png")));
        QDir().mkpath(dir.filePath(QStringLiteral("katalog")));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("\x89PNG\r\n\x1a\n and then nothing that makes a picture");
        broken.close();
        const QString catalogue = writeCatalogue(dir, {QStringLiteral("kaputt.png")});
        const Run r = cli({"render", catalogue, "--page", "1", "-o", dir.filePath(QStringLiteral("s.png"))});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.err.contains("kaputt.png") && r.err.contains("Produkt 0"), r.err.constData());
    }

    // A FIFO named as the only picture would block an ordinary open for ever.
    void fifoPictureExportsWithAWarning() {
        QTemporaryDir dir;
        QDir().mkpath(dir.filePath(QStringLiteral("katalog")));
        const QString fifo = dir.filePath(QStringLiteral("katalog/rohr.jpg"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString catalogue = writeCatalogue(dir, {fifo});
        const QString out = dir.filePath(QStringLiteral("k.pdf"));
        QElapsedTimer timer;
        timer.start();
        const Run r = cli({"pdf", catalogue, "--dpi", "20", "-o", out});
        QCOMPARE(r.code, 0);
        QCOMPARE_LT(timer.elapsed(), 30000);
        QVERIFY(QFileInfo(out).size() > 0);
        QVERIFY2(r.err.contains("rohr.jpg") && r.err.contains("keine gewöhnliche Datei"), r.err.constData());
    }

    // copy-pictures copies files only: a device or FIFO is skipped with the copy error
    // and the reason, the real picture is copied, and the command ends quickly.
    void copyPicturesSkipsWhatIsNotAFile() {
        QTemporaryDir dir;
        writeRedPicture(dir, QStringLiteral("bilder/rot.png"));
        const QString fifo = dir.filePath(QStringLiteral("katalog/rohr.png"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString catalogue =
            writeCatalogue(dir, {QStringLiteral("/dev/zero"), fifo, QStringLiteral("bilder/rot.png"),
                                 QStringLiteral("/dev/urandom")});
        const QString target = dir.filePath(QStringLiteral("kopien"));
        QElapsedTimer timer;
        timer.start();
        const Run r =
            cli({"copy-pictures", catalogue, "-o", dir.filePath(QStringLiteral("neu.pk2")), "--to", target},
                dir.path());
        QCOMPARE_LT(timer.elapsed(), 30000);
        QCOMPARE(r.code, 2);
        const QStringList lines = QString::fromUtf8(r.err).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        for (const QString& line : lines)
            QVERIFY2(line.contains(QStringLiteral("keine gewöhnliche Datei")), qPrintable(line));
        QVERIFY(lines[0].contains(QLatin1String("/dev/zero")));
        QVERIFY(lines[1].contains(QLatin1String("rohr.png")));
        QVERIFY(lines[2].contains(QLatin1String("/dev/urandom")));
        QCOMPARE(QDir(target).entryList(QDir::Files), QStringList{QStringLiteral("rot.png")});
    }
};

PW_TEST_CLASS(TestPictureCommands)
#include "tst_pictures.moc"
