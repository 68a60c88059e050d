#include "testmain.h"

#include "enginefixture.h"
#include "model/catalogfile.h"

#include <QImage>
#include <QTemporaryDir>

using namespace pw;
using namespace pw::test;

namespace {

// Two categories: "Werkzeug" with three products of 60 description lines (about 110 mm
// each, so the third does not fit on the first page), then "Garten" with one product.
CatalogDocument threeLongProducts() {
    CatalogDocument doc;
    doc.settings = plainSettings();
    const int a = doc.addCategory(QStringLiteral("Werkzeug"));
    for (int i = 1; i <= 3; ++i)
        addProduct(doc, a, QStringLiteral("Produkt %1").arg(i), numberedLines(60));
    const int b = doc.addCategory(QStringLiteral("Garten"));
    addProduct(doc, b, QStringLiteral("Spaten"), numberedLines(5));
    return doc;
}

QList<int> productPages(const CatalogDocument& doc) {
    QList<int> pages;
    for (int k = 0; k < doc.categoryCount(); ++k) {
        for (const TProdukt& p : doc.products(k))
            pages.append(p.seite);
    }
    return pages;
}

QString writePicture(const QTemporaryDir& dir, const QString& name, QColor color, int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(color);
    const QString path = dir.filePath(name);
    image.save(path, "PNG");
    return path;
}

} // namespace

class TestEngineA : public QObject {
    Q_OBJECT

private slots:
    void pagesAndPageNumbers() {
        CatalogDocument doc = threeLongProducts();
        doc.settings.FirstPageNr = 5;
        EngineRunner r;
        r.run(doc, a4Call(1));
        QCOMPARE(doc.anzpages, 3);
        QVERIFY(r.more);
        QCOMPARE(doc.options(0)->seite, 5);
        QCOMPARE(productPages(doc), (QList<int>{5, 5, 6, 7}));
        QCOMPARE(doc.options(1)->seite, 7); // a category with products starts a new page
        QCOMPARE(doc.lastkat.get(1), QStringLiteral("Werkzeug"));
        QCOMPARE(doc.lastkat.get(2), QStringLiteral("Werkzeug"));

        // The last page says no more follow; a page beyond the end is blank.
        r.run(doc, a4Call(3));
        QVERIFY(!r.more);
        QVERIFY(r.texts(doc, 4).isEmpty());
        QVERIFY(!r.more);
        QCOMPARE(doc.anzpages, 3);
    }

    void onlyTheRequestedPageIsDrawn() {
        CatalogDocument doc = threeLongProducts();
        EngineRunner r;
        const QList<DrawnText> page2 = r.texts(doc, 2);
        QVERIFY(findText(page2, QStringLiteral("Produkt 3")));
        QVERIFY(!findText(page2, QStringLiteral("Produkt 1")));
        QVERIFY(!findText(page2, QStringLiteral("Spaten")));
    }

    void nothingButOutlineAndBorderForPageZero_data() {
        QTest::addColumn<int>("page");
        QTest::newRow("page 0") << 0;
        QTest::newRow("negative page") << -3;
    }
    void nothingButOutlineAndBorderForPageZero() {
        QFETCH(int, page);
        CatalogDocument doc = threeLongProducts();
        doc.settings.RahmenCheck = true;
        doc.settings.KopfEd = QStringLiteral("Kopf");
        EngineRunner r;
        EngineCall call = a4Call(page);
        call.printit = false;
        const QStringList calls = r.run(doc, call);
        const QString outline = QStringLiteral("Rectangle 0 0 %1 %2").arg(call.width).arg(call.height);
        for (const QString& c : calls)
            QVERIFY2(c == outline || c.startsWith(QLatin1String("LineTo")) ||
                         c.startsWith(QLatin1String("Arc")),
                     qPrintable(c));
        QCOMPARE(calls.count(outline), 2);                           // white fill and closing outline
        QCOMPARE(calls.filter(QStringLiteral("Arc")).size(), 4 * 3); // the border on all 3 pages
    }

    void headingOnlyCategoriesShareAPage() {
        CatalogDocument doc;
        doc.settings = plainSettings();
        doc.addCategory(QStringLiteral("Hauptgruppe"));
        doc.addCategory(QStringLiteral("Untergruppe"));
        const int k = doc.addCategory(QStringLiteral("Sägen"));
        addProduct(doc, k, QStringLiteral("Fuchsschwanz"), numberedLines(3));
        EngineRunner r;
        const QList<DrawnText> texts = r.texts(doc, 1);
        QCOMPARE(doc.anzpages, 1);
        const DrawnText* first = findText(texts, QStringLiteral("HAUPTGRUPPE"));
        const DrawnText* second = findText(texts, QStringLiteral("UNTERGRUPPE"));
        QVERIFY(first && second);
        // The second heading follows the first's band of two and a half lines plus one line.
        QCOMPARE(second->y - first->y,
                 MmToPxRound(10 + 2.5 * 20 * kMmPerInch / 300 + 20 * kMmPerInch / 300, 300) -
                     MmToPxRound(10, 300));
        QVERIFY(findText(texts, QStringLiteral("Fuchsschwanz")));
    }

    void categoryStartsANewPageUnlessItNeedNot_data() {
        QTest::addColumn<bool>("noNeed");
        QTest::addColumn<int>("page");
        QTest::newRow("ordinary") << false << 2;
        QTest::newRow("NoNeedForNewPage") << true << 1;
    }
    void categoryStartsANewPageUnlessItNeedNot() {
        QFETCH(bool, noNeed);
        QFETCH(int, page);
        CatalogDocument doc;
        doc.settings = plainSettings();
        addProduct(doc, doc.addCategory(QStringLiteral("A")), QStringLiteral("a"), numberedLines(3));
        const int b = doc.addCategory(QStringLiteral("B"));
        doc.createOptions(b).NoNeedForNewPage = noNeed;
        addProduct(doc, b, QStringLiteral("b"), numberedLines(3));
        EngineRunner r;
        r.run(doc, a4Call(1));
        QCOMPARE(doc.options(b)->seite, page);
        QCOMPARE(doc.products(b)[0].seite, page);
    }

    void allowPageBreakContinuesTheDescriptionOnTheNextPage_data() {
        QTest::addColumn<bool>("allow");
        QTest::newRow("product moves") << false;
        QTest::newRow("description breaks") << true;
    }
    void allowPageBreakContinuesTheDescriptionOnTheNextPage() {
        QFETCH(bool, allow);
        CatalogDocument doc;
        doc.settings = plainSettings();
        doc.settings.AllowPageBreak = allow;
        const int k = doc.addCategory(QStringLiteral("A"));
        addProduct(doc, k, QStringLiteral("kurz"), numberedLines(40));
        TProdukt& p = addProduct(doc, k, QStringLiteral("lang"), numberedLines(150, QStringLiteral("Text")));
        EngineRunner r;
        const QList<DrawnText> page1 = r.texts(doc, 1);
        const QList<DrawnText> page2 = r.texts(doc, 2);
        QCOMPARE(p.seite, allow ? 1 : 2);
        QCOMPARE(bool(findText(page1, QStringLiteral("Text 0"))), allow);
        QVERIFY(findText(page2, QStringLiteral("Text 149")));
        if (allow) {
            // The continuation starts one line below the top margin.
            const DrawnText* next = nullptr;
            for (const DrawnText& t : page2) {
                if (t.text.startsWith(QLatin1String("Text")) && !next)
                    next = &t;
            }
            QVERIFY(next);
            QCOMPARE(next->y, MmToPxRound(10 + 20 * kMmPerInch / 300, 300));
            QVERIFY(!findText(page1, next->text));
        }
    }

    void introductionTextWrapsAtBlanks() {
        CatalogDocument doc;
        doc.settings = plainSettings();
        doc.settings.RechtsEd = 190; // 10 mm: eleven characters of 0.85 mm
        const int k = doc.addCategory(QStringLiteral("K"));
        doc.createOptions(k).Einfuehrungstext =
            QStringLiteral("Gutes Werkzeug hält lange\r\n\r\nDonaudampfschifffahrt");
        EngineRunner r;
        QList<DrawnText> intro = r.texts(doc, 1);
        intro.removeFirst(); // the caption
        QStringList pieces;
        for (const DrawnText& t : intro)
            pieces.append(t.text);
        QCOMPARE(pieces, (QStringList{"Gutes ", "Werkzeug ", "hält lange", "", "Donaudampfs", "chifffahrt"}));
        for (qsizetype i = 1; i < intro.size(); ++i)
            QCOMPARE(intro[i].y - intro[i - 1].y, 20);
    }

    void twoColumnsLeaveThreeGaps() {
        CatalogDocument doc;
        doc.settings = plainSettings();
        doc.settings.OnlyOneColumnCheck = false;
        doc.settings.Columns = 2;
        doc.settings.PlatzZwischenSpaltenEd = 10;
        addProduct(doc, doc.addCategory(QStringLiteral("A")), QStringLiteral("p"), numberedLines(20));
        EngineRunner r;
        const QList<DrawnText> texts = r.texts(doc, 1);
        // Margins and gap are 118 pixels, the content 2480 - 236 = 2244 pixels: each column
        // is (2244 - 3 * 118) / 2 = 945 wide, so the second starts at 118 + 945 + 118.
        QMap<int, int> linesAtX;
        for (const DrawnText& t : texts) {
            if (t.text.startsWith(QLatin1String("Zeile")))
                linesAtX[t.x] += 1;
        }
        QCOMPARE(linesAtX, (QMap<int, int>{{118, 11}, {1181, 9}}));
    }

    void nameBreaksAtItsLineEnd() {
        CatalogDocument doc;
        doc.settings = plainSettings();
        addProduct(doc, doc.addCategory(QStringLiteral("A")), QStringLiteral("Erste Zeile\r\nZweite Zeile"));
        EngineRunner r;
        const QList<DrawnText> texts = r.texts(doc, 1);
        const DrawnText* first = findText(texts, QStringLiteral("Erste Zeile"));
        const DrawnText* second = findText(texts, QStringLiteral("Zweite Zeile"));
        QVERIFY(first && second);
        QCOMPARE(first->x, 118);
        QCOMPARE(second->x, 118);
        QCOMPARE(second->y - first->y, 20);
    }

    void coverPagesReadThePreviousRunsPageCount() {
        CatalogDocument doc = threeLongProducts();
        doc.settings.CoverCheck = true;
        doc.settings.KopfEd = QStringLiteral("Kopfzeile");
        EngineRunner r;
        // The first run knows no page count yet: only page 1 is a cover page.
        QVERIFY(findText(r.texts(doc, 3), QStringLiteral("Kopfzeile")));
        QVERIFY(!findText(r.texts(doc, 3), QStringLiteral("Kopfzeile")));
        QVERIFY(findText(r.texts(doc, 2), QStringLiteral("Kopfzeile")));
        QVERIFY(!findText(r.texts(doc, 1), QStringLiteral("Kopfzeile")));
    }

    void categoryCaptionOfEveryPageReachesTheHeader() {
        CatalogDocument doc = threeLongProducts();
        doc.settings.KopfEd = QStringLiteral("Seite aus %category%");
        doc.settings.KopfEdmm = 0;
        EngineRunner r;
        r.run(doc, a4Call(1));
        const QList<DrawnText> page2 = r.texts(doc, 2);
        const DrawnText* header = findText(page2, QStringLiteral("Seite aus Werkzeug"));
        QVERIFY(header);
        // Without header space the content starts at the top margin, under the header text.
        QCOMPARE(header->y, 118);
        QVERIFY(findText(r.texts(doc, 1), QStringLiteral("WERKZEUG")));
        QCOMPARE(findText(r.texts(doc, 1), QStringLiteral("WERKZEUG"))->y, 118 + 20 / 4);
    }

    void layoutFourSetsOneColumnWithoutTouchingTheSettings() {
        CatalogDocument doc;
        doc.settings = plainSettings();
        doc.settings.OnlyOneColumnCheck = false;
        doc.settings.Columns = 4;
        doc.settings.BildAlign = 2;
        addProduct(doc, doc.addCategory(QStringLiteral("A")), QStringLiteral("p"), numberedLines(20));
        EngineRunner r;
        const QList<DrawnText> texts = r.texts(doc, 1, 3);
        for (const DrawnText& t : texts) {
            if (t.text.startsWith(QLatin1String("Zeile")))
                QCOMPARE(t.x, 118);
        }
        QCOMPARE(doc.settings.BildAlign, 2);
        QCOMPARE(doc.settings.OnlyOneColumnCheck, false);
    }

    void centredPicturesStandOneAboveTheOther() {
        QTemporaryDir dir;
        CatalogDocument doc;
        doc.settings = plainSettings();
        doc.settings.BildAlign = 1;
        TProdukt& p = addProduct(doc, doc.addCategory(QStringLiteral("A")), QStringLiteral("p"));
        *p.bilder.Add() = TBild{writePicture(dir, QStringLiteral("red.png"), Qt::red, 40, 20), 4};
        *p.bilder.Add() = TBild{writePicture(dir, QStringLiteral("blue.png"), Qt::blue, 40, 20), 2};
        const EngineCall call = a4Call(1, 100, 100);
        QImage page(call.width, call.height, QImage::Format_RGB32);
        page.fill(Qt::white);
        {
            PainterCanvas canvas(&page);
            EngineRunner r;
            PaintLayout(0, canvas, doc, r.view, r.env, call);
        }
        // 4 cm and 2 cm wide at 100 dpi: 157 and 78 pixels, each centred on the page.
        auto columnsOf = [&](QRgb color) {
            int top = -1;
            int left = page.width();
            int right = -1;
            for (int y = 0; y < page.height(); ++y) {
                for (int x = 0; x < page.width(); ++x) {
                    if (page.pixel(x, y) == color) {
                        top = top < 0 ? y : top;
                        left = std::min(left, x);
                        right = std::max(right, x);
                    }
                }
            }
            return QList<int>{top, left, right};
        };
        const QList<int> red = columnsOf(qRgb(255, 0, 0));
        const QList<int> blue = columnsOf(qRgb(0, 0, 255));
        QCOMPARE(red.mid(1), (QList<int>{(call.width - 157) / 2, (call.width - 157) / 2 + 156}));
        QCOMPARE(blue.mid(1), (QList<int>{(call.width - 78) / 2, (call.width - 78) / 2 + 77}));
        QVERIFY(blue[0] > red[0] + 78); // below the red one, which is 78 pixels high
    }

    void pictureThatDoesNotLoadTakesNoSpace() {
        CatalogDocument doc;
        doc.settings = plainSettings();
        TProdukt& p = addProduct(doc, doc.addCategory(QStringLiteral("A")), QStringLiteral("p"),
                                 QStringLiteral("Text"));
        EngineRunner r;
        const int before = findText(r.texts(doc, 1), QStringLiteral("Text"))->y;
        *p.bilder.Add() = TBild{QStringLiteral("/nicht/vorhanden.jpg"), 5};
        const int after = findText(r.texts(doc, 1), QStringLiteral("Text"))->y;
        QCOMPARE(after, before);
        QCOMPARE(p.bilder[0].pixbreite, 0);
    }

    void catalogueWithoutRoomStillEnds() {
        CatalogDocument doc = threeLongProducts();
        doc.settings.ObenEd = 150;
        doc.settings.UntenEd = 150; // the content area is negative
        TProdukt& p = doc.products(0)[0];
        setTable(p, {{QStringLiteral("Größe"), QStringLiteral("Preis")}});
        for (int i = 0; i < 30; ++i)
            setTable(p, {{QStringLiteral("%1 cm").arg(i), QStringLiteral("1,00")}});
        doc.settings.AllowPageBreak = true;
        doc.createOptions(0).Einfuehrungstext = numberedLines(10, QStringLiteral("Einführung"));
        EngineRunner r;
        r.run(doc, a4Call(1));
        // Every line and row takes a page of its own at worst.
        QVERIFY(doc.anzpages > 3);
        QVERIFY(doc.anzpages < 500);
        QVERIFY(findText(r.texts(doc, doc.anzpages), QStringLiteral("Zeile 4"))); // the last product's end
    }

    void pageBreaksDoNotDependOnTheZoom() {
        CatalogDocument doc;
        OpenCatalog(doc, QStringLiteral(PW_SOURCE_DIR "/resources/samples/test.pk2"), {});
        QVERIFY(doc.categoryCount() > 0);
        EngineRunner r;
        QList<QList<int>> results;
        for (double zoom : {50.0, 100.0, 200.0}) {
            PainterCanvas measure(nullptr);
            PaintLayout(0, measure, doc, r.view, r.env, a4Call(0, zoom, 96));
            QList<int> pages = productPages(doc);
            pages.prepend(doc.anzpages);
            results.append(pages);
        }
        QVERIFY(results[1][0] >= 5);
        QCOMPARE(results[0], results[1]);
        QCOMPARE(results[2], results[1]);
    }
};

PW_TEST_CLASS(TestEngineA)
#include "tst_engine.moc"
