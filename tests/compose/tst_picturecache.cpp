#include "testmain.h"

#include "compose/picturecache.h"
#include "fixtures.h"
#include "model/usablecores.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <thread>

using namespace pw;
using pw::test::writeFile;

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

    // Pictures announced ahead decode on a helper and are then found without a second
    // decode, each once however often announced; one that fails to load is not kept (its
    // drawing loads it and reports it); one larger than the budget is handed to its find;
    // a find for a picture a helper is decoding waits for it; a cache without a budget
    // decodes nothing ahead.
    void picturesDecodedAheadAreFoundOnce() {
        if (UsableCores() < 2)
            QSKIP("pictures are decoded ahead only beside a second core");
        QTemporaryDir dir;
        const QString a = writePicture(dir, "a.png", Qt::red);
        const QString b = writePicture(dir, "b.png", Qt::green);
        const QString broken = dir.filePath(QStringLiteral("broken.png"));
        QVERIFY(writeFile(broken, "not a picture"));
        std::atomic<int> decodes{0};
        std::atomic<bool> slowBegun{false};
        const auto loader = [&](const QString& path, bool slow = false) {
            return [&, path, slow](dib& d) {
                ++decodes;
                if (slow) {
                    slowBegun = true;
                    std::this_thread::sleep_for(std::chrono::milliseconds(300));
                }
                return load(d, path);
            };
        };

        dib found;
        DecodedPictureCache off;
        off.decodeAhead(a, 0, loader(a));
        QVERIFY(!off.find(a, 0, found));
        QCOMPARE(decodes.load(), 0);

        DecodedPictureCache cache;
        cache.setBudget(1 << 20);
        cache.decodeAhead(a, 0, loader(a));
        cache.decodeAhead(a, 0, loader(a));
        cache.decodeAhead(broken, 0, loader(broken));
        QVERIFY(cache.find(a, 0, found));
        dib direct;
        load(direct, a);
        QCOMPARE(dibToImage(found), dibToImage(direct));
        QVERIFY(!cache.find(broken, 0, found));
        QCOMPARE(decodes.load(), 2);
        cache.decodeAhead(a, 0, loader(a)); // kept already
        QVERIFY(cache.find(a, 0, found));
        QCOMPARE(decodes.load(), 2);

        DecodedPictureCache small;
        small.setBudget(100); // below one picture
        small.decodeAhead(a, 0, loader(a));
        QVERIFY(small.find(a, 0, found)); // handed over
        QCOMPARE(dibToImage(found), dibToImage(direct));
        QVERIFY(!small.find(a, 0, found)); // not kept
        QCOMPARE(decodes.load(), 3);

        cache.decodeAhead(b, 0, loader(b, true));
        while (!slowBegun)
            std::this_thread::yield();
        QVERIFY(cache.find(b, 0, found)); // waited for the helper
        QCOMPARE(decodes.load(), 4);
        QCOMPARE(dibwidth(found), 40);
    }
};

PW_TEST_CLASS(TestPictureCache)
#include "tst_picturecache.moc"
