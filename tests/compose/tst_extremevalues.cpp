// Catalogues whose stored lengths, sizes and counts lie far outside what the editors allow
// (damaged or hand-made files): they load with the values brought into range and a warning,
// and every layout lays them out and draws page 1 without integer overflow (the sanitizer
// build makes an overflow fatal).

#include "testmain.h"

#include "compose/engine.h"
#include "compose/units.h"
#include "fixtures.h"
#include "model/catalogfile.h"
#include "output/pagesource.h"

#include <cmath>
#include <limits>

using namespace pw;

namespace {

constexpr double kHuge = 1e300;
constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr qint32 kIntMax = std::numeric_limits<qint32>::max();
constexpr qint32 kIntMin = std::numeric_limits<qint32>::min();

// A catalogue that uses every switch the odd values feed: fixed table widths and heights,
// a fixed table width, table rules, newspaper columns, a category with a picture width, an
// introduction text and a table of contents, long cell texts and descriptions.
CatalogDocument sampleDocument() {
    CatalogDocument doc;
    LayoutSettings& s = doc.settings;
    s.FilenameEdit1.clear();
    s.DefineFixedWidthCheck = true;
    s.DefineFixedHeightCheck = true;
    s.FixWidthForTableCheck = true;
    s.LinesInVariantCheck = true;
    s.ZentrTabelleCheck = true;
    const int toc = doc.addCategory(QStringLiteral("Inhalt"));
    doc.createOptions(toc).InhaltsVerzeichnis = true;
    doc.options(toc)->ProdukteInhalt = true;
    const int kat = doc.addCategory(QStringLiteral("Werkzeug"));
    TKategorie& o = doc.createOptions(kat);
    o.BildBreite = 3;
    o.Einfuehrungstext = QStringLiteral("Alles für die Werkstatt, ") + QString(200, QLatin1Char('x'));
    for (int i = 0; i < 3; ++i) {
        TProdukt& p = *doc.products(kat).Add();
        SetProductTableDefaults(p);
        p.name = QStringLiteral("Hammer %1").arg(i);
        p.desc = QStringLiteral("Stiel aus Esche. ").repeated(40);
        p.anzpreis = 2;
        p.table.OverWrite = i == 1; // one product with its own table settings
        p.table.DefineFixedWidth = p.table.FixWidthForTable = p.table.DefineFixedHeight = true;
        for (int r = 0; r < 4; ++r) {
            TVariante& row = *p.varianten.Add();
            for (int c = 0; c < 12; ++c)
                row.props.Add()->text =
                    r == 0 ? QStringLiteral("Spalte %1").arg(c) : QStringLiteral("Wert %1 ").repeated(c + 1);
        }
    }
    return doc;
}

TProdukt& product(CatalogDocument& doc, int i) {
    return doc.products(1)[i];
}
const TProdukt& product(const CatalogDocument& doc, int i) {
    return doc.products(1)[i];
}

// One stored value: how a file comes to hold it, and where the loaded value is read.
struct OddValue {
    const char* fault;
    void (*store)(CatalogDocument&);
    double (*loaded)(const CatalogDocument&);
    double expected;
};

// clang-format off
const OddValue kOddValues[] = {
    {"left margin beyond any page", [](CatalogDocument& d) { d.settings.LinksEd = kHuge; },
     [](const CatalogDocument& d) { return d.settings.LinksEd; }, 1000},
    {"right margin infinite", [](CatalogDocument& d) { d.settings.RechtsEd = kInf; },
     [](const CatalogDocument& d) { return d.settings.RechtsEd; }, 1000},
    {"top margin NaN takes the default", [](CatalogDocument& d) { d.settings.ObenEd = kNaN; },
     [](const CatalogDocument& d) { return d.settings.ObenEd; }, LayoutSettings{}.ObenEd},
    {"bottom margin minus infinity", [](CatalogDocument& d) { d.settings.UntenEd = -kInf; },
     [](const CatalogDocument& d) { return d.settings.UntenEd; }, 0},
    {"picture spacing overflows the picture row", [](CatalogDocument& d) { d.settings.RandBildEd = kHuge; },
     [](const CatalogDocument& d) { return d.settings.RandBildEd; }, 1000},
    {"column gap overflows the newspaper columns",
     [](CatalogDocument& d) { d.settings.PlatzZwischenSpaltenEd = -kHuge; },
     [](const CatalogDocument& d) { return d.settings.PlatzZwischenSpaltenEd; }, 0},
    {"line width overflows the product rule", [](CatalogDocument& d) { d.settings.LineWidthEd = kHuge; },
     [](const CatalogDocument& d) { return d.settings.LineWidthEd; }, 1000},
    {"table line width overflows the table bars", [](CatalogDocument& d) { d.settings.LineWidthEd2 = kHuge; },
     [](const CatalogDocument& d) { return d.settings.LineWidthEd2; }, 1000},
    {"space below the rule NaN", [](CatalogDocument& d) { d.settings.LineAddSpaceEd = kNaN; },
     [](const CatalogDocument& d) { return d.settings.LineAddSpaceEd; }, 0},
    {"header space beyond any page", [](CatalogDocument& d) { d.settings.KopfEdmm = kHuge; },
     [](const CatalogDocument& d) { return d.settings.KopfEdmm; }, 1000},
    {"footer margin beyond any page", [](CatalogDocument& d) { d.settings.LinkRandFussEd = kHuge; },
     [](const CatalogDocument& d) { return d.settings.LinkRandFussEd; }, 1000},
    {"fixed column width overflows the cell position", [](CatalogDocument& d) { d.settings.RxSpinEdit1 = kHuge; },
     [](const CatalogDocument& d) { return d.settings.RxSpinEdit1; }, 1000},
    {"tenth column width", [](CatalogDocument& d) { d.settings.RxSpinEdit11 = 1e18; },
     [](const CatalogDocument& d) { return d.settings.RxSpinEdit11; }, 1000},
    {"row height overflows the table rows", [](CatalogDocument& d) { d.settings.RxSpinEdit6 = kHuge; },
     [](const CatalogDocument& d) { return d.settings.RxSpinEdit6; }, 1000},
    {"table width overflows the widened columns",
     [](CatalogDocument& d) { d.settings.FixedWidthForTableEd = kHuge; },
     [](const CatalogDocument& d) { return d.settings.FixedWidthForTableEd; }, 1000},
    {"cell width limit", [](CatalogDocument& d) { d.settings.MaxCellWidthEd = kHuge; },
     [](const CatalogDocument& d) { return d.settings.MaxCellWidthEd; }, 1000},
    {"PDF width NaN", [](CatalogDocument& d) { d.settings.PDFWidthEd = kNaN; },
     [](const CatalogDocument& d) { return d.settings.PDFWidthEd; }, LayoutSettings{}.PDFWidthEd},
    {"logo width overflows the header", [](CatalogDocument& d) { d.settings.BreitEd3 = kHuge; },
     [](const CatalogDocument& d) { return d.settings.BreitEd3; }, 10000},
    {"background height zero", [](CatalogDocument& d) { d.settings.HochEd2 = 0; },
     [](const CatalogDocument& d) { return d.settings.HochEd2; }, 1},
    {"brightness far above 100 %", [](CatalogDocument& d) { d.settings.HellEd = 1e9; },
     [](const CatalogDocument& d) { return d.settings.HellEd; }, 100},
    {"saturation far below -100", [](CatalogDocument& d) { d.settings.SatEd = -1e9; },
     [](const CatalogDocument& d) { return d.settings.SatEd; }, -100},
    {"price columns of new products", [](CatalogDocument& d) { d.settings.PreDefAnzPreisEd = kIntMax; },
     [](const CatalogDocument& d) { return double(d.settings.PreDefAnzPreisEd); }, 100},
    {"table font size overflows the cell widths", [](CatalogDocument& d) { d.settings.FontDialog7.Size = kIntMax; },
     [](const CatalogDocument& d) { return double(d.settings.FontDialog7.Size); }, 1638},
    {"name font size negative", [](CatalogDocument& d) { d.settings.FontDialog3.Size = kIntMin; },
     [](const CatalogDocument& d) { return double(d.settings.FontDialog3.Size); }, 1},
    {"header font resolution", [](CatalogDocument& d) { d.settings.FontDialog9.PixelsPerInch = kIntMax; },
     [](const CatalogDocument& d) { return double(d.settings.FontDialog9.PixelsPerInch); }, 10000},
    {"product column width overflows its own table",
     [](CatalogDocument& d) { product(d, 1).table.ColWidth[3] = kHuge; },
     [](const CatalogDocument& d) { return product(d, 1).table.ColWidth[3]; }, 1000},
    {"product row height NaN", [](CatalogDocument& d) { product(d, 1).table.RowHeight = kNaN; },
     [](const CatalogDocument& d) { return product(d, 1).table.RowHeight; }, kDefaultRowHeight},
    {"product table width", [](CatalogDocument& d) { product(d, 1).table.FixedWidthForTable = kHuge; },
     [](const CatalogDocument& d) { return product(d, 1).table.FixedWidthForTable; }, 1000},
    {"product price column count negative", [](CatalogDocument& d) { product(d, 0).anzpreis = kIntMin; },
     [](const CatalogDocument& d) { return double(product(d, 0).anzpreis); }, 0},
    {"category picture width", [](CatalogDocument& d) { d.options(1)->BildBreite = kHuge; },
     [](const CatalogDocument& d) { return d.options(1)->BildBreite; }, 10000},
};
// clang-format on

// Stored values the editors allow (the page number has no limit) and that the layout must
// take as they are.
const OddValue kKeptValues[] = {
    {"first page number at the top of the range",
     [](CatalogDocument& d) { d.settings.FirstPageNr = kIntMax; },
     [](const CatalogDocument& d) { return double(d.settings.FirstPageNr); }, double(kIntMax)},
    {"first page number at the bottom of the range",
     [](CatalogDocument& d) { d.settings.FirstPageNr = kIntMin; },
     [](const CatalogDocument& d) { return double(d.settings.FirstPageNr); }, double(kIntMin)},
    {"every length at its largest",
     [](CatalogDocument& d) {
         LayoutSettings& s = d.settings;
         s.LinksEd = s.RechtsEd = s.ObenEd = s.UntenEd = s.RandBildEd = s.PlatzZwischenSpaltenEd = 1000;
         s.LineWidthEd = s.LineWidthEd2 = s.RxSpinEdit1 = s.RxSpinEdit6 = s.FixedWidthForTableEd = 1000;
         s.FontDialog4.Size = s.FontDialog7.Size = 1638;
     },
     [](const CatalogDocument& d) { return d.settings.LinksEd; }, 1000},
};

const QString kPath = QStringLiteral("/katalog/odd.pk2");

// The document as a file holding the odd value, read back.
LoadResult storedAndLoaded(const OddValue& v) {
    CatalogDocument doc = sampleDocument();
    v.store(doc);
    return ReadCatalogData(CatalogFileImage(doc, kPath), CatalogFormat::Current, kPath, CatalogDocument{},
                           ReadOptions{});
}

// Lays the catalogue out as the preview does and draws page 1, for one layout.
void layOutPageOne(CatalogDocument& doc, int layout, int dpi, double zoom) {
    const FixedClock clock(QDate(2024, 5, 6));
    EngineEnvironment env(clock);
    const PageGeometry g = PreviewGeometry(PaperPixels(QStringLiteral("A4"), 600), 600, dpi, zoom);
    EngineCall call = callForPage(g, dpi);
    call.zoomedvalue = zoom;
    call.seiteedvalue = 0;
    {
        PainterCanvas measuring(nullptr);
        PaintLayout(layout, measuring, doc, ViewState{}, env, call);
    }
    QImage page(g.width, g.height, QImage::Format_RGB32);
    QVERIFY(!page.isNull());
    RenderPage(doc, layout, env, call, page, 1);
}

void addRows(const OddValue* values, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        QTest::newRow(values[i].fault) << static_cast<const void*>(&values[i]);
}

} // namespace

class TestExtremeValues : public QObject {
    Q_OBJECT

private slots:
    void oddValuesAreBroughtIntoRange_data() {
        QTest::addColumn<const void*>("value");
        addRows(kOddValues, std::size(kOddValues));
    }
    void oddValuesAreBroughtIntoRange() {
        QFETCH(const void*, value);
        const OddValue& v = *static_cast<const OddValue*>(value);
        const LoadResult r = storedAndLoaded(v);
        QCOMPARE(v.loaded(r.doc), v.expected);
        // One warning names the file and says that values were limited.
        QCOMPARE(r.warnings.size(), std::size_t(1));
        QCOMPARE(r.warnings[0].file(), kPath);
        QVERIFY2(r.warnings[0].germanText().contains(QLatin1String("begrenzt")),
                 qPrintable(r.warnings[0].germanText()));
    }

    void valuesInRangeAreKept_data() {
        QTest::addColumn<const void*>("value");
        addRows(kKeptValues, std::size(kKeptValues));
    }
    void valuesInRangeAreKept() {
        QFETCH(const void*, value);
        const OddValue& v = *static_cast<const OddValue*>(value);
        const LoadResult r = storedAndLoaded(v);
        QCOMPARE(v.loaded(r.doc), v.expected);
        QVERIFY(r.warnings.empty());
    }

    // A valid catalogue is read as it is and writes back byte for byte.
    void validCatalogueWritesBackUnchanged() {
        const QString path = QStringLiteral("/katalog/rich.pk2");
        const QByteArray image = CatalogFileImage(test::richDocument(QStringLiteral("/katalog")), path);
        const LoadResult r =
            ReadCatalogData(image, CatalogFormat::Current, path, CatalogDocument{}, ReadOptions{});
        QVERIFY(r.warnings.empty());
        QCOMPARE(CatalogFileImage(r.doc, path), image);
    }

    // Every layout lays out the loaded catalogue and draws its first page.
    void oddCataloguesLayOut_data() {
        QTest::addColumn<const void*>("value");
        addRows(kOddValues, std::size(kOddValues));
        addRows(kKeptValues, std::size(kKeptValues));
    }
    void oddCataloguesLayOut() {
        QFETCH(const void*, value);
        const OddValue& v = *static_cast<const OddValue*>(value);
        for (int layout = 0; layout < kLayoutCount; ++layout) {
            LoadResult r = storedAndLoaded(v);
            layOutPageOne(r.doc, layout, 24, 100);
            QVERIFY2(r.doc.anzpages >= 1, qPrintable(QStringLiteral("layout %1").arg(layout + 1)));
        }
    }

    // The largest values the editors allow at the preview's largest zoom and a print
    // resolution: pixel lengths near the top of the int range.
    void largestValuesMeasureAtHighestResolution() {
        LoadResult r = storedAndLoaded(kKeptValues[2]);
        r.doc.settings.FirstPageNr = kIntMax;
        for (int layout = 0; layout < kLayoutCount; ++layout) {
            const FixedClock clock(QDate(2024, 5, 6));
            EngineEnvironment env(clock);
            EngineCall call;
            call.dpi = 2400;
            call.zoomedvalue = 1000;
            call.widthmm = 210;
            call.heightmm = 297;
            call.width = MmToPx(210, 2400, 1000);
            call.height = MmToPx(297, 2400, 1000);
            call.seiteedvalue = 0;
            PainterCanvas measuring(nullptr);
            PaintLayout(layout, measuring, r.doc, ViewState{}, env, call);
            QVERIFY(r.doc.anzpages >= 1);
        }
    }
};

PW_TEST_CLASS(TestExtremeValues)
#include "tst_extremevalues.moc"
