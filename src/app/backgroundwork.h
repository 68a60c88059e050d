#pragma once

// Long work away from the window: an export, printing, an import or a command over the
// whole catalogue runs on a worker thread while a modal progress dialog shows how far it
// got ("Seite 3 von 40") and offers "Abbrechen". The window keeps repainting meanwhile,
// and the modal dialog keeps the user from editing the document under the worker.
//
// The work gets a Progress to report to; once "Abbrechen" is pressed its next report
// returns false and the work is expected to stop as it can. A pw::Error thrown by the work
// comes back as the outcome's error; any other exception as a plain text, never a crash.

#include "model/error.h"
#include "model/services.h"

#include <QString>

#include <functional>
#include <optional>

class QProgressDialog;
class QWidget;

namespace pw {

class TranslationStore;

struct WorkOutcome {
    enum class End { Finished, Cancelled, Failed };
    End end = End::Finished;
    std::optional<Error> error; // with Failed
    int done = 0;               // the last count reported
    int total = 0;

    bool finished() const { return end == End::Finished; }
};

// What the progress label counts.
enum class WorkUnit { Pages, Products, Files };

class BackgroundWork {
public:
    // `title` heads the dialog (the command's caption); the label counts `unit`s in the
    // interface language of `texts`.
    BackgroundWork(QWidget* parent, TranslationStore& texts, QString title, WorkUnit unit);

    // Runs `work` on a worker and returns once it has ended. `work` returns false when it
    // stopped because of a cancel.
    WorkOutcome run(const std::function<bool(Progress&)>& work);

    // The dialog of the run in progress, for tests (nullptr between runs). Its object name
    // is "progressDialog".
    static QProgressDialog* current();

private:
    QWidget* m_parent;
    TranslationStore& m_texts;
    QString m_title;
    WorkUnit m_unit;
};

} // namespace pw
