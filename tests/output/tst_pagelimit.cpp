// The resolution limit the commands state for --dpi: the page at that resolution can be
// allocated, one dot per inch more cannot.

#include "testmain.h"

#include "compose/engine.h"
#include "model/error.h"
#include "output/exportpage.h"

using namespace pw;

class TestPageLimit : public QObject {
    Q_OBJECT

private slots:
    void highestDpiIsTheLastThatFits_data() {
        QTest::addColumn<QString>("paper");
        QTest::addColumn<int>("upTo");
        QTest::addColumn<int>("expected");
        QTest::newRow("A4") << "A4" << 4000 << 2034;
        QTest::newRow("A3") << "A3" << 4000 << 1438;
        QTest::newRow("A5 below its page limit keeps the option's own") << "A5" << 1440 << 1440;
    }
    void highestDpiIsTheLastThatFits() {
        QFETCH(QString, paper);
        QFETCH(int, upTo);
        QFETCH(int, expected);
        const QSize printer = PaperPixels(paper, 600);
        const auto pageAt = [&](int dpi) { return ScaledPageSize(printer, 600, dpi); };
        const int limit = HighestPageDpi(pageAt, upTo);
        QCOMPARE(limit, expected);
        QVERIFY(PageBitmapFits(pageAt(limit)));
        if (limit < upTo)
            QVERIFY(!PageBitmapFits(pageAt(limit + 1)));
    }

    // The largest page the limit lets through is really allocated (not drawn: that is the
    // benchmark's business), and the next larger one is refused with a message.
    void pageAtTheLimitAllocates() {
        const QSize printer = PaperPixels(QStringLiteral("A4"), 600);
        const auto pageAt = [&](int dpi) { return ScaledPageSize(printer, 600, dpi); };
        const int limit = HighestPageDpi(pageAt, 4000);
        const QImage page = NewPageBitmap(pageAt(limit), QStringLiteral("x.pdf"));
        QCOMPARE(page.size(), pageAt(limit));
        QVERIFY_THROWS_EXCEPTION(Error, NewPageBitmap(pageAt(limit + 1), QStringLiteral("x.pdf")));
    }

    void nothingFitsGivesZero() {
        QCOMPARE(HighestPageDpi([](int) { return QSize(100000, 100000); }, 100), 0);
    }
};

PW_TEST_CLASS(TestPageLimit)
#include "tst_pagelimit.moc"
