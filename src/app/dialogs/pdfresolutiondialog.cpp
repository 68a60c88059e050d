#include "pdfresolutiondialog.h"

#include "app/dialogs/dialogbuttons.h"

#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace pw {

PdfResolutionDialog::PdfResolutionDialog(double dpi, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TPDFAuflForm"));
    setWindowTitle(QStringLiteral("PDF Auflösung einstellen..."));
    auto* label = new QLabel(QStringLiteral("Auflösung:"), this);
    m_dpi = new QDoubleSpinBox(this);
    m_dpi->setObjectName(QStringLiteral("DPIEd"));
    m_dpi->setRange(10, 4000);
    m_dpi->setDecimals(0);
    m_dpi->setValue(dpi);
    label->setBuddy(m_dpi);
    auto* unit = new QLabel(QStringLiteral("DPI"), this);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_dpi, 1);
    row->addWidget(unit);
    auto* buttons = dialogButtons(this, false);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    setMinimumWidth(320);
}

double PdfResolutionDialog::value() const {
    return m_dpi->value();
}

} // namespace pw
