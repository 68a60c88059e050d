#include "testmain.h"

#include "compose/units.h"
#include "exportfixture.h"
#include "model/error.h"
#include "output/exportpage.h"
#include "output/flipcatalog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
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
};

PW_TEST_CLASS(TestFlipExport)
#include "tst_flipcatalog.moc"
