#pragma once

// What the benchmark programs share: timed series of runs and their table rows, the
// process's peak memory and CPU time, two small photos to place, photos of a real camera's
// size kept between runs, a process that keeps a core busy, and a category of products
// with descriptions, pictures and a variant table.

#include "i18n/translateunit.h"
#include "model/catalog.h"
#include "model/catalogfile.h"
#include "model/error.h"
#include "model/services.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <functional>
#include <optional>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

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

// The CPU time the process has used so far, all its threads together, in seconds.
inline double processCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// Where generated photos stay between runs: $PW_BENCH_PHOTOS, else a folder in the system's
// temporary folder. Writing them takes longer than some of the runs that use them.
inline QString photoCacheFolder() {
    const QString set = qEnvironmentVariable("PW_BENCH_PHOTOS");
    return set.isEmpty() ? QDir(QDir::tempPath()).filePath(QStringLiteral("pagewright-bench-photos")) : set;
}

// A photo of a camera's size, 2400 x 1800: soft colour gradients with a few shapes and
// grain, so that it compresses like a real photo (about 1.5 MB as JPEG) and decodes as
// slowly as one.
inline QImage noisyPhoto(int seed) {
    QImage photo(2400, 1800, QImage::Format_RGB32);
    std::uint32_t state = 2463534242u + std::uint32_t(seed) * 7919u;
    const auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    const int cx = 600 + seed * 137 % 1200;
    const int cy = 400 + seed * 71 % 1000;
    for (int y = 0; y < photo.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(photo.scanLine(y));
        for (int x = 0; x < photo.width(); ++x) {
            const int dx = x - cx;
            const int dy = y - cy;
            const bool inside = dx * dx + dy * dy < 500 * 500;
            const int grain = int(next() % 41) - 20;
            const int r = (inside ? 200 : x * 255 / 2400) + grain;
            const int g = (inside ? 90 + seed * 13 % 100 : y * 255 / 1800) + grain;
            const int b = ((x + y + seed * 40) / 17 % 256) / 2 + 60 + grain;
            line[x] = qRgb(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255));
        }
    }
    return photo;
}

// `count` different photos of noisyPhoto as JPEG files in the cache folder, written only
// when missing. Prints why (naming `bench`) and gives nothing when one cannot be written.
inline std::optional<QStringList> cameraPhotos(int count, const char* bench) {
    const QString folder = photoCacheFolder();
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "%s: cannot create %s\n", bench, qPrintable(folder));
        return std::nullopt;
    }
    QStringList files;
    for (int i = 0; i < count; ++i) {
        const QString file = QDir(folder).filePath(QStringLiteral("photo%1.jpg").arg(i));
        if (!QFileInfo::exists(file)) {
            const QString part = file + QStringLiteral(".part");
            if (!noisyPhoto(i).save(part, "JPEG", 85) || !QFile::rename(part, file)) {
                std::fprintf(stderr, "%s: cannot write %s\n", bench, qPrintable(file));
                return std::nullopt;
            }
        }
        files.push_back(file);
    }
    return files;
}

// Names for the pictures of a catalogue in which no two products share a photo file, as
// in a real catalogue: name n is a hard link (made once, in the cache folder) to photo
// n mod the photos' count, so that thousands of files take the room of a few.
class DistinctPhotoNames {
public:
    explicit DistinctPhotoNames(QStringList photos) : m_photos(std::move(photos)) {
        QDir().mkpath(QDir(photoCacheFolder()).filePath(QStringLiteral("uses")));
    }
    QString at(int n) const {
        const QString& photo = m_photos[n % m_photos.size()];
        const QString name =
            QDir(photoCacheFolder())
                .filePath(QStringLiteral("uses/use%1-%2.jpg").arg(n).arg(n % m_photos.size()));
        if (!QFileInfo::exists(name) &&
            ::link(QFile::encodeName(photo).constData(), QFile::encodeName(name).constData()) != 0)
            return photo; // a file system without links: the photo itself
        return name;
    }

private:
    QStringList m_photos;
};

// A process that keeps one core busy until the object ends: the load of another program
// working beside the one measured.
class CpuHog {
public:
    CpuHog() : m_pid(fork()) {
        if (m_pid == 0) {
            volatile std::uint64_t spin = 0;
            for (;;)
                spin = spin + 1;
        }
    }
    ~CpuHog() {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
    CpuHog(const CpuHog&) = delete;
    CpuHog& operator=(const CpuHog&) = delete;

private:
    pid_t m_pid;
};

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

// The same with the pictures named by `picture`, which gets the product's number in the
// catalogue (counted by `counter`) and 0 for the first picture, 1 for the second.
inline void addCategory(CatalogDocument& doc, int k, int products,
                        const std::function<QString(int product, int which)>& picture, int& counter) {
    const int kat = doc.categoryCount();
    addCategory(doc, k, products, QString(), QString());
    TProduktListe& list = doc.products(kat);
    for (int i = 0; i < list.count(); ++i, ++counter) {
        list[i].bilder[0].datei = picture(counter, 0);
        list[i].bilder[1].datei = picture(counter, 1);
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
