#include "pictures.h"

#include "i18n/translateunit.h"
#include "imagelib/PicIO3.h"
#include "model/error.h"
#include "model/services.h"

#include <memory>
#include <utility>
#include <vector>

namespace pw {

namespace {

constexpr qint64 kStepBytes = 64;

qint64 pictureBytes(const TBild& b) {
    return qint64(sizeof(TBild)) + qint64(b.datei.size()) * qint64(sizeof(QChar));
}

TDynaArray<TBild>* pictureList(CatalogDocument& doc, int kat, int prod) {
    if (kat < 0 || kat >= doc.categoryCount() || prod < 0 || prod >= doc.products(kat).count())
        return nullptr;
    return &doc.products(kat)[prod].bilder;
}

TBild* picture(CatalogDocument& doc, int kat, int prod, int bild) {
    TDynaArray<TBild>* list = pictureList(doc, kat, prod);
    return (list && bild >= 0 && bild < list->count()) ? &(*list)[bild] : nullptr;
}

void checkWidth(double breite) {
    if (!(breite >= kMinPictureWidth && breite <= kMaxPictureWidth))
        throw Error::text(QStringLiteral("Die Bildbreite muss zwischen 0,01 und 10000 cm liegen."));
}

// Loads a picture file; false when it cannot be read. A file the picture layer refuses
// with an error counts as unreadable too.
bool loadPicture(dib& d, const QString& path) {
    try {
        LoadDib(d, path);
    } catch (const Error&) {
        freedib(d);
    }
    return d.poi != nullptr;
}

void forgetPixelSize(TBild& b) {
    b.pixbreite = 0;
    b.pixhoehe = 0;
}

// A swap of two neighbouring pictures as undo and redo: the entries change places, and
// both get the pixel-size caches they had in the state the step leads to.
struct SwapState {
    int a;
    int b;
    std::pair<int, int> cacheA; // of the picture that ends at index a
    std::pair<int, int> cacheB;
};

void applySwap(CatalogDocument& doc, int kat, int prod, const SwapState& s) {
    TDynaArray<TBild>& list = doc.products(kat)[prod].bilder;
    list.Change(s.a, s.b);
    list[s.a].pixbreite = s.cacheA.first;
    list[s.a].pixhoehe = s.cacheA.second;
    list[s.b].pixbreite = s.cacheB.first;
    list[s.b].pixhoehe = s.cacheB.second;
}

bool movePicture(EditContext& ctx, int kat, int prod, int bild, int to, const QString& caption) {
    TBild* from = picture(ctx.doc, kat, prod, bild);
    TBild* other = picture(ctx.doc, kat, prod, to);
    if (!from || !other)
        return false;
    // Before the swap, the picture at `to` ends at `bild` and vice versa.
    const SwapState back{bild, to, {from->pixbreite, from->pixhoehe}, {other->pixbreite, other->pixhoehe}};
    const SwapState forth{bild, to, {0, 0}, {0, 0}};
    applySwap(ctx.doc, kat, prod, forth);
    ctx.record(
        caption, [kat, prod, back](CatalogDocument& d) { applySwap(d, kat, prod, back); },
        [kat, prod, forth](CatalogDocument& d) { applySwap(d, kat, prod, forth); }, kStepBytes,
        {DocumentChange::pictures(kat, prod)});
    return true;
}

} // namespace

QString storedPicturePath(const QString& file, const QString& progpath) {
    QString folder = progpath;
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')) && !folder.endsWith(QLatin1Char('\\')))
        folder += QLatin1Char('/');
    const qsizetype cut =
        std::max(file.lastIndexOf(QLatin1Char('/')), file.lastIndexOf(QLatin1Char('\\'))) + 1;
    if (cut > 0 && QStringView(file).left(cut) == folder)
        return file.mid(cut);
    return file;
}

int addPictures(EditContext& ctx, int kat, int prod, const QStringList& files, double breite,
                const QString& progpath, Prompts& prompts, TranslationStore& texts, dib* preview) {
    TDynaArray<TBild>* list = pictureList(ctx.doc, kat, prod);
    if (!list || files.isEmpty())
        return 0;
    checkWidth(breite);

    const int before = list->count();
    auto added = std::make_shared<std::vector<TBild>>();
    qint64 bytes = kStepBytes;
    for (const QString& file : files) {
        dib loaded;
        if (!loadPicture(loaded, file)) {
            prompts.message(texts.GetMessageText(9), QString(), Prompts::Icon::Error);
            continue;
        }
        if (preview)
            *preview = std::move(loaded);
        TBild& b = *list->Add();
        b.datei = storedPicturePath(file, progpath);
        b.breite = breite;
        added->push_back(b);
        bytes += pictureBytes(b);
    }
    if (added->empty())
        return 0;
    ctx.record(
        QStringLiteral("Neue Bilder"),
        [kat, prod, before](CatalogDocument& d) {
            TDynaArray<TBild>& pics = d.products(kat)[prod].bilder;
            while (pics.count() > before)
                pics.Delete(pics.count() - 1);
        },
        [kat, prod, added](CatalogDocument& d) {
            TDynaArray<TBild>& pics = d.products(kat)[prod].bilder;
            for (const TBild& b : *added)
                *pics.Add() = b;
        },
        bytes, {DocumentChange::pictures(kat, prod)});
    return int(added->size());
}

std::optional<double> loadPicturePreview(const CatalogDocument& doc, int kat, int prod, int bild,
                                         dib& preview, Prompts& prompts, TranslationStore& texts) {
    if (kat < 0 || kat >= doc.categoryCount() || prod < 0 || prod >= doc.products(kat).count())
        return std::nullopt;
    const TDynaArray<TBild>& list = doc.products(kat)[prod].bilder;
    if (bild < 0 || bild >= list.count())
        return std::nullopt;
    dib loaded;
    if (!loadPicture(loaded, list[bild].datei)) {
        prompts.message(texts.GetMessageText(9), QString(), Prompts::Icon::Error);
        return std::nullopt;
    }
    preview = std::move(loaded);
    return list[bild].breite;
}

int deletePicture(EditContext& ctx, int kat, int prod, int bild) {
    const TBild* b = picture(ctx.doc, kat, prod, bild);
    if (!b)
        return -1;
    const TBild saved = *b;
    const auto remove = [kat, prod, bild](CatalogDocument& d) { d.products(kat)[prod].bilder.Delete(bild); };
    remove(ctx.doc);
    ctx.record(
        QStringLiteral("Bild löschen"),
        [kat, prod, bild, saved](CatalogDocument& d) { *d.products(kat)[prod].bilder.Insert(bild) = saved; },
        remove, kStepBytes + pictureBytes(saved), {DocumentChange::pictures(kat, prod)});
    return bild < ctx.doc.products(kat)[prod].bilder.count() ? bild : -1;
}

bool movePictureUp(EditContext& ctx, int kat, int prod, int bild) {
    return movePicture(ctx, kat, prod, bild, bild - 1, QStringLiteral("Bild nach oben"));
}

bool movePictureDown(EditContext& ctx, int kat, int prod, int bild) {
    return movePicture(ctx, kat, prod, bild, bild + 1, QStringLiteral("Bild nach unten"));
}

void setPictureWidth(EditContext& ctx, int kat, int prod, int bild, double breite) {
    checkWidth(breite);
    TBild* b = picture(ctx.doc, kat, prod, bild);
    if (!b)
        return;
    if (b->breite == breite)
        return; // the editor wrote back what it showed
    const TBild old = *b;
    b->breite = breite;
    forgetPixelSize(*b);
    ctx.record(
        QStringLiteral("Bildbreite ändern"),
        [kat, prod, bild, old](CatalogDocument& d) { d.products(kat)[prod].bilder[bild] = old; },
        [kat, prod, bild, breite](CatalogDocument& d) {
            TBild& p = d.products(kat)[prod].bilder[bild];
            p.breite = breite;
            forgetPixelSize(p);
        },
        kStepBytes + pictureBytes(old), {DocumentChange::pictures(kat, prod)});
}

} // namespace pw
