#include "testmain.h"

#include "i18n/translateunit.h"
#include "model/services.h"
#include "session/catalogsession.h"
#include "session/previewrenderer.h"

using namespace pw;

class TestPreviewRenderer : public QObject {
    Q_OBJECT
private slots:
    // On a screen of device pixel ratio 2 the page has twice the pixels each way and says
    // so, so that it shows at the logical size with sharp text; the layout is the same
    // (the same page count).
    void aDenseScreenGetsTheRealPixelDensity() {
        TranslationStore texts;
        FixedClock clock{QDate(2026, 1, 2)};
        CatalogSession session(texts, clock);
        session.open(QStringLiteral(PW_SOURCE_DIR "/resources/samples/test.pk2"));
        PreviewRequest request;
        request.page = 2;
        EngineEnvironment env(clock);
        CatalogDocument one = session.doc();
        const PreviewPicture normal = renderPreview(one, env, request);
        request.pixelRatio = 2;
        CatalogDocument two = session.doc();
        const PreviewPicture dense = renderPreview(two, env, request);
        QCOMPARE(normal.image.size(), QSize(793, 1122));
        QCOMPARE(dense.size, QSize(793, 1122));
        QCOMPARE(dense.image.size(), QSize(1587, 2245)); // the rule at 192 dpi: Trunc(192 * 4960 / 600)
        QCOMPARE(dense.image.devicePixelRatio(), 2.0);
        QCOMPARE(dense.pages, normal.pages);
    }

    // What a render learned of the picture sizes reaches the live document only for the
    // pictures that are still the same file at the same place.
    void pictureSizesGoBackOnlyWhereTheFileIsTheSame() {
        CatalogDocument live;
        const int k = live.addCategory(QStringLiteral("K"));
        TProdukt& p = *live.products(k).Add();
        *p.bilder.Add() = TBild{QStringLiteral("a.jpg"), 5};
        *p.bilder.Add() = TBild{QStringLiteral("b.jpg"), 5};
        CatalogDocument rendered = live;
        rendered.products(k)[0].bilder[0].pixbreite = 800;
        rendered.products(k)[0].bilder[0].pixhoehe = 600;
        rendered.products(k)[0].bilder[1].pixbreite = 400;
        rendered.products(k)[0].bilder[1].pixhoehe = 300;
        p.bilder[1].datei = QStringLiteral("c.jpg"); // changed while the page was drawn
        adoptPictureSizes(live, rendered);
        QCOMPARE(p.bilder[0].pixbreite, 800);
        QCOMPARE(p.bilder[0].pixhoehe, 600);
        QCOMPARE(p.bilder[1].pixbreite, 0);
    }
};

PW_TEST_CLASS(TestPreviewRenderer)
#include "tst_previewrenderer.moc"
