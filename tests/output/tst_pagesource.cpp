#include "testmain.h"

#include "model/catalogfile.h"
#include "output/exportpage.h"
#include "output/pagesource.h"

#include <QImage>

#include <functional>

using namespace pw;

namespace {

using Builder = std::function<void(CatalogDocument&)>;

struct Rendered {
    QList<QImage> pages;
    QList<bool> more;
    LayoutState state;
    RenderStats stats;
};

// Renders one way or the other; with `makeEven`, an odd page count is made even after every
// page, as the flip catalogue does.
Rendered render(const Builder& build, int layout, bool oneByOne, bool makeEven = false) {
    CatalogDocument doc;
    build(doc);
    FixedClock clock(QDate(2026, 12, 10));
    EngineEnvironment env(clock);
    const QSize size(4960 * 75 / 600, 7016 * 75 / 600);
    const EngineCall call = ExportCall(75, size, QSize(4960, 7016), 600);
    QImage bitmap(size, QImage::Format_RGB32);
    Rendered r;
    const auto keep = [&](int page, const QImage& image, bool more) {
        if (page != r.pages.size() + 1)
            return false;
        r.pages.append(image.copy());
        r.more.append(more);
        if (makeEven && doc.anzpages % 2 == 1)
            ++doc.anzpages;
        return true;
    };
    const StateAdjustment adjustment = [](CatalogDocument& d) {
        if (d.anzpages % 2 == 1)
            ++d.anzpages;
    };
    const bool done = oneByOne ? RenderPagesOneByOne(doc, layout, env, call, bitmap, keep)
                               : RenderPages(doc, layout, env, call, bitmap, keep, &r.stats,
                                             makeEven ? adjustment : StateAdjustment());
    if (!done)
        r.pages.clear();
    r.state = LayoutState::of(doc);
    return r;
}

void sample(CatalogDocument& doc) {
    OpenCatalog(doc, QStringLiteral(PW_SOURCE_DIR "/resources/samples/test.pk2"), {});
}

// Products whose descriptions are longer than a page, split where the page ends.
void longDescriptions(CatalogDocument& doc) {
    doc.settings.AllowPageBreak = true;
    const int k = doc.addCategory(QStringLiteral("Lange Texte"));
    for (int i = 0; i < 4; ++i) {
        TProdukt& p = *doc.products(k).Add();
        SetProductTableDefaults(p);
        p.name = QStringLiteral("Produkt %1").arg(i);
        QStringList lines;
        for (int l = 0; l < 70 + 15 * i; ++l)
            lines.append(QStringLiteral("Zeile %1 der Beschreibung von Produkt %2").arg(l).arg(i));
        p.desc = lines.join(QLatin1Char('\n'));
        TVariante& row = *p.varianten.Add();
        row.props.Add()->text = QStringLiteral("Größe");
        row.props.Add()->text = QStringLiteral("Preis");
    }
}

// A header on every page but the first and the last (the page count of the previous run).
// With a previous count of 2, the first call leaves no header off page 2 and later calls
// lay out the pages differently; with 0, only the last page's header changes.
void coverCatalogue(CatalogDocument& doc, int products, int previousPages) {
    doc.settings.CoverCheck = true;
    doc.settings.KopfEd = QStringLiteral("Kopfzeile");
    const int k = doc.addCategory(QStringLiteral("Umschlag"));
    for (int i = 0; i < products; ++i) {
        TProdukt& p = *doc.products(k).Add();
        SetProductTableDefaults(p);
        p.name = QStringLiteral("Produkt %1").arg(i);
        p.desc = QStringLiteral("Eine Zeile\nNoch eine Zeile");
    }
    doc.anzpages = previousPages;
}

} // namespace

class TestPageRender : public QObject {
    Q_OBJECT

private slots:
    void pagesAreThoseOfOneCallPerPage_data() {
        QTest::addColumn<int>("layout");
        QTest::addColumn<Builder>("build");
        QTest::addColumn<bool>("oneRun");
        QTest::addColumn<bool>("makeEven");
        for (int layout = 0; layout < kLayoutCount; ++layout)
            QTest::addRow("sample, layout %d", layout + 1) << layout << Builder(sample) << true << false;
        QTest::newRow("descriptions split across pages, layout 2")
            << 1 << Builder(longDescriptions) << true << false;
        QTest::newRow("descriptions split across pages, layout 3")
            << 2 << Builder(longDescriptions) << true << false;
        QTest::newRow("cover rule moves to the last page")
            << 0 << Builder([](CatalogDocument& d) { coverCatalogue(d, 30, 0); }) << true << false;
        QTest::newRow("first call lays out another page count")
            << 0 << Builder([](CatalogDocument& d) { coverCatalogue(d, 30, 2); }) << false << false;
        // The sample has 11 pages: every call after the first reads 12.
        QTest::newRow("odd page count made even after every page") << 0 << Builder(sample) << true << true;
    }
    void pagesAreThoseOfOneCallPerPage() {
        QFETCH(int, layout);
        QFETCH(Builder, build);
        QFETCH(bool, oneRun);
        QFETCH(bool, makeEven);
        const Rendered expected = render(build, layout, true, makeEven);
        const Rendered actual = render(build, layout, false, makeEven);
        QVERIFY(expected.pages.size() >= 3);
        QCOMPARE(actual.pages.size(), expected.pages.size());
        for (int i = 0; i < expected.pages.size(); ++i) {
            if (actual.pages[i] != expected.pages[i])
                QFAIL(qPrintable(QStringLiteral("page %1 differs").arg(i + 1)));
        }
        QCOMPARE(actual.more, expected.more);
        QVERIFY(actual.state == expected.state);
        QCOMPARE(actual.stats.oneRun, oneRun);
        // One call for page 1, one measuring run, then one run or one call per page.
        QCOMPARE(actual.stats.engineCalls, oneRun ? 3 : 2 + expected.pages.size() - 1);
    }

    void cancelStopsAtThePage() {
        for (bool oneByOne : {false, true}) {
            CatalogDocument doc;
            sample(doc);
            FixedClock clock(QDate(2026, 12, 10));
            EngineEnvironment env(clock);
            const QSize size(200, 283);
            QImage bitmap(size, QImage::Format_RGB32);
            QList<int> seen;
            const auto stopAt3 = [&](int page, const QImage&, bool) {
                seen.append(page);
                return page < 3;
            };
            const EngineCall call = ExportCall(12, size, QSize(4960, 7016), 600);
            const bool done = oneByOne ? RenderPagesOneByOne(doc, 0, env, call, bitmap, stopAt3)
                                       : RenderPages(doc, 0, env, call, bitmap, stopAt3);
            QVERIFY(!done);
            QCOMPARE(seen, (QList<int>{1, 2, 3}));
        }
    }
};

PW_TEST_CLASS(TestPageRender)
#include "tst_pagesource.moc"
