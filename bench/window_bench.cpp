// window_bench: how quickly the window's "Produkte" tab answers on a long product list.
//
// Writes a catalogue with one category of 10,000 products (long names, descriptions, two
// photos and a six-row variant table each), opens it in the main window on the offscreen
// platform, and times what a user does first: showing the category (the product list of
// 10,000 rows), selecting the last product (the editor, its pictures and its grid), and
// typing ten characters into its name, each keystroke with the repaint it causes. Every
// step runs several times; the table shows the best and the median run. This is a
// measurement, not a test: the exit code is always 0.

#include "app/mainwindow.h"
#include "app/products/productstab.h"
#include "benchsupport.h"
#include "model/catalogfile.h"
#include "model/services.h"
#include "session/catalogsession.h"
#include "windowsupport.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <cstdio>

namespace {

constexpr int kProducts = 10000;
constexpr int kRuns = 7;
constexpr double kTargetMs = 50;

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString file =
        pw::bench::writeCatalogue(dir.path(), QStringLiteral("lang.pk2"), 1, kProducts, "window_bench");
    if (file.isEmpty())
        return 0;

    pw::TranslationStore texts;
    texts.setCollectNewTexts(false);
    pw::bench::SilentPrompts prompts;
    pw::SystemClock clock;
    pw::TMainForm window(pw::bench::windowEnvironment(dir, texts, prompts, clock));
    if (!pw::bench::openInWindow(window, file, "window_bench"))
        return 0;
    pw::ProductsTab& tab = window.productsTab();

    std::printf(
        "window_bench: one category of %d products, best and median of %d runs in ms (target %.0f ms)\n",
        kProducts, kRuns, kTargetMs);
    std::printf("%-40s %10s %10s\n", "", "best", "median");
    const int width = 40;
    const auto settle = [] { QApplication::processEvents(); };

    const pw::bench::Timing show = pw::bench::timeRuns(
        kRuns,
        [&] {
            tab.selectCategory(-1);
            settle();
        },
        [&] {
            tab.selectCategory(0);
            settle();
        });
    pw::bench::printTimingRow("show the category", width, show, kTargetMs);

    const pw::bench::Timing select = pw::bench::timeRuns(
        kRuns,
        [&] {
            tab.selectProducts({0});
            settle();
        },
        [&] {
            tab.selectProducts({kProducts - 1});
            tab.productView()->scrollTo(tab.productView()->currentIndex());
            settle();
        });
    pw::bench::printTimingRow("select the last product", width, select, kTargetMs);

    QPlainTextEdit* name = tab.nameEditor();
    name->setFocus();
    name->moveCursor(QTextCursor::End);
    std::vector<double> perKey;
    const pw::bench::Timing typing = pw::bench::timeRuns(kRuns, {}, [&] {
        for (const QChar c : QStringLiteral("Sonderpost")) {
            QElapsedTimer key;
            key.start();
            QTest::keyClick(name, c.toLatin1());
            settle();
            perKey.push_back(double(key.nsecsElapsed()) / 1e6);
        }
    });
    pw::bench::printTimingRow("type ten characters into the name", width, typing, kTargetMs);
    std::sort(perKey.begin(), perKey.end());
    std::printf("%-40s %10.2f %10.2f\n", "  one keystroke (best, median)", perKey.front(),
                perKey[perKey.size() / 2]);
    const QString typed = window.session().doc().products(0)[kProducts - 1].name;
    std::printf("%-40s %s\n", "  the name now ends", qPrintable(typed.right(20)));
    std::printf("peak memory: %ld MB\n", pw::bench::peakMemoryMb());
    window.session().edit().SetUnChanged(); // closing asks nothing
    return 0;
}
