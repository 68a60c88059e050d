// edit_bench: how long the bulk price change and the search and replace in all variant
// tables take on a large catalogue.
//
// Generates 10 categories of 1,000 products (10,000 in all), each with six rows of four
// cells whose last two are prices written with a decimal comma. The price change raises
// every price by 10 % (German number format); the search and replace rewrites the article
// numbers in every data row (50,000 cells). Both record their undo step as the window
// would. Each runs several times on a fresh copy of the catalogue; the table shows the
// best and the median run. This is a measurement, not a test: the exit code is always 0.

#include "benchsupport.h"
#include "model/bulkoperations.h"

#include <QCoreApplication>
#include <QLocale>

#include <cstdio>
#include <memory>

namespace {

constexpr int kCategories = 10;
constexpr int kProductsPerCategory = 1000;
constexpr int kRuns = 5;
constexpr double kTargetMs = 500;

pw::CatalogDocument generate() {
    pw::CatalogDocument doc;
    for (int k = 0; k < kCategories; ++k)
        pw::bench::addCategory(doc, k, kProductsPerCategory, QStringLiteral("a.jpg"),
                               QStringLiteral("b.jpg"));
    // Plain numbers in the price cells, so that every one of them is changed.
    for (int k = 0; k < doc.categoryCount(); ++k) {
        for (pw::TProdukt& p : doc.products(k)) {
            for (int r = 1; r < p.varianten.count(); ++r) {
                for (int c = 2; c < 4; ++c)
                    p.varianten[r].props[c].text = QStringLiteral("%1,95").arg(r * 10 + c);
            }
        }
    }
    return doc;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const pw::CatalogDocument original = generate();
    const QLocale german(QLocale::German, QLocale::Germany);
    std::printf("edit_bench: %d products, best and median of %d runs in ms (target %.0f ms)\n",
                original.productCount(), kRuns, kTargetMs);

    std::unique_ptr<pw::CatalogDocument> doc;
    std::unique_ptr<pw::EditContext> ctx;
    auto fresh = [&] {
        ctx.reset();
        doc = std::make_unique<pw::CatalogDocument>(original);
        ctx = std::make_unique<pw::EditContext>(*doc);
    };
    int changed = 0;
    const pw::bench::Timing prices = pw::bench::timeRuns(kRuns, fresh, [&] {
        changed = pw::changeAllPrices(*ctx, pw::PriceChange::IncreasePercent, 10, german).changed;
    });
    pw::bench::printTimingRow("price change +10 %", 28, prices, kTargetMs);
    std::printf("  %d price cells changed\n", changed);

    int written = 0;
    const pw::bench::Timing replace = pw::bench::timeRuns(kRuns, fresh, [&] {
        written = pw::replaceInAllTables(*ctx, QStringLiteral("WZ-"), QStringLiteral("AB-"));
    });
    pw::bench::printTimingRow("search and replace", 28, replace, kTargetMs);
    std::printf("  %d cells written\n", written);
    return 0;
}
