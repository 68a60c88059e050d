// preview_bench: how quickly the preview tab shows a page again after a setting changed.
//
// Generates a catalogue of 2,000 products (10 categories of 200, each product with two
// photos, a description and a six-row variant table), opens it in a session and shows the
// preview tab over it on the offscreen platform, at zoom 100 on a 96-dpi screen with an A4
// page at 600 dpi. Then, for page 1 and for the last page, it changes the left margin
// through its control again and again (alternating between two values) and measures:
//   - the time from the change to the new picture on the screen;
//   - the time the window's thread was busy for that change: the change itself (the
//     command, the notifications, taking the copy of the document for the worker) plus
//     every turn of the event loop until the picture was shown (taking it and painting it).
// Best and median of several changes. This is a measurement, not a test: the exit code is
// always 0.

#include "app/layout/previewtab.h"
#include "app/layout/settingcontrols.h"
#include "app/layout/settingstabs.h"
#include "benchsupport.h"
#include "model/catalogfile.h"
#include "model/options.h"
#include "model/services.h"
#include "session/catalogsession.h"

#include <QApplication>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

namespace {

constexpr int kCategories = 10;
constexpr int kPerCategory = 200;
constexpr int kRuns = 9;

struct Series {
    std::vector<double> latency;
    std::vector<double> busy;
};

double best(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.front();
}
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString file = pw::bench::writeCatalogue(dir.path(), QStringLiteral("katalog.pk2"), kCategories,
                                                   kPerCategory, "preview_bench");
    if (file.isEmpty())
        return 0;

    pw::TranslationStore texts;
    texts.setCollectNewTexts(false);
    pw::bench::SilentPrompts prompts;
    pw::SystemClock clock;
    pw::CatalogSession session(texts, clock, pw::LanguageLocale(pw::Deutsch));
    try {
        session.open(file);
    } catch (const pw::Error&) {
        std::printf("preview_bench: cannot open the catalogue\n");
        return 0;
    }
    QTabWidget tabs;
    auto* binder = new pw::SettingsBinder(session.edit(), prompts, texts, &tabs);
    pw::PreviewSetup setup;
    setup.screenDpi = 96;
    auto* preview = new pw::PreviewTab(session.edit(), *binder, texts, clock, pw::LanguageLocale(pw::Deutsch),
                                       setup, 100, &tabs);
    tabs.addTab(preview, QStringLiteral("Katalog erzeugen"));
    tabs.addTab(pw::makeLayoutTab(*binder, &tabs), QStringLiteral("Layout"));
    tabs.resize(1200, 900);
    tabs.show();
    auto* margin = tabs.findChild<QDoubleSpinBox*>(QStringLiteral("LinksEd"));

    // Waits for the picture of the newest request; returns the time the window's thread
    // spent in the event loop meanwhile.
    const auto waitShown = [&](QElapsedTimer& since, double& latencyMs) {
        double busy = 0;
        while (true) {
            QElapsedTimer turn;
            turn.start();
            QApplication::processEvents();
            busy += double(turn.nsecsElapsed()) / 1e6;
            if (!preview->isRendering()) {
                latencyMs = double(since.nsecsElapsed()) / 1e6;
                return busy;
            }
            if (since.elapsed() > 60000) {
                latencyMs = -1;
                return busy;
            }
            QThread::usleep(200);
        }
    };

    double ignored = 0;
    QElapsedTimer first;
    first.start();
    waitShown(first, ignored);
    const int pages = preview->pageCount();
    std::printf("preview_bench: %d products on %d pages, best and median of %d changes in ms\n",
                session.doc().productCount(), pages, kRuns);
    std::printf("%-36s %10s %10s   %s\n", "", "best", "median", "target");

    const auto measure = [&](int page, const char* name, double targetMs) {
        preview->pageEdit()->setValue(page);
        QElapsedTimer settle;
        settle.start();
        waitShown(settle, ignored);
        Series s;
        for (int i = 0; i < kRuns; ++i) {
            QElapsedTimer since;
            since.start();
            QElapsedTimer change;
            change.start();
            margin->setValue(margin->value() == 12 ? 13 : 12); // the command, its notifications, the request
            QApplication::processEvents();                     // the request starts: the copy for the worker
            double busy = double(change.nsecsElapsed()) / 1e6;
            double latency = 0;
            busy += waitShown(since, latency);
            s.latency.push_back(latency);
            s.busy.push_back(busy);
        }
        std::printf("%-36s %10.1f %10.1f   %.0f ms %s\n", name, best(s.latency),
                    pw::bench::medianOf(s.latency), targetMs,
                    pw::bench::medianOf(s.latency) < targetMs ? "met" : "MISSED");
        std::printf("%-36s %10.1f %10.1f   10 ms %s\n", "  window thread busy", best(s.busy),
                    pw::bench::medianOf(s.busy), pw::bench::medianOf(s.busy) < 10 ? "met" : "MISSED");
    };
    measure(1, "new picture of page 1", 100);
    measure(pages, "new picture of the last page", 300);
    std::printf("peak memory: %ld MB\n", pw::bench::peakMemoryMb());
    session.edit().SetUnChanged();
    return 0;
}
