#include "testmain.h"

#include "compose/picturecache.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

using namespace pw;

namespace {

// A picture file of one colour, and the picture loaded from it.
QString writePicture(const QTemporaryDir& dir, const char* name, QColor colour, QSize size = {40, 30}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = dir.filePath(QLatin1String(name));
    image.save(path, "PNG");
    return path;
}

PictureLoadResult load(dib& d, const QString& path) {
    return loadPictureForDrawing(d, path);
}

} // namespace

class TestPictureCache : public QObject {
    Q_OBJECT
private slots:
    // A kept picture comes back as an equal copy; another size asked for, a cache without
    // a budget and a file changed on disk since it was read all miss.
    void keptPicturesComeBackOnlyWhileTheFileIsTheSame() {
        QTemporaryDir dir;
        const QString path = writePicture(dir, "rot.png", Qt::red);
        dib loaded;
        const PictureLoadResult result = load(loaded, path);
        QVERIFY(loaded.poi);

        DecodedPictureCache off;
        off.keep(path, 0, result, loaded);
        dib none;
        QVERIFY(!off.find(path, 0, none));

        DecodedPictureCache cache;
        cache.setBudget(1 << 20);
        cache.keep(path, 0, result, loaded);
        dib copy;
        const std::optional<PictureLoadResult> found = cache.find(path, 0, copy);
        QVERIFY(found);
        QCOMPARE(found->fullSize, QSize(40, 30));
        QCOMPARE(dibToImage(copy), dibToImage(loaded));
        QVERIFY(!cache.find(path, 10, copy));

        QTest::qWait(1100); // a modification time the file system tells apart
        writePicture(dir, "rot.png", Qt::blue, {41, 30});
        QVERIFY(!cache.find(path, 0, copy));
    }

    // Beyond the budget the least recently used picture goes first.
    void theBudgetDropsTheLeastRecentlyUsed() {
        QTemporaryDir dir;
        const QString a = writePicture(dir, "a.png", Qt::red);
        const QString b = writePicture(dir, "b.png", Qt::green);
        const QString c = writePicture(dir, "c.png", Qt::blue);
        dib da, db, dc;
        const PictureLoadResult ra = load(da, a), rb = load(db, b), rc = load(dc, c);
        const qint64 one = qint64(da.bytew) * dibheight(da);
        DecodedPictureCache cache;
        cache.setBudget(2 * one);
        cache.keep(a, 0, ra, da);
        cache.keep(b, 0, rb, db);
        dib out;
        QVERIFY(cache.find(a, 0, out)); // a is now the most recently used
        cache.keep(c, 0, rc, dc);
        QVERIFY(cache.find(a, 0, out));
        QVERIFY(cache.find(c, 0, out));
        QVERIFY(!cache.find(b, 0, out));
    }
};

PW_TEST_CLASS(TestPictureCache)
#include "tst_picturecache.moc"
