#pragma once

// "Preisliste": the price list in a fixed-pitch font, with OK, "Drucken" and "Drucker
// einrichten..." above it. Printing and the printer set-up are the caller's (they need its
// printer); the dialog calls them back.

#include <QDialog>

#include <functional>
#include <memory>

class QTextDocument;
class QTextEdit;

namespace pw {

class PriceListDialog : public QDialog {
    Q_OBJECT
public:
    // Takes the document to show; `print` and `setUp` run when their buttons are pressed.
    PriceListDialog(std::unique_ptr<QTextDocument> document, std::function<void(QTextDocument&)> print,
                    std::function<void()> setUp, QWidget* parent = nullptr);
    ~PriceListDialog() override;
    QTextEdit* text() const { return m_text; }

private:
    std::unique_ptr<QTextDocument> m_document;
    QTextEdit* m_text;
};

} // namespace pw
