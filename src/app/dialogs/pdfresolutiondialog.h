#pragma once

// "PDF Auflösung einstellen...": the resolution the PDF export renders its pages at, in
// dots per inch, 10 to 4000 (the export uses the whole-number part). One OK button; closing
// the dialog any other way keeps the value it had.

#include <QDialog>

class QDoubleSpinBox;

namespace pw {

class PdfResolutionDialog : public QDialog {
    Q_OBJECT
public:
    explicit PdfResolutionDialog(double dpi, QWidget* parent = nullptr);
    double value() const;

private:
    QDoubleSpinBox* m_dpi;
};

} // namespace pw
