#include "testmain.h"

#include "i18n/translateunit.h"
#include "imagelib/PicIO3.h"
#include "model/error.h"
#include "model/pictures.h"
#include "model/services.h"

#include <QImage>
#include <QTemporaryDir>

using namespace pw;

namespace {

class RecordingPrompts final : public Prompts {
public:
    struct Message {
        QString text;
        QString caption;
        Icon icon;
    };
    Answer ask(const QString&, const QString&, Buttons) override { return Answer::Cancel; }
    void message(const QString& text, const QString& caption, Icon icon) override {
        messages.append({text, caption, icon});
    }
    QString openFileName(const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&) override { return {}; }
    QString folderName(const QString&) override { return {}; }

    QList<Message> messages;
};

// A document with one category holding one product with the given pictures, each with a
// filled pixel-size cache.
void oneProduct(CatalogDocument& doc, const QStringList& pictures) {
    const int kat = doc.addCategory(QStringLiteral("K"));
    TProdukt& p = *doc.products(kat).Add();
    int n = 0;
    for (const QString& name : pictures) {
        TBild& b = *p.bilder.Add();
        b.datei = name;
        b.breite = 8;
        b.pixbreite = 100 + n;
        b.pixhoehe = 200 + n;
        ++n;
    }
}

QString files(const CatalogDocument& doc) {
    QString s;
    for (const TBild& b : doc.products(0)[0].bilder)
        s += b.datei;
    return s;
}

// Which pictures still have their pixel sizes: '1' for a filled cache, '0' for a cleared one.
QString caches(const CatalogDocument& doc) {
    QString s;
    for (const TBild& b : doc.products(0)[0].bilder)
        s += (b.pixbreite && b.pixhoehe) ? '1' : ((b.pixbreite || b.pixhoehe) ? '?' : '0');
    return s;
}

QString writePicture(const QString& path, int width) {
    QImage image(width, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    return image.save(path, "PNG") ? path : QString();
}

} // namespace

class TestPictures : public QObject {
    Q_OBJECT

private slots:
    void storedPath_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("progpath");
        QTest::addColumn<QString>("stored");
        QTest::newRow("in the program folder") << "/opt/pw/a.jpg"
                                               << "/opt/pw/"
                                               << "a.jpg";
        QTest::newRow("program folder without separator") << "/opt/pw/a.jpg"
                                                          << "/opt/pw"
                                                          << "a.jpg";
        QTest::newRow("backslashes") << "C:\\Programme\\PW\\a.jpg"
                                     << "C:\\Programme\\PW\\"
                                     << "a.jpg";
        QTest::newRow("case differs") << "/opt/PW/a.jpg"
                                      << "/opt/pw/"
                                      << "/opt/PW/a.jpg";
        QTest::newRow("subfolder") << "/opt/pw/bilder/a.jpg"
                                   << "/opt/pw/"
                                   << "/opt/pw/bilder/a.jpg";
        QTest::newRow("parent folder") << "/opt/a.jpg"
                                       << "/opt/pw/"
                                       << "/opt/a.jpg";
        QTest::newRow("no program folder") << "/opt/pw/a.jpg"
                                           << ""
                                           << "/opt/pw/a.jpg";
    }
    void storedPath() {
        QFETCH(QString, file);
        QFETCH(QString, progpath);
        QFETCH(QString, stored);
        QCOMPARE(storedPicturePath(file, progpath), stored);
    }

    void addingSkipsWhatDoesNotLoad() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString first = writePicture(dir.filePath(QStringLiteral("eins.png")), 5);
        const QString third = writePicture(dir.filePath(QStringLiteral("drei.png")), 7);
        const QString broken = dir.filePath(QStringLiteral("zwei.png"));
        QFile f(broken);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("kein Bild") > 0);
        f.close();
        QVERIFY(!first.isEmpty() && !third.isEmpty());

        CatalogDocument doc;
        oneProduct(doc, {QStringLiteral("alt.jpg")});
        EditContext ctx(doc);
        TranslationStore texts;
        RecordingPrompts prompts;
        dib preview;
        QCOMPARE(addPictures(ctx, 0, 0, {first, broken, third}, 12.5, dir.path(), prompts, texts, &preview),
                 2);
        QCOMPARE(files(doc), QStringLiteral("alt.jpgeins.pngdrei.png"));
        QCOMPARE(doc.products(0)[0].bilder[2].breite, 12.5);
        QCOMPARE(caches(doc), QStringLiteral("100"));
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages[0].text, QStringLiteral("Konnte das Bild nicht laden."));
        QVERIFY(prompts.messages[0].caption.isEmpty());
        QVERIFY(prompts.messages[0].icon == Prompts::Icon::Error);
        QCOMPARE(dibwidth(preview), 7);
        QVERIFY(ctx.isChanged());

        // Outside the program folder the full path is kept.
        QCOMPARE(addPictures(ctx, 0, 0, {first}, 3, QStringLiteral("/anderswo/"), prompts, texts), 1);
        QCOMPARE(doc.products(0)[0].bilder[3].datei, first);

        QVERIFY(ctx.undo() && ctx.undo());
        QCOMPARE(files(doc), QStringLiteral("alt.jpg"));
        QVERIFY(ctx.redo());
        QCOMPARE(files(doc), QStringLiteral("alt.jpgeins.pngdrei.png"));
    }

    void nothingLoadsNothingChanges() {
        CatalogDocument doc;
        oneProduct(doc, {});
        EditContext ctx(doc);
        TranslationStore texts;
        RecordingPrompts prompts;
        const QStringList missing{QStringLiteral("/gibt/es/nicht.png"), QStringLiteral("/auch/nicht.jpg")};
        QCOMPARE(addPictures(ctx, 0, 0, missing, 8, QString(), prompts, texts), 0);
        QCOMPARE(prompts.messages.size(), 2);
        QCOMPARE(doc.products(0)[0].bilder.count(), 0);
        QVERIFY(!ctx.isChanged());
        QVERIFY(!ctx.history.canUndo());
        QVERIFY_THROWS_EXCEPTION(Error, addPictures(ctx, 0, 0, missing, 0, QString(), prompts, texts));
    }

    void previewOfAPicture() {
        QTemporaryDir dir;
        const QString file = writePicture(dir.filePath(QStringLiteral("a.png")), 9);
        CatalogDocument doc;
        oneProduct(doc, {file, QStringLiteral("/gibt/es/nicht.png")});
        doc.products(0)[0].bilder[0].breite = 12;
        TranslationStore texts;
        RecordingPrompts prompts;
        dib preview;
        QCOMPARE(loadPicturePreview(doc, 0, 0, 0, preview, prompts, texts), std::optional<double>(12));
        QCOMPARE(dibwidth(preview), 9);
        QCOMPARE(loadPicturePreview(doc, 0, 0, 1, preview, prompts, texts), std::nullopt);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(dibwidth(preview), 9);
        QCOMPARE(doc.products(0)[0].bilder.count(), 2);
    }

    void deleteKeepsThePosition_data() {
        QTest::addColumn<int>("bild");
        QTest::addColumn<QString>("left");
        QTest::addColumn<int>("selected");
        QTest::newRow("first") << 0 << "BC" << 0;
        QTest::newRow("middle") << 1 << "AC" << 1;
        QTest::newRow("last") << 2 << "AB" << -1;
        QTest::newRow("none") << -1 << "ABC" << -1;
        QTest::newRow("outside") << 3 << "ABC" << -1;
    }
    void deleteKeepsThePosition() {
        QFETCH(int, bild);
        QFETCH(QString, left);
        QFETCH(int, selected);
        CatalogDocument doc;
        oneProduct(doc, {"A", "B", "C"});
        EditContext ctx(doc);
        QCOMPARE(deletePicture(ctx, 0, 0, bild), selected);
        QCOMPARE(files(doc), left);
        QCOMPARE(caches(doc), QString(left.size(), QLatin1Char('1')));
        QCOMPARE(ctx.isChanged(), left.size() < 3);
        if (ctx.isChanged()) {
            QVERIFY(ctx.undo());
            QCOMPARE(files(doc), QStringLiteral("ABC"));
        }
    }

    void changesClearThePixelSizes_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("bild");
        QTest::addColumn<QString>("order");
        QTest::addColumn<QString>("cached");
        QTest::newRow("up") << 0 << 1 << "BAC"
                            << "001";
        QTest::newRow("down") << 1 << 1 << "ACB"
                              << "100";
        QTest::newRow("width") << 2 << 2 << "ABC"
                               << "110";
        QTest::newRow("up on the first") << 0 << 0 << "ABC"
                                         << "111";
        QTest::newRow("down on the last") << 1 << 2 << "ABC"
                                          << "111";
        QTest::newRow("width unchanged") << 3 << 0 << "ABC"
                                         << "111";
        QTest::newRow("width without selection") << 2 << -1 << "ABC"
                                                 << "111";
    }
    void changesClearThePixelSizes() {
        QFETCH(int, command);
        QFETCH(int, bild);
        QFETCH(QString, order);
        QFETCH(QString, cached);
        CatalogDocument doc;
        oneProduct(doc, {"A", "B", "C"});
        EditContext ctx(doc);
        switch (command) {
        case 0:
            movePictureUp(ctx, 0, 0, bild);
            break;
        case 1:
            movePictureDown(ctx, 0, 0, bild);
            break;
        case 2:
            setPictureWidth(ctx, 0, 0, bild, 12);
            break;
        default:
            setPictureWidth(ctx, 0, 0, bild, 8);
            break;
        }
        QCOMPARE(files(doc), order);
        QCOMPARE(caches(doc), cached);
        // Undo puts back the order, the width and the cached sizes.
        if (ctx.history.canUndo()) {
            QVERIFY(ctx.undo());
            QCOMPARE(files(doc), QStringLiteral("ABC"));
            QCOMPARE(caches(doc), QStringLiteral("111"));
            QCOMPARE(doc.products(0)[0].bilder[0].pixbreite, 100);
            QCOMPARE(doc.products(0)[0].bilder[1].pixhoehe, 201);
            for (const TBild& b : doc.products(0)[0].bilder)
                QCOMPARE(b.breite, 8.0);
        }
    }

    void movesAndWidths() {
        CatalogDocument doc;
        oneProduct(doc, {"A", "B", "C"});
        EditContext ctx(doc);
        // Twice "up" on the third of three, the selection staying at the same position.
        QVERIFY(movePictureUp(ctx, 0, 0, 2));
        QVERIFY(movePictureUp(ctx, 0, 0, 2));
        QCOMPARE(files(doc), QStringLiteral("ABC"));
        QVERIFY(!movePictureUp(ctx, 0, 0, 0));
        QVERIFY(!movePictureDown(ctx, 0, 0, 2));
        QCOMPARE(ctx.history.count(), 2);

        setPictureWidth(ctx, 0, 0, 1, 12);
        QCOMPARE(doc.products(0)[0].bilder[1].breite, 12.0);
        QVERIFY_THROWS_EXCEPTION(Error, setPictureWidth(ctx, 0, 0, 1, 0.001));
        QVERIFY_THROWS_EXCEPTION(Error, setPictureWidth(ctx, 0, 0, 1, 10000.5));
        QCOMPARE(doc.products(0)[0].bilder[1].breite, 12.0);
        QVERIFY(ctx.undo());
        QCOMPARE(doc.products(0)[0].bilder[1].breite, 8.0);
        QVERIFY(ctx.redo());
        QCOMPARE(doc.products(0)[0].bilder[1].breite, 12.0);
        QCOMPARE(doc.products(0)[0].bilder[1].pixbreite, 0);

        // Without a selected picture nothing changes.
        CatalogDocument other;
        oneProduct(other, {"A"});
        EditContext untouched(other);
        setPictureWidth(untouched, 0, 0, -1, 5);
        QVERIFY(!untouched.isChanged());
        QCOMPARE(deletePicture(untouched, 0, 1, 0), -1);
        QVERIFY(!movePictureDown(untouched, 1, 0, 0));
        QVERIFY(!untouched.isChanged());
    }
};

PW_TEST_CLASS(TestPictures)
#include "tst_pictures.moc"
