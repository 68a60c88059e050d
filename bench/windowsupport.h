#pragma once

// What the window benchmarks share: a main window whose files all live in one temporary
// folder, that asks no start-up question and writes no recovery copy while it is timed.

#include "app/mainwindow.h"

#include <QTemporaryDir>

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

} // namespace pw::bench
