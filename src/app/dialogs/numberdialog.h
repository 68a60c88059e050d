#pragma once

// One whole number asked for with OK and "Abbrechen": the page of "Einzelne Seite
// drucken..." ("Eine Seite drucken...", "Seite:", 1 to 1000000) and the column of
// "Varianten aller Produkte sortieren..." ("Sortieren nach Spalte Nr.:", 1 to 10000).

#include <QDialog>

class QSpinBox;

namespace pw {

struct NumberDialogSpec {
    const char* objectName; // TPrintOnePageForm, TSortierenForm
    const char* caption;
    const char* label;
    const char* fieldName; // PageEd, SpalteEd
    int lowest;
    int highest;
};

inline constexpr NumberDialogSpec kPrintOnePageDialog{
    "TPrintOnePageForm", "Eine Seite drucken...", "Seite:", "PageEd", 1, 1000000};
inline constexpr NumberDialogSpec kSortVariantsDialog{"TSortierenForm",
                                                      "Varianten aller Produkte sortieren",
                                                      "Sortieren nach Spalte Nr.:",
                                                      "SpalteEd",
                                                      1,
                                                      10000};

class NumberDialog : public QDialog {
    Q_OBJECT
public:
    NumberDialog(const NumberDialogSpec& spec, int value, QWidget* parent = nullptr);
    int value() const;

private:
    QSpinBox* m_value;
};

} // namespace pw
