#include "testmain.h"

#include "compose/units.h"
#include "exportfixture.h"
#include "model/error.h"
#include "output/exportpage.h"
#include "output/flipcatalog.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QTemporaryDir>

using namespace pw;

namespace {

using test::CancelAfter;

void fill(CatalogDocument& doc, int products) {
    test::fillPlainCatalogue(doc, products, 1500);
}

int pagesOf(int products) {
    CatalogDocument doc;
    fill(doc, products);
    FixedClock clock(QDate(2026, 12, 10));
    EngineEnvironment env(clock);
    PainterCanvas measure(nullptr);
    PaintLayout(0, measure, doc, ViewState{}, env, ExportCall(50, QSize(413, 584), QSize(4960, 7016), 600));
    return doc.anzpages;
}

dib whitePicture(int w, int h, quint8 value = 255) {
    dib d;
    newdib(d, w, h, 24, nullptr, 0);
    for (int y = 0; y < h; ++y)
        std::memset(d.poi + qint64(y) * d.bytew, value, std::size_t(w) * 3);
    return d;
}

int grey(const dib& d, int x, int y) {
    return int(getpixel(d, x, y) & 0xFF);
}

// A program folder with a small template and every navigation picture but the last.
QString programFolder(const QTemporaryDir& dir) {
    const QString folder = dir.filePath(QStringLiteral("programm"));
    QDir().mkpath(folder);
    QFile t(folder + QStringLiteral("/flippages.htm"));
    t.open(QIODevice::WriteOnly);
    t.write("<p data-spreads=\"%%ANZPAGES%%\">%%FIRSTPAGE%% %%BACKTEXT%% %%FORWARDTEXT%% %%LASTPAGE%%</p>");
    t.close();
    for (int i = 0; i < 5; ++i) {
        QFile g(folder + QLatin1Char('/') + QLatin1String(kFlipPictures[i]));
        g.open(QIODevice::WriteOnly);
        g.write(QByteArray("GIF89a") + QByteArray(3000, char(i)));
        g.close();
        g.setFileTime(QDateTime(QDate(2020, 1, 2 + i), QTime(3, 4, 5), Qt::UTC),
                      QFileDevice::FileModificationTime);
    }
    return folder;
}

// A product of category kat with a variant table of the given rows (row 0: captions).
TProdukt& addProduct(CatalogDocument& doc, int kat, const QString& name, int prices,
                     const QList<QStringList>& rows) {
    TProdukt& p = *doc.products(kat).Add();
    SetProductTableDefaults(p);
    p.name = name;
    p.anzpreis = prices;
    for (const QStringList& cells : rows) {
        TVariante& row = *p.varianten.Add();
        for (const QString& cell : cells)
            row.props.Add()->text = cell;
    }
    return p;
}

// The files below `folder` (with their paths relative to it), and what they hold.
QMap<QString, QByteArray> filesBelow(const QString& folder) {
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        files.insert(QDir(folder).relativeFilePath(path),
                     f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray());
    }
    return files;
}

// The mean difference of grey between two pictures of one size, 0 ... 255.
double meanGreyDifference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            sum += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y)));
    return sum / (double(a.width()) * a.height());
}

} // namespace

class TestFlipExport : public QObject {
    Q_OBJECT

private slots:
    void blendRoundsHalvesToEven_data() {
        QTest::addColumn<int>("weight");
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("expected");
        QTest::newRow("white at the outer edge") << 50 << 255 << 192; // 127.5 + 64 = 191.5
        QTest::newRow("black at the outer edge") << 50 << 0 << 64;
        QTest::newRow("weight 100 keeps the pixel") << 100 << 77 << 77;
        QTest::newRow("corner band starts") << 60 << 255 << 204;
        QTest::newRow("corner band ends") << 99 << 255 << 254;
        QTest::newRow("half below rounds up to even") << 50 << 1 << 64; // 0.5 + 64 = 64.5
        QTest::newRow("half rounds down to even") << 50 << 3 << 66;     // 1.5 + 64 = 65.5
    }
    void blendRoundsHalvesToEven() {
        QFETCH(int, weight);
        QFETCH(int, channel);
        QFETCH(int, expected);
        QCOMPARE(FlipBlend(weight, channel), expected);
    }

    void edgeShadingFollowsThePageSide_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<QList<int>>("xyGrey"); // triples x, y, grey of a white 120 x 150 page
        // Odd (right-hand) pages: the spine gradient on the left, 9 pixels on the right.
        QTest::newRow("odd") << 3
                             << QList<int>{0,   75,  192, 30,  75,  230, 49,  75,  254, 50,  75,  255, 119,
                                           75,  192, 111, 75,  242, 110, 75,  255, 60,  0,   192, 60,  9,
                                           249, 60,  10,  255, 60,  149, 192, 60,  140, 249, 60,  139, 255};
        // Even pages: mirrored, the outer band also 9 pixels wide.
        QTest::newRow("even") << 2 << QList<int>{119, 75, 192, 89, 75, 230, 70, 75, 254, 69, 75,  255,
                                                 0,   75, 192, 8,  75, 242, 9,  75, 255, 60, 149, 192};
    }
    void edgeShadingFollowsThePageSide() {
        QFETCH(int, page);
        QFETCH(QList<int>, xyGrey);
        dib d = whitePicture(120, 150);
        ShadePageEdges(d, page);
        for (int i = 0; i < xyGrey.size(); i += 3) {
            if (grey(d, xyGrey[i], xyGrey[i + 1]) != xyGrey[i + 2])
                QFAIL(qPrintable(QStringLiteral("(%1, %2) is %3, expected %4")
                                     .arg(xyGrey[i])
                                     .arg(xyGrey[i + 1])
                                     .arg(grey(d, xyGrey[i], xyGrey[i + 1]))
                                     .arg(xyGrey[i + 2])));
        }
        dib black = whitePicture(120, 150, 0);
        ShadePageEdges(black, page);
        QCOMPARE(grey(black, page % 2 ? 119 : 0, 75), 64);
    }

    void cornerTurnsAtTheOuterBottomCorner() {
        const int w = 120;
        const int h = 150;
        dib odd = whitePicture(w, h, 0);
        TurnPageCorner(odd, 1);
        QCOMPARE(grey(odd, w - 1, h - 1), 255);   // d = 1.41, below the threshold: white
        QCOMPARE(grey(odd, w - 43, h - 43), 205); // d = 86 * 0.7071 = 60.8: weight 61
        QCOMPARE(grey(odd, w - 80, h - 80), 255); // d = 113: above 100, white
        QCOMPARE(grey(odd, w - 81, h - 1), 0);    // outside the square
        QCOMPARE(grey(odd, w - 1, h - 81), 0);
        dib even = whitePicture(w, h, 0);
        TurnPageCorner(even, 2);
        QCOMPARE(grey(even, 0, h - 1), 255);
        QCOMPARE(grey(even, 43, h - 43), 205);
        QCOMPARE(grey(even, 80, h - 1), 255); // x <= 80 on even pages
        QCOMPARE(grey(even, 81, h - 1), 0);
        QCOMPARE(grey(even, w - 1, h - 1), 0);
    }

    void templatePlaceholders() {
        FlipTexts texts;
        texts.back = QStringLiteral("<Zurück & \"weg\">");
        texts.lastPage = QStringLiteral("l'ultima");
        const QString html =
            FlipCatalogueHtml(QStringLiteral("%%ANZPAGES%%|%%BACKTEXT%%|%%FORWARDTEXT%%|%%FIRSTPAGE%%|%%"
                                             "LASTPAGE%%|%%ANZPAGES%%|%%anzpages%%"),
                              EvenPageCount(5), texts);
        QCOMPARE(html,
                 QStringLiteral("4|&lt;Zurück &amp; &quot;weg&quot;&gt;|Vorwärts|Erste Seite|l&#39;ultima|4|"
                                "%%anzpages%%"));
        QCOMPARE(EvenPageCount(6), 6);
    }

    void writesTheFolder() {
        int products = 1;
        while (pagesOf(products) < 5)
            ++products;
        QCOMPARE(pagesOf(products), 5);

        QTemporaryDir dir;
        const ProgramFolders program(programFolder(dir), dir.filePath(QStringLiteral("user")));
        const QString out = dir.filePath(QStringLiteral("web/katalog"));
        CatalogDocument doc;
        fill(doc, products);
        doc.anzpages = 5; // from the previous layout run
        FixedClock clock(QDate(2026, 12, 10));
        EngineEnvironment env(clock);
        FlipExportSettings settings;
        NoProgress progress;
        // A folder given with a trailing (Windows) separator.
        QVERIFY(ExportFlipCatalogue(doc, 0, env, settings, program, out + QLatin1Char('\\'), FlipTexts{},
                                    progress));

        // The fifth page leaves 5 pages: page 6 follows as a blank partner; 7 is the blank end.
        QCOMPARE(doc.anzpages, 6);
        QFile html(out + QStringLiteral("/catalog.htm"));
        QVERIFY(html.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(html.readAll()),
                 QStringLiteral("<p data-spreads=\"4\">Erste Seite Zurück Vorwärts Letzte Seite</p>"));
        QStringList expected{QStringLiteral("catalog.htm")};
        for (int i = 0; i < 5; ++i)
            expected.append(QLatin1String(kFlipPictures[i]));
        for (int p = 0; p <= 7; ++p)
            expected.append(QStringLiteral("catalogpage%1.jpg").arg(p));
        for (int p = 1; p <= 7; ++p)
            expected.append(QStringLiteral("catalogpageflip%1.jpg").arg(p));
        expected.sort();
        QCOMPARE(QDir(out).entryList(QDir::Files, QDir::Name), expected);

        for (int i = 0; i < 5; ++i) {
            const QString name = QLatin1String(kFlipPictures[i]);
            const QFileInfo copy(out + QLatin1Char('/') + name);
            QCOMPARE(copy.size(), 3006);
            QCOMPARE(copy.lastModified(),
                     QFileInfo(program.programDir() + QLatin1Char('/') + name).lastModified());
        }
        const QImage blank(out + QStringLiteral("/catalogpage0.jpg"));
        QCOMPARE(blank.size(), QSize(413, 584));
        QVERIFY(qGray(blank.pixel(5, 5)) > 250); // no shading on the blank pages
        const QImage partner(out + QStringLiteral("/catalogpage6.jpg"));
        QVERIFY(qAbs(qGray(partner.pixel(412, 300)) - 192) < 4); // shaded, otherwise white
        QVERIFY(qGray(partner.pixel(200, 300)) > 250);
        const QImage page5(out + QStringLiteral("/catalogpageflip5.jpg"));
        QVERIFY(qAbs(qGray(page5.pixel(412 - 50, 583 - 50)) - 218) <
                5); // the corner's shadow band, weight 71
        QVERIFY(qGray(page5.pixel(412 - 2, 583 - 2)) > 245);
    }

    void failuresAndCancel() {
        QTemporaryDir dir;
        const ProgramFolders program(programFolder(dir), dir.filePath(QStringLiteral("user")));
        CatalogDocument doc;
        fill(doc, 12);
        FixedClock clock(QDate(2026, 12, 10));
        EngineEnvironment env(clock);
        FlipExportSettings settings;
        NoProgress progress;
        const auto errorOf = [&](const ProgramFolders& p, const QString& folder) {
            try {
                ExportFlipCatalogue(doc, 0, env, settings, p, folder, FlipTexts{}, progress);
            } catch (const Error& e) {
                return qMakePair(e.messageNumber(), e.args().value(0));
            }
            return qMakePair(0, QString());
        };
        QCOMPARE(errorOf(program, QString()).first, 38);
        const ProgramFolders empty(dir.filePath(QStringLiteral("leer")),
                                   dir.filePath(QStringLiteral("user")));
        QCOMPARE(errorOf(empty, dir.filePath(QStringLiteral("a"))),
                 qMakePair(1, dir.filePath(QStringLiteral("leer/flippages.htm"))));
        QFile blocker(dir.filePath(QStringLiteral("datei")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QCOMPARE(errorOf(program, dir.filePath(QStringLiteral("datei/unter"))).first, 49);

        // A cancel leaves the previous catalogue exactly as it was, with nothing added.
        const QString out = dir.filePath(QStringLiteral("abbruch"));
        QVERIFY(ExportFlipCatalogue(doc, 0, env, settings, program, out, FlipTexts{}, progress));
        const auto contents = [&] {
            QMap<QString, QByteArray> files;
            const QDir folder(out);
            for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden)) {
                QFile f(folder.filePath(name));
                files.insert(name, f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray());
            }
            return files;
        };
        const QMap<QString, QByteArray> before = contents();
        QVERIFY(before.contains(QStringLiteral("catalogpageflip2.jpg")));
        settings.dpi = 40; // pages that would differ from the previous ones
        CancelAfter cancel(2);
        QVERIFY(!ExportFlipCatalogue(doc, 0, env, settings, program, out, FlipTexts{}, cancel));
        QVERIFY(contents() == before);
    }

    // The sharp pictures carry the shading of the base pictures, as wide on the page: at
    // scale 1 exactly theirs, at scale 3 three times as many pixels wide.
    void scaledShadingMatchesTheBasePictures_data() {
        QTest::addColumn<int>("page");
        QTest::newRow("odd, right-hand page") << 3;
        QTest::newRow("even, left-hand page") << 4;
    }
    void scaledShadingMatchesTheBasePictures() {
        QFETCH(int, page);
        dib base = whitePicture(413, 584, 200);
        ShadePageEdges(base, page);
        QImage same(413, 584, QImage::Format_RGB32);
        same.fill(qRgb(200, 200, 200));
        ShadeScaledPageEdges(same, page, 1);
        for (int y = 0; y < 584; ++y)
            for (int x = 0; x < 413; ++x)
                QCOMPARE(qGray(same.pixel(x, y)), grey(base, x, y));

        QImage sharp(3 * 413, 3 * 584, QImage::Format_RGB32);
        sharp.fill(qRgb(200, 200, 200));
        ShadeScaledPageEdges(sharp, page, 3);
        // Points in the spine gradient, the outer band, the top and bottom bands and inside.
        for (const QPoint at : {QPoint(3, 300), QPoint(30, 300), QPoint(409, 300), QPoint(200, 4),
                                QPoint(200, 580), QPoint(200, 300), QPoint(380, 100)}) {
            const int x = page % 2 == 1 ? at.x() : 412 - at.x();
            QVERIFY2(std::abs(qGray(sharp.pixel(3 * x, 3 * at.y())) - grey(base, x, at.y())) <= 3,
                     qPrintable(QStringLiteral("at %1, %2").arg(x).arg(at.y())));
        }
    }

    // The products as the search reads them: only what the pages print, on the page of the
    // flip catalogue (counted from 1 whatever the first printed page number), with nothing
    // that could end the script element or be taken for a placeholder.
    void productDataListsWhatThePagesPrint() {
        CatalogDocument doc;
        doc.settings.FirstPageNr = 5;
        const int tools = doc.addCategory(QStringLiteral("Werkzeug"));
        addProduct(doc, tools, QStringLiteral("Schraubendreher </script><b> 100%%BACKTEXT%% & Co"), 2,
                   {{"Art.-Nr.", "Länge", "Preis", "Ab 10"},
                    {"WZ-1", "100 mm", "4,95 €", "4,50 €"},
                    {"WZ-2##FF0000", "125 mm", "5,95 €##00FF00"},
                    {"9,99 €"}})
            .seite = 7;
        addProduct(doc, tools, QStringLiteral("Verborgen"), 1, {{"Nr.", "Preis"}, {"X-1", "1 €"}})
            .DeactivateProd = true;
        const int hidden = doc.addCategory(QStringLiteral("Ausgeblendet"));
        doc.createOptions(hidden).Deactivate = true;
        addProduct(doc, hidden, QStringLiteral("Im ausgeblendeten"), 1, {{"Nr.", "Preis"}, {"Y-1", "2 €"}});
        const int garden = doc.addCategory(QStringLiteral("Garten"));
        addProduct(doc, garden, QStringLiteral("Gießkanne"), 1, {{"Nr.", "Preis"}, {"GK-10", "12 €"}}).seite =
            5 + 40; // beyond the pages: the last one
        doc.anzpages = 12;

        const auto parsed = [](const CatalogDocument& d) {
            return QJsonDocument::fromJson(FlipProductsJson(d)).object();
        };
        const QJsonObject all = parsed(doc);
        QCOMPARE(all[QStringLiteral("categories")].toArray(),
                 QJsonArray({QStringLiteral("Werkzeug"), QStringLiteral("Garten")}));
        const QJsonArray products = all[QStringLiteral("products")].toArray();
        QCOMPARE(products.size(), 2);
        const QJsonObject driver = products[0].toObject();
        QCOMPARE(driver[QStringLiteral("page")].toInt(), 3);
        QCOMPARE(driver[QStringLiteral("category")].toInt(), 0);
        const QJsonArray variants = driver[QStringLiteral("variants")].toArray();
        QCOMPARE(variants.size(), 3);
        QCOMPARE(variants[0].toObject()[QStringLiteral("cells")].toArray(),
                 QJsonArray({QStringLiteral("WZ-1"), QStringLiteral("100 mm")}));
        QCOMPARE(variants[0].toObject()[QStringLiteral("prices")].toArray(),
                 QJsonArray({QStringLiteral("4,95 €"), QStringLiteral("4,50 €")}));
        // Colour suffixes are not printed; a row of three cells has its last two as prices.
        QCOMPARE(variants[1].toObject()[QStringLiteral("cells")].toArray(),
                 QJsonArray({QStringLiteral("WZ-2")}));
        QCOMPARE(variants[1].toObject()[QStringLiteral("prices")].toArray(),
                 QJsonArray({QStringLiteral("125 mm"), QStringLiteral("5,95 €")}));
        // A row of nothing but a price has no other cells.
        QCOMPARE(variants[2].toObject()[QStringLiteral("cells")].toArray(), QJsonArray());
        QCOMPARE(products[1].toObject()[QStringLiteral("page")].toInt(), 12);
        QCOMPARE(products[1].toObject()[QStringLiteral("category")].toInt(), 1);

        // Hidden price columns print no prices; hidden variant tables no variants.
        doc.settings.DonotShowPriceColumnscheck = true;
        QCOMPARE(parsed(doc)[QStringLiteral("products")]
                     .toArray()[0]
                     .toObject()[QStringLiteral("variants")]
                     .toArray()[0]
                     .toObject()[QStringLiteral("prices")]
                     .toArray(),
                 QJsonArray());
        doc.settings.DonotShowVariantsCheck = true;
        QCOMPARE(parsed(doc)[QStringLiteral("products")]
                     .toArray()[0]
                     .toObject()[QStringLiteral("variants")]
                     .toArray(),
                 QJsonArray());

        FlipPageData data;
        data.zoomWidth = 1240;
        data.products = FlipProductsJson(doc);
        const QString html = FlipCatalogueHtml(
            QStringLiteral("<b data-z=\"%%ZOOMWIDTH%%\">%%BACKTEXT%%</b><script>%%PRODUCTS%%</script>"), 12,
            FlipTexts{}, data);
        QVERIFY(html.startsWith(QStringLiteral("<b data-z=\"1240\">Zurück</b><script>{")));
        const QString script = html.mid(html.indexOf(QStringLiteral("<script>")) + 8).chopped(9);
        QVERIFY(html.endsWith(QStringLiteral("}</script>")));
        for (const QChar c : {u'<', u'>', u'&', u'%'})
            QVERIFY2(!script.contains(c), qPrintable(script));
        QCOMPARE(QJsonDocument::fromJson(script.toUtf8())
                     .object()[QStringLiteral("products")]
                     .toArray()[0]
                     .toObject()[QStringLiteral("name")]
                     .toString(),
                 QStringLiteral("Schraubendreher </script><b> 100%%BACKTEXT%% & Co"));
    }

    // Beside the base pictures: a thumbnail of every page and its sharp picture, drawn from
    // the same layout at the higher resolution; none of those when the sharp resolution is
    // off or not above the base one; and a cancel while they are drawn leaves nothing new.
    void writesSharpPagesAndThumbnails() {
        QTemporaryDir dir;
        const ProgramFolders program(programFolder(dir), dir.filePath(QStringLiteral("user")));
        CatalogDocument doc;
        fill(doc, 12);
        FixedClock clock(QDate(2026, 12, 10));
        EngineEnvironment env(clock);
        PainterCanvas measure(nullptr);
        FlipExportSettings settings;
        settings.zoomDpi = 120;
        PaintLayout(0, measure, doc, ViewState{}, env, FlipExportCall(settings));
        const int pages = EvenPageCount(doc.anzpages);
        QVERIFY(pages >= 4);
        NoProgress progress;
        const QString out = dir.filePath(QStringLiteral("scharf"));
        QVERIFY(ExportFlipCatalogue(doc, 0, env, settings, program, out, FlipTexts{}, progress));
        QCOMPARE(doc.anzpages, pages);

        QStringList expected;
        for (int p = 1; p <= pages; ++p)
            expected << QStringLiteral("thumb%1.jpg").arg(p) << QStringLiteral("zoom%1.jpg").arg(p);
        expected.sort();
        QStringList written = QDir(out + QStringLiteral("/catalogextras")).entryList(QDir::Files, QDir::Name);
        QCOMPARE(written, expected);
        for (int p = 1; p <= pages; ++p) {
            const QImage base(FlipPageFile(out, p, false));
            const QImage sharp(FlipZoomFile(out, p));
            QCOMPARE(base.size(), QSize(413, 584));
            QCOMPARE(sharp.size(), QSize(992, 1403));
            QCOMPARE(QImage(FlipThumbnailFile(out, p)).width(), 120);
            // The sharp picture shows the same page, shaded on the same side: brought down to
            // a tenth of the base size (where the finer text no longer tells them apart), it
            // differs from its own base picture far less than from its neighbour's.
            const QSize tenth(41, 58);
            const auto reduced = [&](const QImage& image) {
                return image.scaled(tenth, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            };
            const double own = meanGreyDifference(reduced(sharp), reduced(base));
            QVERIFY2(own < 5, qPrintable(QStringLiteral("page %1 differs by %2").arg(p).arg(own)));
            if (p > 1) {
                const double other =
                    meanGreyDifference(reduced(sharp), reduced(QImage(FlipPageFile(out, p - 1, false))));
                QVERIFY2(other > 2 * own,
                         qPrintable(QStringLiteral("page %1: %2 against %3").arg(p).arg(own).arg(other)));
            }
        }

        // Off, or not above the base resolution: no sharp pictures, the thumbnails still.
        for (const int zoomDpi : {0, 50}) {
            settings.zoomDpi = zoomDpi;
            const QString plain = dir.filePath(QStringLiteral("ohne%1").arg(zoomDpi));
            QVERIFY(ExportFlipCatalogue(doc, 0, env, settings, program, plain, FlipTexts{}, progress));
            written = QDir(plain + QStringLiteral("/catalogextras")).entryList(QDir::Files, QDir::Name);
            QCOMPARE(written.filter(QStringLiteral("zoom")), QStringList());
            QCOMPARE(written.size(), pages);
        }

        // A cancel late in the export, when the base pictures are drawn and the sharp ones
        // are being drawn, leaves the previous folder as it was, and a new one without even
        // the folder of the extras.
        settings.zoomDpi = 120;
        const QMap<QString, QByteArray> before = filesBelow(out);
        settings.quality = 50;
        for (const QString& folder : {out, dir.filePath(QStringLiteral("neu"))}) {
            CancelAfter cancel(pages + 1);
            QVERIFY(!ExportFlipCatalogue(doc, 0, env, settings, program, folder, FlipTexts{}, cancel));
        }
        QVERIFY(filesBelow(out) == before);
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("neu/catalogextras"))));
    }
};

PW_TEST_CLASS(TestFlipExport)
#include "tst_flipcatalog.moc"
