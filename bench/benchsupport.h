#pragma once

// What the benchmark programs share: timed series of runs and their table rows, the
// process's peak memory, two photos to place, and a category of products with
// descriptions, pictures and a variant table.

#include "i18n/translateunit.h"
#include "model/catalog.h"
#include "model/catalogfile.h"
#include "model/error.h"
#include "model/services.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

namespace pw::bench {

// The window's questions answered No, its messages printed: for benchmarks that run the
// window without a user.
class SilentPrompts final : public Prompts {
public:
    Answer ask(const QString&, const QString&, Buttons) override { return Answer::No; }
    void message(const QString& text, const QString&, Icon) override {
        std::printf("  message: %s\n", qPrintable(text));
    }
    QString openFileName(const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&) override { return {}; }
    QString folderName(const QString&) override { return {}; }
};

struct Timing {
    double best = 0; // milliseconds
    double median = 0;
    bool failed = false;
};

// Runs `step` `runs` times, each after an untimed `prepare` (may be empty). A step that
// throws ends the series, prints why and marks it failed.
inline Timing timeRuns(int runs, const std::function<void()>& prepare, const std::function<void()>& step) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        try {
            step();
        } catch (const Error& e) {
            const QString where = e.file().isEmpty() ? QString() : e.file() + QStringLiteral(": ");
            TranslationStore german;
            std::printf("  failed: %s\n", qPrintable(where + errorText(e, german)));
            return {0, 0, true};
        }
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms.front(), ms[ms.size() / 2], false};
}

// One row of a timing table: name (padded to `width`), best and median, and whether the
// best run met the target.
inline void printTimingRow(const char* name, int width, const Timing& t, double targetMs) {
    if (t.failed) {
        std::printf("%-*s %10s %10s   %s\n", width, name, "-", "-", "FAILED");
        return;
    }
    std::printf("%-*s %10.1f %10.1f   %s\n", width, name, t.best, t.median,
                t.best < targetMs ? "met" : "MISSED");
}

// The process's peak resident memory in MB (-1 where the system does not tell).
inline long peakMemoryMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong() / 1024;
    }
    return -1;
}

// An 800 x 600 photo as `a` and a 400 x 600 one as `b` (JPEG); false when they cannot be
// written.
inline bool writePhotos(const QString& a, const QString& b) {
    QImage photo(800, 600, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y) {
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, qRgb(x % 256, y % 256, (x ^ y) % 256));
    }
    return photo.save(a, "JPEG") && photo.scaled(400, 600).save(b, "JPEG");
}

// The two photos of writePhotos as a.jpg and b.jpg in `folder`; prints why (naming `bench`)
// and gives nothing when they cannot be written.
struct PhotoFiles {
    QString a;
    QString b;
};
inline std::optional<PhotoFiles> photosIn(const QString& folder, const char* bench) {
    PhotoFiles photos{folder + QStringLiteral("/a.jpg"), folder + QStringLiteral("/b.jpg")};
    if (!writePhotos(photos.a, photos.b)) {
        std::fprintf(stderr, "%s: cannot write the photos in %s\n", bench, qPrintable(folder));
        return std::nullopt;
    }
    return photos;
}

// Category k with `products` products: a long name, a description of about 300 characters,
// the two photos (5 and 3.5 cm) and six rows of four cells, the last two prices.
inline void addCategory(CatalogDocument& doc, int k, int products, const QString& pictureA,
                        const QString& pictureB) {
    const QString desc = QStringLiteral(
        "Geschmiedeter Kopf aus Werkzeugstahl, Bahn und Finne gehärtet und angelassen. Der Stiel aus "
        "astfreiem Eschenholz ist mit einem Ringkeil gesichert und liegt auch bei langer Arbeit sicher in "
        "der Hand. Ausführung nach Norm, geprüft im eigenen Betrieb, mit drei Jahren Garantie auf Material.");
    const int kat = doc.addCategory(QStringLiteral("Kategorie %1").arg(k));
    for (int i = 0; i < products; ++i) {
        TProdukt& p = *doc.products(kat).Add();
        SetProductTableDefaults(p);
        p.name = QStringLiteral("Produkt %1-%2 mit einem recht langen Namen").arg(k).arg(i);
        p.desc = desc;
        p.anzpreis = 2;
        *p.bilder.Add() = TBild{pictureA, 5};
        *p.bilder.Add() = TBild{pictureB, 3.5};
        const QStringList head{"Ausführung", "Art.-Nr.", "Preis", "Ab 10 Stk."};
        for (int r = 0; r < 6; ++r) {
            TVariante& row = *p.varianten.Add();
            for (int c = 0; c < 4; ++c)
                row.props.Add()->text = r == 0   ? head[c]
                                        : c >= 2 ? QStringLiteral("%1,95 €").arg(r * 10 + c)
                                                 : QStringLiteral("WZ-%1-%2").arg(i).arg(r);
        }
    }
}

// Writes a catalogue of `categories` categories of `perCategory` products each, with the two
// photos, as `name` in `folder`. Prints why and returns an empty name when it cannot.
inline QString writeCatalogue(const QString& folder, const QString& name, int categories, int perCategory,
                              const char* bench) {
    const std::optional<PhotoFiles> photos = photosIn(folder, bench);
    if (!photos)
        return {};
    const QString file = folder + QLatin1Char('/') + name;
    CatalogDocument doc;
    for (int k = 0; k < categories; ++k)
        addCategory(doc, k, perCategory, photos->a, photos->b);
    try {
        SaveTheFile(doc, file);
    } catch (const Error& e) {
        std::printf("%s: cannot write the catalogue: %s\n", bench, qPrintable(e.file()));
        return {};
    }
    return file;
}

inline double medianOf(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace pw::bench
