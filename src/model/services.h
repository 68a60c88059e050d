#pragma once

// The services the core asks of a front end. The window program implements them with
// dialogs and a real printer, the command-line tool with options and stderr, and tests
// with scripted answers. The core never creates a widget itself.

#include <QDate>
#include <QSize>
#include <QString>
#include <QStringList>

namespace pw {

class Canvas;

// Questions, messages and file choice. Texts passed in are already in the interface
// language (they come from the message table through the translation store).
class Prompts {
public:
    enum class Answer { Yes, No, Cancel };
    enum class Buttons { YesNo, YesNoCancel };
    enum class Icon { None, Information, Question, Warning, Error };

    virtual ~Prompts() = default;
    virtual Answer ask(const QString& text, const QString& caption, Buttons buttons) = 0;
    // The same question with a check box "Nicht mehr fragen" below it; `dontAskAgain`
    // tells whether it was ticked. Front ends without such a box ask plainly.
    virtual Answer askOnce(const QString& text, const QString& caption, Buttons buttons, bool& dontAskAgain) {
        dontAskAgain = false;
        return ask(text, caption, buttons);
    }
    // A question answered by one of two actions named on its buttons (texts in the
    // interface language): Yes for `first`, No for `second`, Cancel when the question is
    // closed. Front ends without such buttons ask a plain Yes/No/Cancel question.
    virtual Answer askActions(const QString& text, const QString& caption, const QString& first,
                              const QString& second) {
        (void)first;
        (void)second;
        return ask(text, caption, Buttons::YesNoCancel);
    }
    virtual void message(const QString& text, const QString& caption, Icon icon) = 0;
    // Returns an empty string when the user cancels. The filter uses the
    // "Description (*.a;*.b)|*.a;*.b" form of the program's file dialogs.
    virtual QString openFileName(const QString& filter) = 0;
    // Several files at once, in the order chosen; empty when the user cancels. Front ends
    // without such a dialog offer one file.
    virtual QStringList openFileNames(const QString& filter) {
        const QString one = openFileName(filter);
        return one.isEmpty() ? QStringList() : QStringList{one};
    }
    virtual QString saveFileName(const QString& filter, const QString& defaultSuffix) = 0;
    // A save dialog whose filter entry matters (the picture format): `filterIndex` (1-based)
    // is the entry chosen first and, on return, the one the user chose. Front ends without
    // a choice of entries keep the index and ask plainly.
    virtual QString saveFileNameInFormat(const QString& filter, int& filterIndex) {
        (void)filterIndex;
        return saveFileName(filter, QString());
    }
    virtual QString folderName(const QString& caption) = 0;
};

// Progress of a long operation. report() is called once before the first step (done 0)
// and after each step; returning false asks the operation to stop as soon as it can,
// leaving everything it has not yet written untouched.
class Progress {
public:
    virtual ~Progress() = default;
    virtual bool report(int done, int total) = 0;
};

// A Progress that never cancels and shows nothing.
class NoProgress final : public Progress {
public:
    bool report(int, int) override { return true; }
};

// Today's date, so that "%DATE%" and friends give the same output for the same input.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
};

class SystemClock final : public Clock {
public:
    QDate today() const override { return QDate::currentDate(); }
};

class FixedClock final : public Clock {
public:
    explicit FixedClock(QDate date) : m_date(date) {}
    QDate today() const override { return m_date; }

private:
    QDate m_date;
};

// A printer as the print commands see it: pages of a fixed size in device pixels at a
// resolution, drawn through a canvas. The default when no printer exists is A4 at
// 600 pixels per inch (4960 x 7016 pixels).
class PrinterPage {
public:
    virtual ~PrinterPage() = default;
    virtual QSize pageSizePixels() const = 0;
    virtual int dpiX() const = 0;
    virtual int dpiY() const = 0;
    // Starts a job; returns false when the printer refuses it (nothing has been printed).
    virtual bool beginJob(const QString& title) = 0;
    virtual bool newPage() = 0;
    virtual bool endJob() = 0;
    virtual void abortJob() = 0;
    // The surface of the current page; valid between beginJob() and endJob().
    virtual Canvas& canvas() = 0;
};

} // namespace pw
