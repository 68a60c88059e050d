#pragma once

// "Wählen Sie die Bildauflösung und Qualität": the resolution and JPEG compression of the
// page pictures and of the flip catalogue, and which pages to export. The resolution runs
// from 10 to 1440 DPI in steps of 5 with four buttons for the usual ones; the compression
// from 0 (best quality) to 100 (smallest file) in steps of 5. The flip catalogue always
// exports every page: it switches the range off, and asks in addition for the resolution of
// its sharp pages (0 to 1440 DPI in steps of 5, 0 for none), a field the page pictures do
// not show.

#include <QDialog>

class QDoubleSpinBox;
class QRadioButton;
class QSpinBox;

namespace pw {

class BitmapResolutionDialog : public QDialog {
    Q_OBJECT
public:
    explicit BitmapResolutionDialog(QWidget* parent = nullptr);

    void setResolution(double dpi);
    int resolution() const;  // whole DPI
    int jpegQuality() const; // 100 - compression
    bool allPages() const;
    int firstPage() const;
    int lastPage() const;
    // Off: "Alle Seiten exportieren" chosen and both choices disabled.
    void setRangeEnabled(bool enabled);
    // Shows the field of the sharp pages with `dpi` in it.
    void setZoomResolution(int dpi);
    int zoomResolution() const; // whole DPI, 0 for none

private:
    QDoubleSpinBox* m_resolution;
    QDoubleSpinBox* m_compression;
    QSpinBox* m_zoom;
    QWidget* m_zoomLabel;
    QRadioButton* m_all;
    QRadioButton* m_range;
    QSpinBox* m_from;
    QSpinBox* m_to;
};

} // namespace pw
