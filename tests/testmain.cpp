#include "testmain.h"

#ifdef PW_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

#include <cstring>

namespace pw::test {

namespace {

struct Entry {
    const char* name;
    Factory factory;
};

std::vector<Entry>& registry() {
    static std::vector<Entry> entries;
    return entries;
}

} // namespace

int registerTestClass(const char* name, Factory factory) {
    registry().push_back({name, std::move(factory)});
    return int(registry().size());
}

} // namespace pw::test

// Runs every registered class. "-class Name" runs only that one; other arguments go to
// Qt Test as they are.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TestApplication app(argc, argv);
    const char* only = nullptr;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "-class") == 0 && i + 1 < argc) {
            only = argv[++i];
            continue;
        }
        args.push_back(argv[i]);
    }
    int failures = 0;
    for (const auto& entry : pw::test::registry()) {
        if (only && std::strcmp(only, entry.name) != 0)
            continue;
        const auto object = entry.factory();
        failures += QTest::qExec(object.get(), int(args.size()), args.data());
    }
    return failures == 0 ? 0 : 1;
}
