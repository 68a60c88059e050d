#pragma once

// Every test class of a folder registers itself here; the folder's executable runs them all.

#include <QObject>
#include <QtTest>

#include <functional>
#include <memory>
#include <vector>

namespace pw::test {

using Factory = std::function<std::unique_ptr<QObject>()>;
int registerTestClass(const char* name, Factory factory);

} // namespace pw::test

#define PW_TEST_CLASS(Class)                                                                                 \
    static const int pw_registered_##Class = pw::test::registerTestClass(                                    \
        #Class, []() -> std::unique_ptr<QObject> { return std::make_unique<Class>(); });
