#include "app/backgroundwork.h"

#include "i18n/translateunit.h"

#include <QEventLoop>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <exception>
#include <memory>
#include <new>

namespace pw {

namespace {

QPointer<QProgressDialog> g_current;

// The counts the worker reports, read by the window's timer; the cancel flag set by the
// dialog's button, read by the worker at its next report.
class SharedProgress final : public Progress {
public:
    bool report(int done, int total) override {
        m_done.store(done);
        m_total.store(total);
        return !m_cancelled.load();
    }
    void cancel() { m_cancelled.store(true); }
    int done() const { return m_done.load(); }
    int total() const { return m_total.load(); }

private:
    std::atomic<int> m_done{0};
    std::atomic<int> m_total{0};
    std::atomic<bool> m_cancelled{false};
};

// How often the dialog reads the counts; well below the 100 ms a user notices.
constexpr int kPollMs = 40;
// Work that ends sooner shows no dialog at all.
constexpr int kShowAfterMs = 400;

} // namespace

BackgroundWork::BackgroundWork(QWidget* parent, TranslationStore& texts, QString title, WorkUnit unit)
    : m_parent(parent), m_texts(texts), m_title(std::move(title)), m_unit(unit) {}

QProgressDialog* BackgroundWork::current() {
    return g_current.data();
}

WorkOutcome BackgroundWork::run(const std::function<bool(Progress&)>& work) {
    SharedProgress progress;
    WorkOutcome outcome;
    // Written by the worker before it ends, read here after it has ended.
    bool completed = false;
    std::optional<Error> error;

    std::unique_ptr<QThread> thread(QThread::create([&] {
        try {
            completed = work(progress);
        } catch (const Error& e) {
            error = e;
        } catch (const std::bad_alloc&) {
            error = Error::text(QStringLiteral("Nicht genug Arbeitsspeicher für diesen Befehl."));
        } catch (const std::exception& e) {
            error = Error::text(QString::fromLocal8Bit(e.what()));
        }
    }));

    QProgressDialog dialog(m_parent);
    dialog.setObjectName(QStringLiteral("progressDialog"));
    dialog.setWindowTitle(m_title);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setMinimumDuration(kShowAfterMs);
    dialog.setMinimumWidth(360);
    dialog.setRange(0, 0); // busy until the first count comes
    dialog.setCancelButtonText(m_texts.TranslateText(QStringLiteral("Abbrechen")));
    const QString unitText = m_unit == WorkUnit::Pages      ? QStringLiteral("Seite %1 von %2")
                             : m_unit == WorkUnit::Products ? QStringLiteral("Produkt %1 von %2")
                                                            : QStringLiteral("Datei %1 von %2");
    const QString format = m_texts.TranslateText(unitText);
    const QString starting = m_texts.TranslateText(QStringLiteral("Bitte warten..."));
    dialog.setLabelText(starting);
    QObject::connect(&dialog, &QProgressDialog::canceled, &dialog, [&] {
        progress.cancel();
        dialog.setLabelText(m_texts.TranslateText(QStringLiteral("Wird abgebrochen...")));
    });
    g_current = &dialog;

    QEventLoop loop;
    QTimer poll;
    poll.setInterval(kPollMs);
    QObject::connect(&poll, &QTimer::timeout, &dialog, [&] {
        if (dialog.wasCanceled()) {
            progress.cancel(); // also when cancel() was called without the button
            return;
        }
        const int total = progress.total();
        const int done = progress.done();
        if (total <= 0)
            return;
        if (dialog.maximum() != total)
            dialog.setMaximum(total);
        dialog.setValue(std::min(done, total));
        // The page being worked on: one past those done, never past the last.
        dialog.setLabelText(format.arg(std::min(done + 1, total)).arg(total));
    });
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    poll.start();
    thread->start();
    loop.exec();
    thread->wait();
    poll.stop();
    g_current = nullptr;

    outcome.done = progress.done();
    outcome.total = progress.total();
    if (error) {
        outcome.end = WorkOutcome::End::Failed;
        outcome.error = std::move(error);
    } else if (!completed) {
        outcome.end = WorkOutcome::End::Cancelled;
    }
    return outcome;
}

} // namespace pw
