// A picture that records the resolution it was drawn at keeps it in every format whose
// files carry one; a picture without one leaves the field as "not known".

#include "testmain.h"

#include "imagelib/PicIO3.h"
#include "imagelib/picfiles.h"

#include <QImage>

using namespace pw;

namespace {

dib smallPicture(int dpi) {
    dib d;
    newdib(d, 8, 6, 24, nullptr, 0);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            setpixel(d, x, y, quint32(x * 30) | quint32(y * 40) << 8);
    setDibResolution(d, dpi);
    return d;
}

int le16(const QByteArray& b, int at) {
    return quint8(b[at]) | quint8(b[at + 1]) << 8;
}

qint32 le32(const QByteArray& b, int at) {
    return qint32(quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 |
                  quint32(quint8(b[at + 2])) << 16 | quint32(quint8(b[at + 3])) << 24);
}

} // namespace

class TestPictureResolution : public QObject {
    Q_OBJECT

private slots:
    void formatsReadableByQtKeepTheResolution_data() {
        QTest::addColumn<int>("format");
        QTest::newRow("BMP") << int(kFormatBmp);
        QTest::newRow("PNG") << int(kFormatPng);
        QTest::newRow("JPEG") << int(kFormatJpg);
        QTest::newRow("TIFF") << int(kFormatTif);
    }
    void formatsReadableByQtKeepTheResolution() {
        QFETCH(int, format);
        const QByteArray file = encodeDib(smallPicture(150), format);
        const QImage back = QImage::fromData(file);
        QVERIFY(!back.isNull());
        // 150 dpi = 5905.5 dots per metre; JPEG keeps whole dots per inch.
        QVERIFY2(qAbs(back.dotsPerMeterX() - 5906) <= 1, qPrintable(QString::number(back.dotsPerMeterX())));
        QVERIFY2(qAbs(back.dotsPerMeterY() - 5906) <= 1, qPrintable(QString::number(back.dotsPerMeterY())));
    }

    void pcxHeaderHoldsDotsPerInch() {
        const QByteArray file = encodeDib(smallPicture(300), kFormatPcx);
        QCOMPARE(le16(file, 12), 300);
        QCOMPARE(le16(file, 14), 300);
        // Without a recorded resolution the customary 72 stays.
        const QByteArray plain = encodeDib(smallPicture(0), kFormatPcx);
        QCOMPARE(le16(plain, 12), 72);
    }

    void bmpWithoutResolutionSaysNotKnown() {
        const QByteArray file = encodeDib(smallPicture(0), kFormatBmp);
        QCOMPARE(le32(file, 38), 0);
        QCOMPARE(le32(file, 42), 0);
        QCOMPARE(le32(encodeDib(smallPicture(96), kFormatBmp), 38), 3780);
    }
};

PW_TEST_CLASS(TestPictureResolution)
#include "tst_resolution.moc"
