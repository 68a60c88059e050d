#include "testmain.h"

#include "model/catalogfile.h"
#include "model/picturefile.h"
#include "model/pictures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <limits>

using namespace pw;

class TestPictureFiles : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("katalog/bilder")));
        QFile picture(dir_.filePath(QStringLiteral("katalog/bilder/da.png")));
        QVERIFY(picture.open(QIODevice::WriteOnly));
    }

    // Which file a stored path names for a catalogue in <dir>/katalog. `beside` means the
    // expected path is relative to the catalogue's folder, else it is the result as is.
    void picturePathsResolve_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("catalogue");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("beside");
        const QString cat = QStringLiteral("katalog/k.pk2");
        QTest::newRow("folder part, file beside the catalogue")
            << "bilder/da.png" << cat << "bilder/da.png" << true;
        QTest::newRow("backslashes, file beside the catalogue")
            << "bilder\\da.png" << cat << "bilder/da.png" << true;
        QTest::newRow("folder part, no file beside: working folder")
            << "bilder/fehlt.png" << cat << "bilder/fehlt.png" << false;
        QTest::newRow("bare name stays as stored") << "da.png" << cat << "da.png" << false;
        QTest::newRow("absolute path stays") << "/bilder/da.png" << cat << "/bilder/da.png" << false;
        QTest::newRow("catalogue without a file") << "bilder/da.png"
                                                  << ""
                                                  << "bilder/da.png" << false;
        QTest::newRow("empty") << "" << cat << "" << false;
    }
    void picturePathsResolve() {
        QFETCH(QString, stored);
        QFETCH(QString, catalogue);
        QFETCH(QString, expected);
        QFETCH(bool, beside);
        const QString catalogueFile = catalogue.isEmpty() ? QString() : dir_.filePath(catalogue);
        const QString want = beside ? dir_.filePath(QStringLiteral("katalog/") + expected) : expected;
        QCOMPARE(resolvePicturePath(stored, catalogueFile), want);
    }

    // Picture widths outside what the width field accepts are brought into its range as
    // the file is read, so that no stored value can make a picture kilometres wide.
    void storedPictureWidthsAreClampedWhenRead_data() {
        QTest::addColumn<double>("stored");
        QTest::addColumn<double>("read");
        QTest::newRow("1,000,000 cm") << 1e6 << kMaxPictureWidth;
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << kMaxPictureWidth;
        QTest::newRow("negative") << -5.0 << kMinPictureWidth;
        QTest::newRow("zero") << 0.0 << kMinPictureWidth;
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << kMinPictureWidth;
        QTest::newRow("in range stays") << 8.5 << 8.5;
        QTest::newRow("largest allowed stays") << kMaxPictureWidth << kMaxPictureWidth;
    }
    void storedPictureWidthsAreClampedWhenRead() {
        QFETCH(double, stored);
        QFETCH(double, read);
        CatalogDocument doc;
        doc.addCategory(QStringLiteral("K"));
        TProdukt& p = *doc.products(0).Add();
        SetProductTableDefaults(p);
        TBild& b = *p.bilder.Add();
        b.datei = QStringLiteral("/x/y.png");
        b.breite = stored;
        const QString file = dir_.filePath(QStringLiteral("breite.pk2"));
        SaveTheFile(doc, file);
        CatalogDocument back;
        OpenCatalog(back, file, ReadOptions{});
        QCOMPARE(back.products(0)[0].bilder[0].breite, read);
    }
};

PW_TEST_CLASS(TestPictureFiles)
#include "tst_picturefile.moc"
