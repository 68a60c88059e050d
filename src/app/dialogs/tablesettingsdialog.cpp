#include "tablesettingsdialog.h"

#include "app/dialogs/dialogbuttons.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace pw {

namespace {

QDoubleSpinBox* lengthBox(double mm, const QString& name, QWidget* parent) {
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(name);
    box->setRange(0, kMaxTableLengthMm);
    box->setDecimals(2);
    box->setSuffix(QStringLiteral(" mm"));
    box->setValue(mm);
    return box;
}

} // namespace

TableSettingsDialog::TableSettingsDialog(const ProductTableSettings& s, QWidget* parent)
    : QDialog(parent), m_original(s) {
    setObjectName(QStringLiteral("TTableSettingsForm"));
    setWindowTitle(QStringLiteral("Tabellen Einstellungen..."));
    m_overWrite = new QCheckBox(
        QStringLiteral("Die Einstellungen für dieses Produkt überschreiben die Voreinstellungen"), this);
    m_overWrite->setObjectName(QStringLiteral("OverWriteCheck"));
    m_overWrite->setChecked(s.OverWrite);
    m_fixedWidth = new QCheckBox(QStringLiteral("Feste Breite für die Tabellenzellen definieren:"), this);
    m_fixedWidth->setObjectName(QStringLiteral("DefineFixedWidthCheck"));
    m_fixedWidth->setChecked(s.DefineFixedWidth);

    // Columns 1 to 5 in RxSpinEdit1..5, 6 to 10 in RxSpinEdit7..11 (6 is the row height).
    auto* columns = new QGridLayout;
    for (int c = 0; c < 10; ++c) {
        const int edit = c < 5 ? c + 1 : c + 2;
        m_columns[std::size_t(c)] =
            lengthBox(s.ColWidth[std::size_t(c)], QStringLiteral("RxSpinEdit%1").arg(edit), this);
        auto* label = new QLabel(QStringLiteral("%1. Spalte:").arg(c + 1), this);
        label->setBuddy(m_columns[std::size_t(c)]);
        const int half = c / 5;
        columns->addWidget(label, c % 5, half * 2);
        columns->addWidget(m_columns[std::size_t(c)], c % 5, half * 2 + 1);
    }
    columns->setColumnMinimumWidth(2, 120);

    m_fixedHeight = new QCheckBox(QStringLiteral("Feste Höhe für die Tabellenzellen definieren:"), this);
    m_fixedHeight->setObjectName(QStringLiteral("DefineFixedHeightCheck"));
    m_fixedHeight->setChecked(s.DefineFixedHeight);
    m_rowHeight = lengthBox(s.RowHeight, QStringLiteral("RxSpinEdit6"), this);
    auto* rowLabel = new QLabel(QStringLiteral("Zeilenhöhe:"), this);
    rowLabel->setBuddy(m_rowHeight);
    m_tableWidth = new QCheckBox(QStringLiteral("Feste Breite für die ganze Tabelle definieren:"), this);
    m_tableWidth->setObjectName(QStringLiteral("FixWidthForTableCheck"));
    m_tableWidth->setChecked(s.FixWidthForTable);
    m_width = lengthBox(s.FixedWidthForTable, QStringLiteral("FixedWidthForTableEd"), this);
    auto* widthLabel = new QLabel(QStringLiteral("Breite:"), this);
    widthLabel->setBuddy(m_width);

    auto* height = new QFormLayout;
    height->addRow(rowLabel, m_rowHeight);
    auto* width = new QFormLayout;
    width->addRow(widthLabel, m_width);

    auto* buttons = dialogButtons(this, false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_overWrite);
    layout->addSpacing(8);
    layout->addWidget(m_fixedWidth);
    layout->addLayout(columns);
    layout->addSpacing(8);
    layout->addWidget(m_fixedHeight);
    layout->addLayout(height);
    layout->addSpacing(8);
    layout->addWidget(m_tableWidth);
    layout->addLayout(width);
    layout->addWidget(buttons);
}

double TableSettingsDialog::shown(const QDoubleSpinBox* box, double original) {
    return box->value() == box->valueFromText(box->textFromValue(original)) ? original : box->value();
}

ProductTableSettings TableSettingsDialog::values() const {
    ProductTableSettings s;
    s.OverWrite = m_overWrite->isChecked();
    s.DefineFixedWidth = m_fixedWidth->isChecked();
    s.DefineFixedHeight = m_fixedHeight->isChecked();
    s.FixWidthForTable = m_tableWidth->isChecked();
    for (std::size_t c = 0; c < m_columns.size(); ++c)
        s.ColWidth[c] = shown(m_columns[c], m_original.ColWidth[c]);
    s.RowHeight = shown(m_rowHeight, m_original.RowHeight);
    s.FixedWidthForTable = shown(m_width, m_original.FixedWidthForTable);
    return s;
}

} // namespace pw
