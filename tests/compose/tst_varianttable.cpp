#include "testmain.h"

#include "enginefixture.h"

#include <QImage>

using namespace pw;
using namespace pw::test;

namespace {

// One category with one product that has only a table.
CatalogDocument tableDocument(const QList<QStringList>& rows, int anzpreis = 1) {
    CatalogDocument doc;
    doc.settings = plainSettings();
    TProdukt& p = addProduct(doc, doc.addCategory(QStringLiteral("Kategorie")), QStringLiteral("Produkt"));
    p.anzpreis = anzpreis;
    setTable(p, rows);
    return doc;
}

TProdukt& product(CatalogDocument& doc) {
    return doc.products(0)[0];
}

QStringList textsOnly(const QList<DrawnText>& texts) {
    QStringList out;
    for (const DrawnText& t : texts)
        out.append(t.text);
    return out;
}

} // namespace

class TestVariantTable : public QObject {
    Q_OBJECT

private slots:
    void hiddenPriceColumnsCountFromTheLastUsedColumn() {
        // The last column is empty everywhere: the two price columns before it are hidden.
        CatalogDocument doc =
            tableDocument({{"Größe", "Art", "Preis", "Rabatt", ""}, {"S", "A-1", "9,99", "8,99", ""}}, 2);
        doc.settings.DonotShowPriceColumnscheck = true;
        EngineRunner r;
        const QStringList texts = textsOnly(r.texts(doc, 1));
        for (const char* shown : {"Größe", "Art", "S", "A-1"})
            QVERIFY2(texts.contains(QString::fromUtf8(shown)), shown);
        for (const char* hidden : {"Preis", "Rabatt", "9,99", "8,99"})
            QVERIFY2(!texts.contains(QString::fromUtf8(hidden)), hidden);
    }

    void alignmentOfPriceAndOtherCells_data() {
        QTest::addColumn<bool>("priceLeft");
        QTest::addColumn<bool>("priceCentred");
        QTest::addColumn<bool>("otherRight");
        QTest::addColumn<int>("captionShift"); // "Preis" (50 pixels) in a column of 60
        QTest::addColumn<int>("articleShift"); // "A" (10 pixels) in a column of 30
        QTest::newRow("defaults: prices right, others left") << false << false << false << 10 << 0;
        QTest::newRow("prices centred wins over left") << true << true << false << 5 << 0;
        QTest::newRow("prices left, others right") << true << false << true << 0 << 20;
    }
    void alignmentOfPriceAndOtherCells() {
        QFETCH(bool, priceLeft);
        QFETCH(bool, priceCentred);
        QFETCH(bool, otherRight);
        QFETCH(int, captionShift);
        QFETCH(int, articleShift);
        CatalogDocument doc = tableDocument({{"Art", "Preis"}, {"A", "9,99 €"}});
        doc.settings.PreisLinksCheck = priceLeft;
        doc.settings.PreisCentCheck = priceCentred;
        doc.settings.AndereRechtsCheck = otherRight;
        EngineRunner r;
        const QList<DrawnText> texts = r.texts(doc, 1);
        // Cells start 1 mm (11 pixels) inside their column; columns are 3 mm apart.
        const int column0 = 118 + 11;
        const int column1 = column0 + 30 + 3 * 11;
        QCOMPARE(findText(texts, QStringLiteral("Art"))->x, column0);
        QCOMPARE(findText(texts, QStringLiteral("A"))->x, column0 + articleShift);
        QCOMPARE(findText(texts, QStringLiteral("Preis"))->x, column1 + captionShift);
        QCOMPARE(findText(texts, QStringLiteral("9,99 €"))->x, column1);
    }

    void cellColourFromItsSuffix_data() {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("printed");
        QTest::addColumn<QRgb>("background");
        QTest::newRow("red") << "Rot##FF0000"
                             << "Rot" << qRgb(255, 0, 0);
        QTest::newRow("not hexadecimal: black") << "Nacht##GGHHII"
                                                << "Nacht" << qRgb(0, 0, 0);
        QTest::newRow("no suffix: the cell colour") << "Weiß"
                                                    << "Weiß" << qRgb(255, 255, 255);
    }
    void cellColourFromItsSuffix() {
        QFETCH(QString, cell);
        QFETCH(QString, printed);
        QFETCH(QRgb, background);
        CatalogDocument doc = tableDocument({{"Farbe", "Preis"}, {cell, "1,00"}});
        const EngineCall call = a4Call(1);
        QImage page(call.width, call.height, QImage::Format_RGB32);
        page.fill(Qt::gray);
        PainterCanvas painter(&page);
        RecordingCanvas canvas(&painter);
        EngineRunner r;
        PaintLayout(0, canvas, doc, r.view, r.env, call);
        const QList<DrawnText> texts = drawnTexts(canvas.calls());
        const DrawnText* t = findText(texts, printed);
        QVERIFY(t);
        QVERIFY(!textsOnly(texts).join(QLatin1Char('|')).contains(QLatin1String("##")));
        // The cell's left padding, where no glyph is drawn.
        QCOMPARE(page.pixel(t->x - 5, t->y + 5), background);
    }

    void fixedWidthsCoverTheFirstTenColumns_data() {
        QTest::addColumn<bool>("own");
        QTest::newRow("document widths") << false;
        QTest::newRow("the product's own widths") << true;
    }
    void fixedWidthsCoverTheFirstTenColumns() {
        QFETCH(bool, own);
        QStringList captions;
        for (int c = 0; c < 10; ++c)
            captions.append(QStringLiteral("S%1").arg(c));
        captions.append(QStringLiteral("Elfte Spalte"));
        CatalogDocument doc = tableDocument({captions});
        LayoutSettings& s = doc.settings;
        s.DefineFixedWidthCheck = !own;
        for (double* w : {&s.RxSpinEdit1, &s.RxSpinEdit2, &s.RxSpinEdit3, &s.RxSpinEdit4, &s.RxSpinEdit5,
                          &s.RxSpinEdit7, &s.RxSpinEdit8, &s.RxSpinEdit9, &s.RxSpinEdit10, &s.RxSpinEdit11})
            *w = 20;
        TProdukt& p = product(doc);
        p.table.OverWrite = own;
        p.table.DefineFixedWidth = own;
        p.table.ColWidth.fill(20);
        EngineRunner r;
        r.run(doc, a4Call(1));
        for (int c = 0; c < 10; ++c)
            QCOMPARE(p.varianten[0].props[c].zellbreite, 236); // 20 mm at 300 dpi
        QCOMPARE(p.varianten[0].props[10].zellbreite, 120);    // its caption's own width
    }

    void fixedTableWidthWidensEveryColumn() {
        CatalogDocument doc = tableDocument({{"ab", "abcd"}});
        doc.settings.FixWidthForTableCheck = true;
        doc.settings.FixedWidthForTableEd = 20; // 236.22 pixels for 20 + 40 measured
        EngineRunner r;
        r.run(doc, a4Call(1));
        QCOMPARE(product(doc).varianten[0].props[0].zellbreite, 108);
        QCOMPARE(product(doc).varianten[0].props[1].zellbreite, 128);
        doc.settings.FixedWidthForTableEd = 2; // narrower than the text: unchanged
        r.run(doc, a4Call(1));
        QCOMPARE(product(doc).varianten[0].props[0].zellbreite, 20);
    }

    void cellsWrapAtBlanksAndInsideLongWords() {
        CatalogDocument doc = tableDocument({{"ab cd efgh", "abcdefghij"}, {"x", "y"}}, 0);
        doc.settings.DefMaxCellWidthCheck = true;
        doc.settings.MaxCellWidthEd = 5.1; // 60 pixels
        doc.settings.DoLineBreakinTableCellsCheck = true;
        EngineRunner r;
        const QList<DrawnText> texts = r.texts(doc, 1);
        const QStringList all = textsOnly(texts);
        for (const char* piece : {"ab cd", "efgh", "abcdef", "ghij"})
            QVERIFY2(all.contains(QLatin1String(piece)), piece);
        const int top = findText(texts, QStringLiteral("ab cd"))->y;
        QCOMPARE(findText(texts, QStringLiteral("efgh"))->y, top + 20);
        QCOMPARE(findText(texts, QStringLiteral("x"))->y, top + 40); // the row is two lines high
    }

    void rowHeightComesFromTheFontSelectedLast() {
        // The last cell of the last row is a price: the price font's height is every row's.
        CatalogDocument doc = tableDocument({{"Art", "Preis"}, {"A", "1"}, {"B", "2"}});
        doc.settings.FontDialog5.Size = 30;
        doc.settings.FontDialog7.Size = 8;
        const EngineCall call = a4Call(1, 100, 100);
        QImage page(call.width, call.height, QImage::Format_RGB32);
        PainterCanvas painter(&page);
        RecordingCanvas canvas(&painter);
        EngineRunner r;
        PaintLayout(0, canvas, doc, r.view, r.env, call);
        const QList<DrawnText> texts = drawnTexts(canvas.calls());
        canvas.SetFont(doc.settings.FontDialog5);
        canvas.font.PixelsPerInch = 100;
        const int priceHeight = canvas.TextHeight(QStringLiteral(" "));
        const int step = findText(texts, QStringLiteral("B"))->y - findText(texts, QStringLiteral("A"))->y;
        QVERIFY(std::abs(step - priceHeight) <= 1); // millimetre rounding
    }

    void rowsBelowTheBottomMoveToTheNextPage() {
        QList<QStringList> rows{{QStringLiteral("Kopf")}};
        for (int i = 0; i < 40; ++i)
            rows.append({QStringLiteral("R%1").arg(i)});
        CatalogDocument doc = tableDocument(rows, 0);
        doc.settings.DefineFixedHeightCheck = true;
        doc.settings.RxSpinEdit6 = 10; // 118 pixels a row
        EngineRunner r;
        QList<DrawnText> page1;
        for (const DrawnText& t : r.texts(doc, 1)) {
            if (t.text.startsWith(QLatin1Char('R')))
                page1.append(t);
        }
        QList<DrawnText> page2;
        for (const DrawnText& t : r.texts(doc, 2)) {
            if (t.text.startsWith(QLatin1Char('R')))
                page2.append(t);
        }
        QCOMPARE(page1.size() + page2.size(), 40);
        QCOMPARE(page2.first().text, QStringLiteral("R%1").arg(page1.size()));
        const int bottom = MmToPxRound(287, 300);
        // The last row on page 1 starts above the bottom and runs past it, drawn whole.
        QVERIFY(page1.last().y <= bottom);
        QVERIFY(page1.last().y + 118 > bottom);
        // The next page starts one line below its top margin.
        QCOMPARE(page2.first().y, MmToPxRound(10 + 20 * kMmPerInch / 300, 300));
    }

    void tableWithoutWidthsAddsOnlyItsLines() {
        CatalogDocument doc = tableDocument({{"a", "b"}, {"c", "d"}}, 0);
        doc.settings.DefineFixedWidthCheck = true;
        doc.settings.RxSpinEdit1 = doc.settings.RxSpinEdit2 = 0;
        EngineRunner r;
        const QStringList texts = textsOnly(r.texts(doc, 1));
        QVERIFY(!texts.contains(QStringLiteral("a")));
        QVERIFY(!texts.contains(QStringLiteral("d")));
        QCOMPARE(product(doc).varianten[1].zeilen, 1);
    }
};

PW_TEST_CLASS(TestVariantTable)
#include "tst_varianttable.moc"
