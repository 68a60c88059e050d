#include "testmain.h"

#include "enginefixture.h"

using namespace pw;
using namespace pw::test;

namespace {

// RandBildEd 2 mm is 23 pixels at 300 dpi: a level indents by 92 pixels.
constexpr int kLeft = 118;
constexpr int kIndent = 4 * 23;

// Remembers the colour of every text drawn (the recording canvas does not).
class ColourCanvas final : public Canvas {
public:
    void TextOut(int, int, const QString& text) override { drawn.append({text, font.Color}); }
    int TextWidth(const QString& text) override { return int(text.size()) * 10; }
    int TextHeight(const QString&) override { return 20; }
    void LineTo(int, int) override {}
    void Rectangle(int, int, int, int) override {}
    void Arc(int, int, int, int, int, int, int, int) override {}
    bool isRasterPrinter() const override { return false; }
    QPainter* painter() override { return nullptr; }

    QList<QPair<QString, quint32>> drawn;
};

// A table of contents first, then the categories it lists.
CatalogDocument tocDocument(TKategorie** toc) {
    CatalogDocument doc;
    doc.settings = plainSettings();
    const int k = doc.addCategory(QStringLiteral("Inhalt"));
    *toc = &doc.createOptions(k);
    (*toc)->InhaltsVerzeichnis = true;
    return doc;
}

int addCategoryWith(CatalogDocument& doc, const QString& name, int products) {
    const int k = doc.addCategory(name);
    for (int i = 0; i < products; ++i)
        addProduct(doc, k, QStringLiteral("%1 %2").arg(name).arg(i + 1), numberedLines(100));
    return k;
}

QList<DrawnText> entries(const QList<DrawnText>& texts) {
    QList<DrawnText> out;
    for (const DrawnText& t : texts) {
        if (t.text != QLatin1String(".") && t.text != QLatin1String("INHALT"))
            out.append(t);
    }
    return out;
}

} // namespace

class TestTableOfContents : public QObject {
    Q_OBJECT

private slots:
    void numbersAreRightFromTheSecondRun() {
        TKategorie* toc = nullptr;
        CatalogDocument doc = tocDocument(&toc);
        addCategoryWith(doc, QStringLiteral("Werkzeug"), 3);
        addCategoryWith(doc, QStringLiteral("Garten"), 1);
        EngineRunner r;
        // The first run knows no pages of the categories after the listing yet.
        QList<DrawnText> first = entries(r.texts(doc, 1));
        QCOMPARE(first[0].text, QStringLiteral("Werkzeug"));
        QCOMPARE(first[1].text, QString());
        const QList<DrawnText> second = r.texts(doc, 1);
        const QList<DrawnText> listed = entries(second);
        QCOMPARE(listed.size(), 4);
        QCOMPARE(listed[1].text, QStringLiteral("2"));
        QCOMPARE(listed[3].text, QStringLiteral("5")); // three long products take pages 2 to 4
        QCOMPARE(listed[1].x, 2480 - 118 - 10);        // right-aligned at the margin
        QCOMPARE(listed[1].y, listed[0].y);
        // The dot leader: on a grid of the dot's width, ending before the number.
        int dots = 0;
        for (const DrawnText& t : second) {
            if (t.text == QLatin1String(".") && t.y == listed[0].y) {
                QCOMPARE(t.x % 10, 0);
                QVERIFY(t.x >= kLeft + 80);
                QVERIFY(t.x + 10 < listed[1].x);
                ++dots;
            }
        }
        QCOMPARE(dots, (2352 - 10 - 200) / 10 + 1);
    }

    void levelsIndentAfterAMainCategory() {
        TKategorie* toc = nullptr;
        CatalogDocument doc = tocDocument(&toc);
        toc->ProdukteInhalt = true;
        addCategoryWith(doc, QStringLiteral("Vorab"), 1);
        addCategoryWith(doc, QStringLiteral("Haupt"), 0);
        addCategoryWith(doc, QStringLiteral("Unter"), 1);
        EngineRunner r;
        const QList<DrawnText> listed = entries(r.texts(doc, 1));
        auto xOf = [&](const char* text) { return findText(listed, QString::fromLatin1(text))->x; };
        QCOMPARE(xOf("Vorab"), kLeft); // before the first main category: main level
        QCOMPARE(xOf("Vorab 1"), kLeft + kIndent);
        QCOMPARE(xOf("Haupt"), kLeft);
        QCOMPARE(xOf("Unter"), kLeft + kIndent);
        QCOMPARE(xOf("Unter 1"), kLeft + 2 * kIndent);
    }

    void productsWithoutCategoryLinesAreNotIndented() {
        TKategorie* toc = nullptr;
        CatalogDocument doc = tocDocument(&toc);
        toc->ProdukteInhalt = true;
        toc->DoNotListCategories = true;
        addCategoryWith(doc, QStringLiteral("Werkzeug"), 2);
        EngineRunner r;
        const QList<DrawnText> listed = entries(r.texts(doc, 1));
        QVERIFY(!findText(listed, QStringLiteral("Werkzeug")));
        QCOMPARE(findText(listed, QStringLiteral("Werkzeug 1"))->x, kLeft);
        QCOMPARE(findText(listed, QStringLiteral("Werkzeug 2"))->x, kLeft);
    }

    void subcategoriesStopAtTheNextMainCategory_data() {
        QTest::addColumn<bool>("subBefore");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("directly before a main category: nothing") << false << QStringList{};
        QTest::newRow("one category before it") << true << QStringList{"Sägen"};
    }
    void subcategoriesStopAtTheNextMainCategory() {
        QFETCH(bool, subBefore);
        QFETCH(QStringList, listed);
        TKategorie* toc = nullptr;
        CatalogDocument doc = tocDocument(&toc);
        toc->Unterkategorien = true;
        if (subBefore)
            addCategoryWith(doc, QStringLiteral("Sägen"), 1);
        addCategoryWith(doc, QStringLiteral("Haupt"), 0);
        addCategoryWith(doc, QStringLiteral("Bohrer"), 1);
        EngineRunner r;
        r.run(doc, a4Call(1));
        QStringList names;
        for (const DrawnText& t : entries(r.texts(doc, 1))) {
            if (t.x == kLeft && !t.text.isEmpty() && !t.text.front().isDigit())
                names.append(t.text);
        }
        // Page 1 holds the listing only: the next category starts a new page.
        QCOMPARE(names, listed);
    }

    void skippedCategoriesAndColours() {
        TKategorie* toc = nullptr;
        CatalogDocument doc = tocDocument(&toc);
        doc.settings.UseColorInInhaltCheck = true;
        const int red = addCategoryWith(doc, QStringLiteral("Rot"), 1);
        TKategorie& o = doc.createOptions(red);
        o.KatBereichUnter = true;
        o.BereichFarbe = 0x000000FF;
        addCategoryWith(doc, QStringLiteral("Danach"), 1); // the colour stays
        doc.createOptions(addCategoryWith(doc, QStringLiteral("Versteckt"), 1)).DoNotListinInhalt = true;
        addCategoryWith(doc, QStringLiteral("Haupt"), 0); // a level change
        addCategoryWith(doc, QStringLiteral("Unter"), 1);
        ColourCanvas canvas;
        EngineRunner r;
        PaintLayout(0, canvas, doc, r.view, r.env, a4Call(1));
        QHash<QString, quint32> colours;
        for (const auto& [text, colour] : canvas.drawn)
            colours.insert(text, colour);
        const quint32 plain = doc.settings.FontDialog11.Color;
        QCOMPARE(colours.value(QStringLiteral("Rot")), 0x000000FFu);
        QCOMPARE(colours.value(QStringLiteral("Danach")), 0x000000FFu);
        QVERIFY(!colours.contains(QStringLiteral("Versteckt")));
        QCOMPARE(colours.value(QStringLiteral("Haupt")), 0x000000FFu); // same level: no new font
        QCOMPARE(colours.value(QStringLiteral("Unter")), doc.settings.FontDialog1.Color);
        QVERIFY(plain != 0x000000FFu);
    }

    void longListingContinuesOnTheNextPage() {
        TKategorie* toc = nullptr;
        CatalogDocument doc = tocDocument(&toc);
        for (int i = 0; i < 300; ++i)
            addCategoryWith(doc, QStringLiteral("Gruppe %1").arg(i), 0);
        EngineRunner r;
        r.run(doc, a4Call(1));
        // 277 mm hold about 160 lines of 1.69 mm: the listing fills two pages.
        const QList<DrawnText> page2 = entries(r.texts(doc, 2));
        QVERIFY(!page2.isEmpty());
        const QString firstOnPage2 = page2.first().text;
        QVERIFY(firstOnPage2.startsWith(QLatin1String("Gruppe ")));
        QVERIFY(!findText(entries(r.texts(doc, 1)), firstOnPage2));
        QCOMPARE(doc.lastkat.get(1), firstOnPage2); // the page left is named after that entry
        QVERIFY(doc.options(1)->seite >= 3);
    }
};

PW_TEST_CLASS(TestTableOfContents)
#include "tst_toc.moc"
