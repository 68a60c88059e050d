#include "testmain.h"

#include "exportfixture.h"

#include "compose/text.h"
#include "model/catalogfile.h"
#include "model/error.h"
#include "output/pdfexport.h"
#include "output/vectorexport.h"
#include "output/vectorpdf.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <functional>

using namespace pw;

namespace {

const QString kSample = QStringLiteral(PW_SOURCE_DIR "/resources/samples/test.pk2");

using test::runTool;

struct Exported {
    CatalogDocument doc;
    QString file;
};

// The sample exported in `layout` (0..7), as a vector PDF or as picture pages.
void exportSample(Exported& e, const QString& file, int layout, bool vector, bool cmyk, int dpi) {
    OpenCatalog(e.doc, kSample, {});
    FixedClock clock(QDate(2026, 12, 10));
    EngineEnvironment env(clock);
    PdfExportSettings s;
    s.dpi = dpi;
    s.cmyk = cmyk;
    NoProgress progress;
    // As the front ends do: a layout run first, so that the table of contents has pages.
    measuringRun(layout, e.doc, env, PdfExportCall(e.doc.settings, s));
    const bool done = vector ? ExportVectorPdf(e.doc, layout, env, s, file, progress)
                             : ExportPdf(e.doc, layout, env, s, file, progress);
    QVERIFY(done);
    e.file = file;
}

// How far two renderings of a page are apart: the mean absolute difference per channel,
// and the largest mean difference of a 10 x 10 block.
struct Difference {
    double mean = 0;
    double worstBlock = 0;
};

Difference compare(const QImage& a, const QImage& b) {
    const QImage x = a.convertToFormat(QImage::Format_RGB888);
    const QImage y = b.convertToFormat(QImage::Format_RGB888);
    const int w = std::min(x.width(), y.width());
    const int h = std::min(x.height(), y.height());
    constexpr int kBlock = 10;
    const int bw = (w + kBlock - 1) / kBlock;
    std::vector<double> blocks(std::size_t(bw) * std::size_t((h + kBlock - 1) / kBlock), 0.0);
    double sum = 0;
    for (int r = 0; r < h; ++r) {
        const uchar* p = x.constScanLine(r);
        const uchar* q = y.constScanLine(r);
        for (int c = 0; c < w * 3; ++c) {
            const int d = std::abs(int(p[c]) - int(q[c]));
            sum += d;
            blocks[std::size_t(r / kBlock) * std::size_t(bw) + std::size_t(c / 3 / kBlock)] += d;
        }
    }
    Difference diff;
    diff.mean = sum / (double(w) * h * 3);
    for (double block : blocks)
        diff.worstBlock = std::max(diff.worstBlock, block / (kBlock * kBlock * 3));
    return diff;
}

// Every word of every product name and every variant-table cell of the active products.
QStringList printedWords(const CatalogDocument& doc) {
    QStringList words;
    for (int k = 0; k < doc.categoryCount(); ++k) {
        const TKategorie* o = doc.options(k);
        if (o && o->Deactivate)
            continue;
        for (const TProdukt& p : doc.products(k)) {
            if (p.DeactivateProd)
                continue;
            words += p.name.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            for (const TVariante& row : p.varianten) {
                for (int c = 0; c < row.props.count(); ++c) {
                    quint32 colour = 0;
                    QString shown;
                    CellBackgroundColor(CellText(row, c), colour, shown);
                    words += shown.split(QLatin1Char(' '), Qt::SkipEmptyParts);
                }
            }
        }
    }
    words.removeDuplicates();
    return words;
}

QByteArray uncompressed(const QString& file, const QString& dir) {
    const QString out = QDir(dir).filePath(QStringLiteral("qdf.pdf"));
    runTool(QStringLiteral("qpdf"),
            {QStringLiteral("--qdf"), QStringLiteral("--object-streams=disable"), file, out});
    QFile f(out);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestVectorPdf : public QObject {
    Q_OBJECT

private slots:
    // Every layout as vector pages: a valid file with the raster export's page count, every
    // font embedded as a subset, every name and price findable as text, and the pages as
    // they look on the picture pages.
    void everyLayoutIsTheRasterPagesAsText_data() {
        QTest::addColumn<int>("layout");
        for (int layout = 0; layout < kLayoutCount; ++layout) {
#ifdef PW_SANITIZED_BUILD
            // Under the sanitizers two layouts (one per kind of engine run) keep the time down.
            if (layout != 0 && layout != 2)
                continue;
#endif
            QTest::newRow(qPrintable(QStringLiteral("layout %1").arg(layout + 1))) << layout;
        }
    }
    void everyLayoutIsTheRasterPagesAsText() {
        QFETCH(int, layout);
        QTemporaryDir dir;
        Exported vector;
        Exported raster;
        exportSample(vector, dir.filePath(QStringLiteral("v.pdf")), layout, true, false, 150);
        exportSample(raster, dir.filePath(QStringLiteral("r.pdf")), layout, false, false, 150);
        QCOMPARE(vector.doc.anzpages, raster.doc.anzpages);

        QVERIFY(runTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), vector.file})
                    .out.contains("No syntax or stream encoding errors"));
        QCOMPARE(runTool(QStringLiteral("qpdf"), {QStringLiteral("--show-npages"), vector.file})
                     .out.trimmed()
                     .toInt(),
                 raster.doc.anzpages);

        // pdffonts: one line per font after the two heading lines, "yes yes yes" for
        // embedded, subset and ToUnicode.
        const QStringList fonts = QString::fromUtf8(runTool(QStringLiteral("pdffonts"), {vector.file}).out)
                                      .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                                      .mid(2);
        QVERIFY(!fonts.isEmpty());
        for (const QString& font : fonts)
            QVERIFY2(font.contains(QRegularExpression(QStringLiteral("^[A-Z]{6}\\+\\S+ .* yes yes yes "))),
                     qPrintable(font));

        QString text =
            QString::fromUtf8(runTool(QStringLiteral("pdftotext"), {vector.file, QStringLiteral("-")}).out);
        text.remove(QRegularExpression(QStringLiteral("\\s")));
        for (const QString& word : printedWords(vector.doc))
            QVERIFY2(text.contains(word), qPrintable(word));

        // The picture pages are the page bitmaps at 150 dpi; the vector pages are rendered
        // onto the same pixel grid. Text anti-aliasing differs at the edge of every glyph,
        // and the viewer's smooth scaling of a picture from the raster's nearest neighbour
        // at its sharp edges (up to about 80 on a 10 x 10 block of the sample); a word one
        // pixel off gives 110 and more, a missing rule or picture far more.
        constexpr double kWorstBlock = 96;
        // Uncompressed pictures (PPM) keep the tools quick; all pages share one size.
        const QString prefix = dir.filePath(QStringLiteral("r"));
        QCOMPARE(runTool(QStringLiteral("pdfimages"), {raster.file, prefix}).code, 0);
        const QSize size = QImage(prefix + QStringLiteral("-000.ppm")).size();
        QVERIFY(!size.isEmpty());
        const QString shots = dir.filePath(QStringLiteral("v"));
        QCOMPARE(runTool(QStringLiteral("pdftoppm"),
                         {QStringLiteral("-scale-to-x"), QString::number(size.width()),
                          QStringLiteral("-scale-to-y"), QString::number(size.height()), vector.file, shots})
                     .code,
                 0);
        const int digits = raster.doc.anzpages >= 10 ? 2 : 1;
        for (int page = 1; page <= raster.doc.anzpages; ++page) {
            const QImage expected(
                QStringLiteral("%1-%2.ppm").arg(prefix).arg(page - 1, 3, 10, QLatin1Char('0')));
            QVERIFY(!expected.isNull());
            const QImage drawn(
                QStringLiteral("%1-%2.ppm").arg(shots).arg(page, digits, 10, QLatin1Char('0')));
            QCOMPARE(drawn.size(), expected.size());
            const Difference d = compare(drawn, expected);
            QVERIFY2(d.mean < 4 && d.worstBlock < kWorstBlock,
                     qPrintable(QStringLiteral("page %1: mean %2, worst block %3")
                                    .arg(page)
                                    .arg(d.mean)
                                    .arg(d.worstBlock)));
            if (layout == 0 && page == 3) {
                // The thresholds catch a word moved by one pixel.
                QImage moved = expected.copy();
                QPainter painter(&moved);
                const QRect word(100, 660, 260, 30);
                painter.drawImage(word.topLeft() + QPoint(1, 0), expected.copy(word));
                painter.end();
                QVERIFY(compare(drawn, moved).worstBlock >= kWorstBlock);
            }
        }
    }

    // Navigation: a bookmark per category with its products below it, a link from every
    // line of the table of contents to its page, page labels from FirstPageNr, the title.
    void bookmarksLinksAndLabels() {
        QTemporaryDir dir;
        Exported e;
        exportSample(e, dir.filePath(QStringLiteral("v.pdf")), 0, true, false, 40);
        const QByteArray json =
            runTool(QStringLiteral("qpdf"),
                    {QStringLiteral("--json"), QStringLiteral("--json-key=outlines"), e.file})
                .out;
        const std::vector<PdfBookmark> marks = CatalogueBookmarks(e.doc);
        int expected = 0;
        std::function<void(const std::vector<PdfBookmark>&)> count =
            [&](const std::vector<PdfBookmark>& list) {
                for (const PdfBookmark& b : list) {
                    ++expected;
                    count(b.children);
                }
            };
        count(marks);
        QVERIFY(expected > 10);
        QCOMPARE(int(json.count("\"title\"")), expected);
        // The sample's first page is its table of contents: every listed line is a link.
        const QByteArray qdf = uncompressed(e.file, dir.path());
        QVERIFY(qdf.count("/Subtype /Link") >= 19);
        const QString info = QString::fromUtf8(runTool(QStringLiteral("pdfinfo"), {e.file}).out);
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Title:\\s+Eisenwaren Berger"))),
                 qPrintable(info));
        QVERIFY(info.contains(QStringLiteral("Pagewright " PW_VERSION)));
        QFile raw(e.file);
        QVERIFY(raw.open(QIODevice::ReadOnly));
        QVERIFY(raw.readAll().contains("/PageLabels << /Nums [0 << /S /D /St 1 >>] >>"));
    }

    // Pictures are stored once: the logo drawn on every page is one image object, and the
    // same catalogue gives the same bytes twice.
    void picturesStoredOnceAndTheSameBytesTwice() {
        QTemporaryDir dir;
        Exported first;
        Exported second;
        exportSample(first, dir.filePath(QStringLiteral("a.pdf")), 1, true, false, 40);
        exportSample(second, dir.filePath(QStringLiteral("b.pdf")), 1, true, false, 40);
        QFile a(first.file);
        QFile b(second.file);
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QVERIFY(a.readAll() == b.readAll());

        // pdfimages -list: page, num, type, width, height, ..., object id in column 11.
        QHash<int, QSet<int>> pagesOfObject;
        const QStringList lines =
            QString::fromUtf8(runTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), first.file}).out)
                .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                .mid(2);
        int placements = 0;
        for (const QString& line : lines) {
            const QStringList f = line.simplified().split(QLatin1Char(' '));
            pagesOfObject[f.value(10).toInt()].insert(f.value(0).toInt());
            ++placements;
        }
        int widest = 0;
        for (const QSet<int>& pages : pagesOfObject)
            widest = std::max(widest, int(pages.size()));
        QCOMPARE(widest, first.doc.anzpages); // the logo: one object on every page
        QVERIFY(pagesOfObject.size() < placements);
    }

    // In CMYK every colour operator is a CMYK one, and the pictures are CMYK or grey.
    void cmykLeavesNoRgb() {
        QTemporaryDir dir;
        Exported e;
        exportSample(e, dir.filePath(QStringLiteral("c.pdf")), 0, true, true, 40);
        const QByteArray qdf = uncompressed(e.file, dir.path());
        QVERIFY(!qdf.isEmpty());
        static const QRegularExpression rgb(QStringLiteral("\\s(rg|RG)\\s"));
        QVERIFY(!QString::fromLatin1(qdf).contains(rgb));
        QVERIFY(!qdf.contains("/DeviceRGB"));
        QVERIFY(qdf.contains(" k\n") || qdf.contains(" k "));
    }

    // A file that cannot be written is message 49 and leaves nothing; a cancel leaves the
    // older file as it was.
    void failuresAndCancelLeaveTheOldFile() {
        QTemporaryDir dir;
        CatalogDocument doc;
        OpenCatalog(doc, kSample, {});
        FixedClock clock(QDate(2026, 12, 10));
        EngineEnvironment env(clock);
        PdfExportSettings s;
        s.dpi = 40;
        NoProgress progress;
        try {
            ExportVectorPdf(doc, 0, env, s, dir.filePath(QStringLiteral("fehlt/k.pdf")), progress);
            QFAIL("no error for a file that cannot be created");
        } catch (const Error& error) {
            QCOMPARE(error.messageNumber(), 49);
        }
        const QString target = dir.filePath(QStringLiteral("alt.pdf"));
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("older") == 5);
        old.close();
        struct CancelAt final : Progress {
            bool report(int done, int) override { return done < 2; }
        } cancel;
        QVERIFY(!ExportVectorPdf(doc, 0, env, s, target, cancel));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("older"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("alt.pdf")});
    }
};

PW_TEST_CLASS(TestVectorPdf)
#include "tst_vectorpdf.moc"
