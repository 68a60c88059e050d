#include "qtservices.h"

#include "i18n/translateunit.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRegularExpression>

namespace pw {

QIcon applicationIcon() {
    return QIcon(QStringLiteral(":/icons/pagewright-256.png"));
}

QString qtFileFilter(const QString& programFilter) {
    const QStringList parts = programFilter.split(QLatin1Char('|'));
    QStringList filters;
    // Pairs of description and patterns; only the description is shown, and Qt reads the
    // patterns from its brackets, separated by spaces.
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        if (description.isEmpty())
            continue;
        const QString patterns = i + 1 < parts.size() ? parts[i + 1].trimmed() : QString();
        const qsizetype open = description.indexOf(QLatin1Char('('));
        if (open < 0 && !patterns.isEmpty())
            description += QStringLiteral(" (") + patterns + QLatin1Char(')');
        description.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters.append(description);
    }
    return filters.join(QStringLiteral(";;"));
}

namespace {

QMessageBox::Icon boxIcon(Prompts::Icon icon) {
    switch (icon) {
    case Prompts::Icon::None:
        return QMessageBox::NoIcon;
    case Prompts::Icon::Information:
        return QMessageBox::Information;
    case Prompts::Icon::Question:
        return QMessageBox::Question;
    case Prompts::Icon::Warning:
        return QMessageBox::Warning;
    case Prompts::Icon::Error:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

QString boxCaption(const QString& caption) {
    return caption.isEmpty() ? QApplication::applicationDisplayName() : caption;
}

Prompts::Answer askWith(QWidget* parent, const QString& text, const QString& caption,
                        Prompts::Buttons buttons, QCheckBox* box) {
    QMessageBox question(QMessageBox::Question, boxCaption(caption), text, QMessageBox::NoButton, parent);
    question.setStandardButtons(buttons == Prompts::Buttons::YesNoCancel
                                    ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel
                                    : QMessageBox::Yes | QMessageBox::No);
    question.setDefaultButton(QMessageBox::Yes);
    question.setEscapeButton(buttons == Prompts::Buttons::YesNoCancel ? QMessageBox::Cancel
                                                                      : QMessageBox::No);
    if (box)
        question.setCheckBox(box);
    const int result = question.exec();
    if (box)
        question.setCheckBox(nullptr); // the caller's box outlives the message box
    if (result == QMessageBox::Yes)
        return Prompts::Answer::Yes;
    if (result == QMessageBox::No)
        return Prompts::Answer::No;
    return buttons == Prompts::Buttons::YesNoCancel ? Prompts::Answer::Cancel : Prompts::Answer::No;
}

} // namespace

Prompts::Answer QtPrompts::ask(const QString& text, const QString& caption, Buttons buttons) {
    return askWith(m_parent, text, caption, buttons, nullptr);
}

Prompts::Answer QtPrompts::askOnce(const QString& text, const QString& caption, Buttons buttons,
                                   bool& dontAskAgain) {
    QCheckBox box(m_texts.TranslateText(QStringLiteral("Nicht mehr fragen")));
    const Answer answer = askWith(m_parent, text, caption, buttons, &box);
    dontAskAgain = box.isChecked();
    return answer;
}

Prompts::Answer QtPrompts::askActions(const QString& text, const QString& caption, const QString& first,
                                      const QString& second) {
    QMessageBox box(QMessageBox::Warning, boxCaption(caption), text, QMessageBox::Cancel, m_parent);
    QPushButton* yes = box.addButton(first, QMessageBox::AcceptRole);
    QPushButton* no = box.addButton(second, QMessageBox::RejectRole);
    box.setDefaultButton(no);
    box.button(QMessageBox::Cancel)->setText(m_texts.TranslateText(QStringLiteral("Abbrechen")));
    box.exec();
    if (box.clickedButton() == yes)
        return Answer::Yes;
    if (box.clickedButton() == no)
        return Answer::No;
    return Answer::Cancel;
}

void QtPrompts::message(const QString& text, const QString& caption, Icon icon) {
    QMessageBox box(boxIcon(icon), boxCaption(caption), text, QMessageBox::Ok, m_parent);
    box.exec();
}

QString QtPrompts::openFileName(const QString& filter) {
    return QFileDialog::getOpenFileName(m_parent, QString(), QString(),
                                        qtFileFilter(m_texts.TranslateText(filter)));
}

QStringList QtPrompts::openFileNames(const QString& filter) {
    return QFileDialog::getOpenFileNames(m_parent, QString(), QString(),
                                         qtFileFilter(m_texts.TranslateText(filter)));
}

QString QtPrompts::saveFileName(const QString& filter, const QString& defaultSuffix) {
    QFileDialog dialog(m_parent, QString(), QString(), qtFileFilter(m_texts.TranslateText(filter)));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    QString suffix = defaultSuffix;
    if (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

QString QtPrompts::saveFileNameInFormat(const QString& filter, int& filterIndex) {
    const QStringList entries = qtFileFilter(m_texts.TranslateText(filter)).split(QStringLiteral(";;"));
    QFileDialog dialog(m_parent, QString(), QString(), entries.join(QStringLiteral(";;")));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const auto suffixOf = [](const QString& entry) {
        // "JPEG (*.jpg *.jpeg)" gives "jpg".
        const qsizetype star = entry.indexOf(QStringLiteral("*."));
        if (star < 0)
            return QString();
        QString rest = entry.mid(star + 2);
        const qsizetype end = rest.indexOf(QRegularExpression(QStringLiteral("[ ;)]")));
        return end < 0 ? rest : rest.left(end);
    };
    if (filterIndex >= 1 && filterIndex <= entries.size()) {
        dialog.selectNameFilter(entries[filterIndex - 1]);
        dialog.setDefaultSuffix(suffixOf(entries[filterIndex - 1]));
    }
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, suffixOf](const QString& entry) { dialog.setDefaultSuffix(suffixOf(entry)); });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const int chosen = int(entries.indexOf(dialog.selectedNameFilter()));
    if (chosen >= 0)
        filterIndex = chosen + 1;
    return dialog.selectedFiles().first();
}

QString QtPrompts::folderName(const QString& caption) {
    return QFileDialog::getExistingDirectory(m_parent, caption);
}

// ---- Progress

QtProgress::QtProgress(QWidget* parent, const QString& caption, const QString& cancelText)
    : m_dialog(caption, cancelText, 0, 0, parent) {
    m_dialog.setWindowTitle(boxCaption(QString()));
    m_dialog.setWindowModality(Qt::WindowModal);
    m_dialog.setMinimumDuration(500);
    m_dialog.setAutoClose(false);
    m_dialog.setAutoReset(false);
}

bool QtProgress::report(int done, int total) {
    if (m_dialog.maximum() != total)
        m_dialog.setMaximum(total);
    m_dialog.setValue(done);
    QCoreApplication::processEvents();
    return !m_dialog.wasCanceled();
}

// ---- Printer

namespace {

bool noPrinterInstalled() {
    return QPrinterInfo::availablePrinters().isEmpty();
}

constexpr int kFallbackDpi = 600;

} // namespace

QtPrinterPage::QtPrinterPage(QPrinter& printer) : m_printer(printer) {
    if (noPrinterInstalled()) {
        m_printer.setPageSize(QPageSize(QPageSize::A4));
        m_printer.setResolution(kFallbackDpi);
    }
}

QtPrinterPage::~QtPrinterPage() {
    if (m_canvas)
        abortJob();
}

QSize QtPrinterPage::pageSizePixels() const {
    if (noPrinterInstalled())
        return {4960, 7016};
    return m_printer.pageLayout().paintRectPixels(m_printer.resolution()).size();
}

int QtPrinterPage::dpiX() const {
    return noPrinterInstalled() ? kFallbackDpi : m_printer.resolution();
}

int QtPrinterPage::dpiY() const {
    return dpiX();
}

bool QtPrinterPage::beginJob(const QString& title) {
    m_printer.setDocName(title);
    m_canvas.emplace(&m_printer, true); // a printer takes whole pictures
    if (!m_canvas->painter()) {
        m_canvas.reset();
        return false;
    }
    return true;
}

bool QtPrinterPage::newPage() {
    return m_canvas && m_printer.newPage();
}

bool QtPrinterPage::endJob() {
    if (!m_canvas)
        return false;
    m_canvas.reset(); // ends the painting, which sends the job
    return true;
}

void QtPrinterPage::abortJob() {
    m_printer.abort();
    m_canvas.reset();
}

Canvas& QtPrinterPage::canvas() {
    return *m_canvas;
}

} // namespace pw
