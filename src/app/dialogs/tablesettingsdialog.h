#pragma once

// "Tabellen Einstellungen...": a product's own variant-table settings. One OK button;
// however the dialog is closed, values() gives what it shows.

#include "model/catalog.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QDoubleSpinBox;

namespace pw {

class TableSettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit TableSettingsDialog(const ProductTableSettings& settings, QWidget* parent = nullptr);
    ProductTableSettings values() const;

private:
    // A length the box shows rounded comes back as it was, unless the user changed it.
    static double shown(const QDoubleSpinBox* box, double original);

    ProductTableSettings m_original;
    QCheckBox* m_overWrite;
    QCheckBox* m_fixedWidth;
    QCheckBox* m_fixedHeight;
    QCheckBox* m_tableWidth;
    std::array<QDoubleSpinBox*, 10> m_columns{};
    QDoubleSpinBox* m_rowHeight;
    QDoubleSpinBox* m_width;
};

} // namespace pw
