#include "testmain.h"

#include "compose/engine.h"
#include "enginefixture.h"
#include "fixtures.h"
#include "output/pagesource.h"

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>

using namespace pw;
using namespace pw::test;

namespace {

// Sixteen products, each with a red picture 6 cm wide from `picture` and a few lines of
// description, so that pictures decide where pages break.
CatalogDocument pictureCatalogue(const QString& picture) {
    CatalogDocument doc;
    doc.settings = plainSettings();
    doc.addCategory(QStringLiteral("Fotos"));
    for (int i = 0; i < 16; ++i) {
        TProdukt& p = addProduct(doc, 0, QStringLiteral("Foto %1").arg(i), numberedLines(6));
        TBild& b = *p.bilder.Add();
        b.datei = picture;
        b.breite = 6;
    }
    return doc;
}

// The box of clearly red pixels on a page.
QRect redBox(const QImage& page) {
    QRect box;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QRgb c = page.pixel(x, y);
            if (qRed(c) > 180 && qGreen(c) < 80 && qBlue(c) < 80)
                box |= QRect(x, y, 1, 1);
        }
    return box;
}

struct Laid {
    int anzpages = 0;
    std::vector<int> seiten;
    std::vector<QSize> pixelSizes;
    QRect red;
};

Laid layOut(CatalogDocument& doc, int layout) {
    FixedClock clock(QDate(2026, 1, 1));
    EngineEnvironment env(clock);
    const EngineCall call = a4Call(1, 100, 96);
    PainterCanvas measure(nullptr);
    EngineCall measuring = call;
    measuring.seiteedvalue = 0;
    PaintLayout(layout, measure, doc, ViewState{}, env, measuring);
    QImage page(call.width, call.height, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        PainterCanvas canvas(&page);
        PaintLayout(layout, canvas, doc, ViewState{}, env, call);
    }
    Laid laid;
    laid.anzpages = doc.anzpages;
    for (const TProdukt& p : doc.products(0)) {
        laid.seiten.push_back(p.seite);
        laid.pixelSizes.emplace_back(p.bilder[0].pixbreite, p.bilder[0].pixhoehe);
    }
    laid.red = redBox(page);
    if (!env.pictureFailures.empty())
        qWarning("a picture did not load");
    return laid;
}

// The data rows "layout": one layout for each of the three engines.
void oneLayoutPerEngine() {
    QTest::addColumn<int>("layout");
    QTest::newRow("layout 1 (engine A)") << 0;
    QTest::newRow("layout 2 (engine B)") << 1;
    QTest::newRow("layout 3 (engine C)") << 2;
}

} // namespace

class TestPictureLoading : public QObject {
    Q_OBJECT

private slots:
    // A camera-sized JPEG is decoded at the size the page needs, yet lays out exactly as
    // the same picture in a format that is always decoded in full: its own pixel size is
    // cached, the pages and positions agree, and it covers the same area of the page.
    void scaledJpegLaysOutLikeAFullDecode_data() { oneLayoutPerEngine(); }
    void scaledJpegLaysOutLikeAFullDecode() {
        QFETCH(int, layout);
        QTemporaryDir dir;
        QImage red(1601, 1199, QImage::Format_RGB32);
        red.fill(qRgb(230, 0, 0));
        const QString jpeg = dir.filePath(QStringLiteral("foto.jpg"));
        const QString png = dir.filePath(QStringLiteral("foto.png"));
        QVERIFY(red.save(jpeg, "JPEG", 95));
        QVERIFY(red.save(png, "PNG"));

        CatalogDocument fromJpeg = pictureCatalogue(jpeg);
        CatalogDocument fromPng = pictureCatalogue(png);
        const Laid a = layOut(fromJpeg, layout);
        const Laid b = layOut(fromPng, layout);
        QCOMPARE_GT(a.anzpages, 1);
        QCOMPARE(a.anzpages, b.anzpages);
        QCOMPARE(a.seiten, b.seiten);
        QCOMPARE(a.pixelSizes, b.pixelSizes);
        QCOMPARE(a.pixelSizes.front(), QSize(1601, 1199));
        QVERIFY(!a.red.isEmpty());
        QCOMPARE(a.red, b.red);
    }

    // A measuring run reads a picture's size from its header. A file whose header is
    // sound but whose pixels are damaged is found out when it is drawn; from then on it
    // takes no room in any run, until the file changes and is measured again.
    void pictureDamagedInsideIsDroppedOnceFoundOut() {
        QTemporaryDir dir;
        QImage red(300, 200, QImage::Format_RGB32);
        red.fill(qRgb(230, 0, 0));
        QByteArray png;
        {
            QBuffer buffer(&png);
            QVERIFY(buffer.open(QIODevice::WriteOnly));
            QVERIFY(red.save(&buffer, "PNG"));
        }
        const qsizetype idat = png.indexOf("IDAT");
        QVERIFY(idat > 0);
        QByteArray damaged = png;
        for (qsizetype i = idat + 8; i < idat + 16; ++i)
            damaged[i] = char(~damaged[i]); // the compressed pixels, not the header or the end
        const QString file = dir.filePath(QStringLiteral("foto.png"));
        QVERIFY(writeFile(file, damaged));

        CatalogDocument doc = pictureCatalogue(file);
        CatalogDocument bare = pictureCatalogue(QString());
        for (TProdukt& p : bare.products(0))
            p.bilder.Clear();
        FixedClock clock(QDate(2026, 1, 1));
        EngineEnvironment env(clock);
        PainterCanvas measure(nullptr);
        PaintLayout(0, measure, bare, ViewState{}, env, a4Call(0, 100, 96));
        PaintLayout(0, measure, doc, ViewState{}, env, a4Call(0, 100, 96));
        QCOMPARE(doc.products(0)[0].bilder[0].pixbreite, 300); // measured, not yet drawn
        QVERIFY(env.pictureFailures.empty());

        QImage page(100, 100, QImage::Format_RGB32);
        {
            PainterCanvas canvas(&page);
            PaintLayout(0, canvas, doc, ViewState{}, env, a4Call(1, 100, 96));
        }
        QVERIFY(!env.pictureFailures.empty());
        QCOMPARE(env.pictureFailures.failures().front().problem, PictureFileProblem::Unreadable);
        PaintLayout(0, measure, doc, ViewState{}, env, a4Call(0, 100, 96));
        QCOMPARE(doc.products(0)[15].bilder[0].pixbreite, 0);
        QCOMPARE(doc.anzpages, bare.anzpages);

        QVERIFY(red.scaled(301, 200).save(file, "PNG")); // replaced by a sound picture
        PaintLayout(0, measure, doc, ViewState{}, env, a4Call(0, 100, 96));
        QCOMPARE(doc.products(0)[15].bilder[0].pixbreite, 301);
    }

    // Pictures that do not load are collected once per owner, under the file that was
    // looked for, and take no space.
    void failedPicturesAreCollectedOncePerOwner() {
        CatalogDocument doc = pictureCatalogue(QStringLiteral("/nirgends/foto.jpg"));
        doc.products(0)[0].bilder.Add()->datei = QStringLiteral("/nirgends/foto.jpg"); // twice in one product
        doc.products(0)[0].bilder[1].breite = 6;
        FixedClock clock(QDate(2026, 1, 1));
        EngineEnvironment env(clock);
        PainterCanvas measure(nullptr);
        for (int run = 0; run < 2; ++run)
            PaintLayout(0, measure, doc, ViewState{}, env, a4Call(0, 100, 96));
        const std::vector<PictureFailure>& failures = env.pictureFailures.failures();
        QCOMPARE(failures.size(), std::size_t(16));
        for (std::size_t i = 0; i < failures.size(); ++i) {
            QCOMPARE(failures[i].file, QStringLiteral("/nirgends/foto.jpg"));
            QCOMPARE(failures[i].owner, QStringLiteral("Foto %1").arg(i));
            QCOMPARE(failures[i].use, PictureUse::Product);
            QCOMPARE(failures[i].problem, PictureFileProblem::Missing);
        }
        // They take no space: the pages are those of the catalogue without pictures.
        CatalogDocument bare = pictureCatalogue(QString());
        for (TProdukt& p : bare.products(0))
            p.bilder.Clear();
        PaintLayout(0, measure, bare, ViewState{}, env, a4Call(0, 100, 96));
        QCOMPARE(doc.anzpages, bare.anzpages);
    }

    // An export's run has the pictures of the pages it draws decoded ahead on helper
    // threads. Its pages come out as pages drawn one by one without that, to the pixel
    // (a page that differs stops the run), and a picture that turns out damaged when
    // decoded is reported as without it.
    void picturesDecodedAheadDrawTheSamePages_data() { oneLayoutPerEngine(); }
    void picturesDecodedAheadDrawTheSamePages() {
        QFETCH(int, layout);
        QTemporaryDir dir;
        CatalogDocument doc = pictureCatalogue(QString());
        for (int i = 0; i < 16; ++i) {
            // Photos of their own, with detail that each way of scaling shows.
            QImage photo(1200 + 16 * i, 900, QImage::Format_RGB32);
            for (int y = 0; y < photo.height(); ++y)
                for (int x = 0; x < photo.width(); ++x)
                    photo.setPixel(x, y, qRgb((x * 7 + i * 40) % 256, (y * 3) % 256, (x ^ y) % 256));
            const QString file = dir.filePath(QStringLiteral("foto%1.jpg").arg(i));
            QVERIFY(photo.save(file, "JPEG", 90));
            TProdukt& p = doc.products(0)[i];
            p.bilder[0].datei = file;
            p.bilder[0].breite = 4;
            TBild& second = *p.bilder.Add();
            second.datei = file;
            second.breite = 2.5;
        }
        QImage red(300, 200, QImage::Format_RGB32);
        red.fill(qRgb(230, 0, 0));
        const QString broken = dir.filePath(QStringLiteral("kaputt.png"));
        QVERIFY(red.save(broken, "PNG"));
        QByteArray damaged = readFile(broken);
        const qsizetype idat = damaged.indexOf("IDAT");
        QVERIFY(idat > 0);
        for (qsizetype i = idat + 8; i < idat + 16; ++i)
            damaged[i] = char(~damaged[i]); // the compressed pixels, not the header or the end
        QVERIFY(writeFile(broken, damaged));
        doc.products(0)[5].bilder[0].datei = broken;

        // Reference: one call per page, in page order, in an environment that decodes
        // nothing ahead.
        FixedClock clock(QDate(2026, 1, 1));
        EngineEnvironment plainEnv(clock);
        CatalogDocument plainDoc = doc;
        const EngineCall call = a4Call(1, 100, 150);
        QImage plain(call.width, call.height, QImage::Format_RGB32);
        // An export's run over all pages, which decodes the pictures ahead.
        EngineEnvironment env(clock);
        QImage bitmap(call.width, call.height, QImage::Format_RGB32);
        int pages = 0;
        QVERIFY(RenderPages(doc, layout, env, call, bitmap, [&](int page, const QImage& ahead, bool) {
            RenderPage(plainDoc, layout, plainEnv, call, plain, page);
            ++pages;
            return ahead == plain;
        }));
        QCOMPARE_GT(pages, 1);
        QCOMPARE(env.pictureFailures.failures().size(), std::size_t(1));
        QCOMPARE(plainEnv.pictureFailures.failures().size(), std::size_t(1));
    }
};

PW_TEST_CLASS(TestPictureLoading)
#include "tst_pictureload.moc"
