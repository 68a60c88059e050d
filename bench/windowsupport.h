#pragma once

// What the window benchmarks share: a main window whose files all live in one temporary
// folder, that asks no start-up question and writes no recovery copy while it is timed.

#include "app/mainwindow.h"

#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace pw::bench {

inline WindowEnvironment windowEnvironment(const QTemporaryDir& dir, TranslationStore& texts,
                                           Prompts& prompts, const Clock& clock) {
    WindowEnvironment env;
    env.texts = &texts;
    env.prompts = &prompts;
    env.clock = &clock;
    env.folders =
        ProgramFolders(dir.filePath(QStringLiteral("programm")), dir.filePath(QStringLiteral("nutzer")));
    env.workingFolder = dir.path();
    env.recoveryFolder = dir.filePath(QStringLiteral("nutzer/daten"));
    env.sampleQuestionDelayMs = 60 * 60 * 1000;
    env.recoveryIntervalMs = 60 * 60 * 1000;
    return env;
}

// Shows the window with `file` open, as the program does with a file named on its command
// line. Prints why and returns false when the catalogue did not open.
inline bool openInWindow(TMainForm& window, const QString& file, const char* bench) {
    window.resize(1200, 850);
    window.setCommandLineFile(file);
    window.show();
    QTest::qWait(50);
    if (window.session().doc().categoryCount() == 0) {
        std::printf("%s: the catalogue did not open\n", bench);
        return false;
    }
    return true;
}

} // namespace pw::bench
