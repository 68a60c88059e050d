#pragma once

// The core's services in the window: questions and messages as message boxes, file choice
// as file dialogs, progress as a progress dialog that can cancel.

#include "compose/canvas.h"
#include "model/services.h"

#include <QIcon>
#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <QWidget>

#include <optional>

class QPrinter;

namespace pw {

// The program's file filters ("Description (*.a;*.b)|*.a;*.b", several pairs joined by
// "|") in the form Qt's file dialogs take ("Description (*.a *.b)", joined by ";;").
QString qtFileFilter(const QString& programFilter);

// The program's icon for its windows: the 256-pixel drawing of packaging/pagewright.svg,
// built into the program.
QIcon applicationIcon();

class TranslationStore;

class QtPrompts final : public Prompts {
public:
    // `texts` translates the few words the boxes add themselves ("Nicht mehr fragen"); it
    // must outlive the prompts.
    explicit QtPrompts(TranslationStore& texts, QWidget* parent = nullptr)
        : m_texts(texts), m_parent(parent) {}
    // The window the boxes and dialogs belong to (they are modal to it).
    void setParentWidget(QWidget* parent) { m_parent = parent; }

    Answer ask(const QString& text, const QString& caption, Buttons buttons) override;
    Answer askOnce(const QString& text, const QString& caption, Buttons buttons, bool& dontAskAgain) override;
    Answer askActions(const QString& text, const QString& caption, const QString& first,
                      const QString& second) override;
    void message(const QString& text, const QString& caption, Icon icon) override;
    // The save dialog asks before replacing a file and appends `defaultSuffix` (with or
    // without its dot) to a name typed without extension.
    QString openFileName(const QString& filter) override;
    QStringList openFileNames(const QString& filter) override;
    QString saveFileName(const QString& filter, const QString& defaultSuffix) override;
    // A name typed without extension gets the chosen entry's first one.
    QString saveFileNameInFormat(const QString& filter, int& filterIndex) override;
    QString folderName(const QString& caption) override;

private:
    TranslationStore& m_texts;
    QPointer<QWidget> m_parent;
};

// A window-modal progress dialog with a Cancel button, shown when the work takes longer
// than half a second. report() keeps the window repainting and returns false once Cancel
// was pressed.
class QtProgress final : public Progress {
public:
    QtProgress(QWidget* parent, const QString& caption, const QString& cancelText);
    bool report(int done, int total) override;
    QProgressDialog& dialog() { return m_dialog; }

private:
    QProgressDialog m_dialog;
};

// A printer as the print commands see it. Without an installed printer (Qt then writes a
// PDF file instead) the page is A4 at 600 pixels per inch, 4960 x 7016 pixels.
class QtPrinterPage final : public PrinterPage {
public:
    // `printer` must outlive this object.
    explicit QtPrinterPage(QPrinter& printer);
    ~QtPrinterPage() override;

    QSize pageSizePixels() const override;
    int dpiX() const override;
    int dpiY() const override;
    bool beginJob(const QString& title) override;
    bool newPage() override;
    bool endJob() override;
    void abortJob() override;
    Canvas& canvas() override;

private:
    QPrinter& m_printer;
    std::optional<PainterCanvas> m_canvas;
};

} // namespace pw
