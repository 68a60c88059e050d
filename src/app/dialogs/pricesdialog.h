#pragma once

// "Alle Preise ändern": a percentage or an amount (each -10000 to 10000) and which of the
// four changes to make, with a reminder to check the price-column counts first.

#include "model/bulkoperations.h"

#include <QDialog>

class QDoubleSpinBox;
class QRadioButton;

namespace pw {

class PricesDialog : public QDialog {
    Q_OBJECT
public:
    explicit PricesDialog(QWidget* parent = nullptr);
    PriceChange mode() const;
    // The percentage for the two changes by percentage, else the amount.
    double value() const;

private:
    QDoubleSpinBox* m_percent;
    QDoubleSpinBox* m_amount;
    QRadioButton* m_modes[4];
};

} // namespace pw
