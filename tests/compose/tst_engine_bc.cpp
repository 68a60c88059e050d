#include "testmain.h"

#include "enginefixture.h"

#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace pw;
using namespace pw::test;

namespace {

// Layout indexes of the layout list.
constexpr int kLayout2 = 1;
constexpr int kLayout3 = 2;
constexpr int kLayout7 = 6;
constexpr int kLayout8 = 7;

// At 300 dpi: margins 118, RandBildEd and RandTextEd 23, the picture column 472 pixels.
// With the pictures on the left the text column starts 472 + 23 + 23 further right.
constexpr int kTextLeftOfRightPictures = 118;
constexpr int kTextRightOfLeftPictures = 118 + 472 + 23 + 23;

CatalogDocument blockDocument() {
    CatalogDocument doc;
    doc.settings = plainSettings();
    doc.settings.RandTextEd = 2;
    return doc;
}

struct Line {
    int x1, y1, x2, y2;
};

QList<Line> linesDrawn(const QStringList& calls) {
    static const QRegularExpression re(QStringLiteral("^LineTo (-?\\d+) (-?\\d+) (-?\\d+) (-?\\d+)$"));
    QList<Line> out;
    for (const QString& c : calls) {
        const QRegularExpressionMatch m = re.match(c);
        if (m.hasMatch())
            out.append(
                {m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(), m.captured(4).toInt()});
    }
    return out;
}

QString writePicture(const QTemporaryDir& dir, const QString& name, int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QString path = dir.filePath(name);
    image.save(path, "PNG");
    return path;
}

// The first and last column holding a red pixel.
QPair<int, int> redColumns(const QImage& page) {
    int left = page.width();
    int right = -1;
    for (int y = 0; y < page.height(); y += 2) {
        const QRgb* row = reinterpret_cast<const QRgb*>(page.constScanLine(y));
        for (int x = 0; x < page.width(); ++x) {
            if (row[x] == qRgb(255, 0, 0)) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    return {left, right};
}

} // namespace

class TestEngineB : public QObject {
    Q_OBJECT

private slots:
    void alternatingLayoutsFollowTheirOwnPageCounter_data() {
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("page1");
        QTest::addColumn<int>("page2");
        QTest::newRow("layout 7: right, then left")
            << kLayout7 << kTextLeftOfRightPictures << kTextRightOfLeftPictures;
        QTest::newRow("layout 8: left, then right")
            << kLayout8 << kTextRightOfLeftPictures << kTextLeftOfRightPictures;
    }
    void alternatingLayoutsFollowTheirOwnPageCounter() {
        QFETCH(int, layout);
        QFETCH(int, page1);
        QFETCH(int, page2);
        CatalogDocument doc = blockDocument();
        doc.settings.FirstPageNr = 2; // printed numbers do not decide the side
        const int k = doc.addCategory(QStringLiteral("K"));
        addProduct(doc, k, QStringLiteral("Kurz"), numberedLines(5));
        // Too long for the rest of page 1: its measuring pass moves it to page 2.
        TProdukt& moved = addProduct(doc, k, QStringLiteral("Lang"), numberedLines(150));
        EngineRunner r;
        QCOMPARE(findText(r.texts(doc, 1, layout), QStringLiteral("Kurz"))->x, page1);
        QCOMPARE(findText(r.texts(doc, 2, layout), QStringLiteral("Lang"))->x, page2);
        QCOMPARE(moved.seite, 3);
    }

    void picturesKeepToTheirColumn_data() {
        QTest::addColumn<double>("breite");
        QTest::addColumn<int>("align");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("width");
        // 100 dpi: the column starts at Round(10 mm) = 39 and is Trunc(40 mm) = 157 wide.
        QTest::newRow("60 mm drawn 40 mm wide") << 6.0 << 2 << 39 << 157;
        QTest::newRow("30 mm centred") << 3.0 << 1 << 59 << 118;
        QTest::newRow("30 mm on the left") << 3.0 << 0 << 39 << 118;
    }
    void picturesKeepToTheirColumn() {
        QFETCH(double, breite);
        QFETCH(int, align);
        QFETCH(int, left);
        QFETCH(int, width);
        QTemporaryDir dir;
        CatalogDocument doc = blockDocument();
        doc.settings.BildAlign = align;
        doc.settings.NoRahmenCheck = true;
        TProdukt& p = addProduct(doc, doc.addCategory(QStringLiteral("K")), QStringLiteral("p"));
        *p.bilder.Add() = TBild{writePicture(dir, QStringLiteral("a.png"), 60, 40), breite};
        const EngineCall call = a4Call(1, 100, 100);
        QImage page(call.width, call.height, QImage::Format_RGB32);
        page.fill(Qt::white);
        {
            PainterCanvas canvas(&page);
            EngineRunner r;
            PaintLayout(kLayout2, canvas, doc, r.view, r.env, call);
        }
        const QPair<int, int> red = redColumns(page);
        QCOMPARE(red.first, left);
        QCOMPARE(red.second - red.first + 1, width);
    }

    void blocksCarryTheirRules() {
        // The top and bottom rules add half a line width each.
        auto nameDistance = [](double lineWidth) {
            CatalogDocument doc = blockDocument();
            doc.settings.LineWidthEd = lineWidth;
            const int k = doc.addCategory(QStringLiteral("K"));
            addProduct(doc, k, QStringLiteral("Erstes"), numberedLines(3));
            addProduct(doc, k, QStringLiteral("Zweites"), numberedLines(3));
            EngineRunner r;
            const QList<DrawnText> texts = r.texts(doc, 1, kLayout2);
            return findText(texts, QStringLiteral("Zweites"))->y -
                   findText(texts, QStringLiteral("Erstes"))->y;
        };
        // 35.4 pixels, give or take the rounding of the four positions involved.
        QVERIFY(std::abs(nameDistance(3) - nameDistance(0) - MmToPx(3, 300)) <= 2);
    }

    void pagesDoNotDependOnThePageDrawn_data() {
        QTest::addColumn<int>("layout");
        QTest::newRow("layout 2") << kLayout2;
        QTest::newRow("layout 3") << kLayout3;
    }
    void pagesDoNotDependOnThePageDrawn() {
        // The rules of a product take their room on every page, not only on the drawn one:
        // otherwise a product could move to the next page only when its page is drawn and
        // be missing from both pages of an export.
        QFETCH(int, layout);
        for (int lines = 4; lines <= 14; ++lines) {
            CatalogDocument doc = blockDocument();
            doc.settings.LineWidthEd = 3;
            const int k = doc.addCategory(QStringLiteral("K"));
            for (int i = 0; i < 40; ++i)
                addProduct(doc, k, QStringLiteral("P%1").arg(i), numberedLines(lines));
            EngineRunner r;
            QList<int> reference;
            for (int page = 0; page <= 3; ++page) {
                r.run(doc, a4Call(page), layout);
                QList<int> pages;
                for (const TProdukt& p : doc.products(k))
                    pages.append(p.seite);
                if (page == 0)
                    reference = pages;
                else
                    QCOMPARE(pages, reference);
            }
        }
    }

    void framesAndRules_data() {
        QTest::addColumn<bool>("noFrame");
        QTest::newRow("framed blocks") << false;
        QTest::newRow("NoRahmenCheck: one rule per product") << true;
    }
    void framesAndRules() {
        QFETCH(bool, noFrame);
        CatalogDocument doc = blockDocument();
        doc.settings.NoRahmenCheck = noFrame;
        const int k = doc.addCategory(QStringLiteral("K"));
        addProduct(doc, k, QStringLiteral("a"), numberedLines(3));
        addProduct(doc, k, QStringLiteral("b"), numberedLines(3));
        EngineRunner r;
        int vertical = 0;
        int horizontal = 0;
        for (const Line& l : linesDrawn(r.run(doc, a4Call(1), kLayout2))) {
            vertical += l.x1 == l.x2 ? 1 : 0;
            horizontal += l.y1 == l.y2 ? 1 : 0;
        }
        QCOMPARE(vertical, noFrame ? 0 : 2 * 3);   // left, right and separator per block
        QCOMPARE(horizontal, noFrame ? 2 : 2 * 2); // top rules, and bottom lines of frames
    }

    void frameStaysOpenAcrossAPageBreak() {
        CatalogDocument doc = blockDocument();
        doc.settings.AllowPageBreak = true;
        addProduct(doc, doc.addCategory(QStringLiteral("K")), QStringLiteral("Lang"), numberedLines(250));
        EngineRunner r;
        const QList<Line> page1 = linesDrawn(r.run(doc, a4Call(1), kLayout2));
        const QList<Line> page2 = linesDrawn(r.run(doc, a4Call(2), kLayout2));
        const int bottom = MmToPxRound(287, 300);
        int sidesOnPage1 = 0;
        for (const Line& l : page1) {
            if (l.x1 == l.x2) {
                QCOMPARE(l.y2, bottom); // down to the usable bottom
                ++sidesOnPage1;
            } else {
                QVERIFY(l.y1 < 300); // only the top rule; no bottom line
            }
        }
        QCOMPARE(sidesOnPage1, 3);
        int sidesOnPage2 = 0;
        bool bottomLine = false;
        for (const Line& l : page2) {
            if (l.x1 == l.x2) {
                QCOMPARE(l.y1, 118); // from the top of the usable area
                ++sidesOnPage2;
            } else {
                bottomLine = true;
            }
        }
        QCOMPARE(sidesOnPage2, 3);
        QVERIFY(bottomLine);
    }

    void secondPictureBelowTheText() {
        QTemporaryDir dir;
        CatalogDocument doc = blockDocument();
        TProdukt& p =
            addProduct(doc, doc.addCategory(QStringLiteral("K")), QStringLiteral("p"), numberedLines(2));
        *p.bilder.Add() = TBild{writePicture(dir, QStringLiteral("a.png"), 40, 40), 6};
        *p.bilder.Add() = TBild{writePicture(dir, QStringLiteral("b.png"), 40, 40), 8};
        const EngineCall call = a4Call(1, 100, 100);
        QImage page(call.width, call.height, QImage::Format_RGB32);
        page.fill(Qt::white);
        {
            PainterCanvas canvas(&page);
            EngineRunner r;
            PaintLayout(4, canvas, doc, r.view, r.env, call); // layout 5
        }
        // The second picture, 8 cm wide without the column's limit, is centred in the text
        // column: Trunc(80 mm) = 314 pixels (the first stays in its 157-pixel column).
        const int textWidth = call.width - 39 - 39 - 157 - 7 - 7;
        QImage textColumn = page.copy(250, 0, page.width() - 250, page.height());
        const QPair<int, int> red = redColumns(textColumn);
        QCOMPARE(red.first + 250, 157 + 2 * 7 + 39 + (textWidth - 314) / 2);
        QCOMPARE(red.second - red.first + 1, 314);
    }

    void catalogueWithoutRoomStillEnds_data() {
        QTest::addColumn<int>("layout");
        QTest::newRow("layout 2") << kLayout2;
        QTest::newRow("layout 3") << kLayout3;
        QTest::newRow("layout 5") << 4;
    }
    void catalogueWithoutRoomStillEnds() {
        QFETCH(int, layout);
        CatalogDocument doc = blockDocument();
        doc.settings.ObenEd = 150;
        doc.settings.UntenEd = 150;
        doc.settings.AllowPageBreak = true;
        const int k = doc.addCategory(QStringLiteral("K"));
        doc.createOptions(k).Einfuehrungstext = numberedLines(5);
        TProdukt& p = addProduct(doc, k, QStringLiteral("p"), numberedLines(40));
        setTable(p, {{"a", "b"}, {"1", "2"}, {"3", "4"}});
        addProduct(doc, k, QStringLiteral("q"), numberedLines(40));
        EngineRunner r;
        r.run(doc, a4Call(1), layout);
        QVERIFY(doc.anzpages > 40);
        QVERIFY(doc.anzpages < 200);
    }
};

class TestEngineC : public QObject {
    Q_OBJECT

    static CatalogDocument rowDocument(int columns) {
        CatalogDocument doc;
        doc.settings = plainSettings();
        doc.settings.LinksEd = doc.settings.RechtsEd = 12;
        doc.settings.Columns = columns;
        return doc;
    }

private slots:
    void threeColumnsOf58Millimetres() {
        CatalogDocument doc = rowDocument(3);
        const int k = doc.addCategory(QStringLiteral("K"));
        for (const char* name : {"Erster", "Zweiter", "Dritter", "Vierter"})
            addProduct(doc, k, QString::fromLatin1(name), numberedLines(2));
        EngineRunner r;
        const QList<DrawnText> texts = r.texts(doc, 1, kLayout3);
        // 12 mm margins are 141 pixels; each column 58 mm (685) plus two gaps of 2 mm (23).
        QCOMPARE(findText(texts, QStringLiteral("Erster"))->x, 141);
        QCOMPARE(findText(texts, QStringLiteral("Zweiter"))->x, 141 + 685 + 46);
        QCOMPARE(findText(texts, QStringLiteral("Dritter"))->x, 141 + 2 * (685 + 46));
        QCOMPARE(findText(texts, QStringLiteral("Vierter"))->x, 141);
        QCOMPARE(findText(texts, QStringLiteral("Zweiter"))->y, findText(texts, QStringLiteral("Erster"))->y);
    }

    void namesArePaddedToTheLongestAfterOneRepeatedRun() {
        CatalogDocument doc = rowDocument(3);
        const int k = doc.addCategory(QStringLiteral("K"));
        addProduct(doc, k, QStringLiteral("Kurz"), QStringLiteral("TextA"));
        addProduct(doc, k, QStringLiteral("Ein\r\nlanger\r\nName"), QStringLiteral("TextB"));
        EngineRunner r;
        EngineCall call = a4Call(1);
        call.printit = false;
        const QStringList first = r.run(doc, call, kLayout3);
        QCOMPARE(doc.maxlinesforcaptionlasttime, 3);
        const QString whiteFill = QStringLiteral("Rectangle 0 0 %1 %2").arg(call.width).arg(call.height);
        QCOMPARE(first.count(whiteFill), 2 * 2); // two runs, each with its fill and outline
        const QStringList second = r.run(doc, call, kLayout3);
        QCOMPARE(second.count(whiteFill), 2);
        const QList<DrawnText> texts = drawnTexts(second);
        QCOMPARE(findText(texts, QStringLiteral("TextA"))->y, findText(texts, QStringLiteral("TextB"))->y);
    }

    void nextRowStartsBelowTheTallestProduct() {
        CatalogDocument doc = rowDocument(4);
        const int k = doc.addCategory(QStringLiteral("K"));
        const int heights[] = {2, 9, 4, 1};
        for (int i = 0; i < 4; ++i)
            addProduct(doc, k, QStringLiteral("P%1").arg(i),
                       numberedLines(heights[i], QStringLiteral("L%1").arg(i)));
        addProduct(doc, k, QStringLiteral("Neue Reihe"), numberedLines(1, QStringLiteral("N")));
        EngineRunner r;
        const QList<DrawnText> texts = r.texts(doc, 1, kLayout3);
        const DrawnText* next = findText(texts, QStringLiteral("Neue Reihe"));
        QCOMPARE(next->x, 141);
        // Below the last line of the tallest product, and the tallest alone decides.
        QVERIFY(next->y > findText(texts, QStringLiteral("L1 8"))->y + 20);
        QVERIFY(next->y < findText(texts, QStringLiteral("L1 8"))->y + 20 * 6);
    }

    void productThatDoesNotFitMovesToANewPage() {
        CatalogDocument doc = rowDocument(3);
        const int k = doc.addCategory(QStringLiteral("K"));
        for (const char* name : {"A", "B", "C"})
            addProduct(doc, k, QString::fromLatin1(name), numberedLines(60));
        addProduct(doc, k, QStringLiteral("D"), numberedLines(20));
        addProduct(doc, k, QStringLiteral("E"), numberedLines(20));
        addProduct(doc, k, QStringLiteral("F"), numberedLines(150));
        // Taken after the last Add: adding products may move the list.
        const TProdukt& d = doc.products(k)[3];
        const TProdukt& e = doc.products(k)[4];
        const TProdukt& f = doc.products(k)[5];
        EngineRunner r;
        const QList<DrawnText> page1 = r.texts(doc, 1, kLayout3);
        const QList<DrawnText> page2 = r.texts(doc, 2, kLayout3);
        QCOMPARE(d.seite, 1);
        QCOMPARE(e.seite, 1);
        QCOMPARE(f.seite, 2); // from the third column to the first of a new page
        QVERIFY(findText(page1, QStringLiteral("E")));
        QVERIFY(!findText(page1, QStringLiteral("F")));
        QCOMPARE(findText(page2, QStringLiteral("F"))->x, 141);
    }

    void tableIsSetInPartsThatFitTheColumn() {
        CatalogDocument doc = rowDocument(3);
        TProdukt& p = addProduct(doc, doc.addCategory(QStringLiteral("K")), QStringLiteral("p"));
        // Each caption is 25 characters (250 pixels); three fit the 685 pixels only as two.
        const QString wide = QString(25, QLatin1Char('x'));
        const QString tooWide = QString(90, QLatin1Char('y'));
        setTable(p, {{"Eins" + wide, "Zwei" + wide, "Drei" + wide, tooWide}, {"1", "2", "3", "4"}});
        p.anzpreis = 0;
        doc.settings.DoLineBreakinTableCellsCheck = false;
        doc.settings.DefMaxCellWidthCheck = false;
        EngineRunner r;
        const QList<DrawnText> texts = r.texts(doc, 1, kLayout3);
        const DrawnText* one = findText(texts, "Eins" + wide);
        const DrawnText* two = findText(texts, "Zwei" + wide);
        const DrawnText* three = findText(texts, "Drei" + wide);
        const DrawnText* four = findText(texts, tooWide);
        QVERIFY(one && two && three && four);
        QCOMPARE(two->y, one->y);
        QVERIFY(three->y > one->y); // a second part, headed by its header row
        QCOMPARE(three->x, one->x);
        QVERIFY(four->y > three->y); // a column wider than the product column on its own
        QCOMPARE(four->x, one->x);
        QCOMPARE(p.varianten[0].props[3].zellbreite, 685); // limited to the column
    }

    void hiddenPriceColumnEndsTheTable() {
        CatalogDocument doc = rowDocument(3);
        doc.settings.DonotShowPriceColumnscheck = true;
        TProdukt& p = addProduct(doc, doc.addCategory(QStringLiteral("K")), QStringLiteral("p"));
        setTable(p, {{"Art", "Farbe", "Preis"}, {"A-1", "rot", "9,99"}});
        p.anzpreis = 1;
        EngineRunner r;
        const QList<DrawnText> texts = r.texts(doc, 1, kLayout3);
        QVERIFY(findText(texts, QStringLiteral("Farbe")));
        QVERIFY(!findText(texts, QStringLiteral("Preis")));
        QVERIFY(!findText(texts, QStringLiteral("9,99")));
    }

    void openProductLeavesThreeLinesOnItsPage() {
        CatalogDocument doc = rowDocument(3);
        doc.settings.AllowPageBreak = true;
        const int k = doc.addCategory(QStringLiteral("K"));
        addProduct(doc, k, QStringLiteral("a"), numberedLines(3));
        addProduct(doc, k, QStringLiteral("Lang"), numberedLines(250));
        EngineRunner r;
        r.run(doc, a4Call(0), kLayout3); // settles the name padding: one run per call
        const QList<Line> page1 = linesDrawn(r.run(doc, a4Call(1), kLayout3));
        const QList<Line> page2 = linesDrawn(r.run(doc, a4Call(2), kLayout3));
        // The second column starts at 141 + 685 + 46; the lines stand 2 mm (23 pixels)
        // outside it and at the page's right, down to the bottom of the usable area.
        const int j = 141 + 685 + 46;
        QList<int> xs;
        for (const Line& l : page1) {
            QCOMPARE(l.x1, l.x2);
            QCOMPARE(l.y2, a4Call(1).height - 118); // the page height less the bottom margin
            xs.append(l.x1);
        }
        QCOMPARE(xs, (QList<int>{j - 23, 2480 - 141 + 23, j + 23 + 685}));
        QVERIFY(page2.isEmpty()); // where the product ends, nothing is drawn
    }
};

PW_TEST_CLASS(TestEngineB)
PW_TEST_CLASS(TestEngineC)
#include "tst_engine_bc.moc"
