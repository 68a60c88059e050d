#include "app/dialogs/bitmapresolutiondialog.h"

#include "app/dialogs/dialogbuttons.h"

#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace pw {

BitmapResolutionDialog::BitmapResolutionDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TBitmapResolution"));
    setWindowTitle(QStringLiteral("Wählen Sie die Bildauflösung und Qualität"));

    m_resolution = new QDoubleSpinBox(this);
    m_resolution->setObjectName(QStringLiteral("ResEd"));
    m_resolution->setRange(10, 1440);
    m_resolution->setSingleStep(5);
    m_resolution->setDecimals(0);
    m_resolution->setValue(150);
    m_resolution->setSuffix(QStringLiteral(" DPI"));
    auto* presets = new QHBoxLayout;
    for (int dpi : {72, 96, 150, 300}) {
        auto* b = new QPushButton(QStringLiteral("%1 DPI").arg(dpi), this);
        b->setObjectName(QStringLiteral("dpi%1Button").arg(dpi));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, dpi] { m_resolution->setValue(dpi); });
        presets->addWidget(b);
    }

    m_compression = new QDoubleSpinBox(this);
    m_compression->setObjectName(QStringLiteral("CompressEd"));
    m_compression->setRange(0, 100);
    m_compression->setSingleStep(5);
    m_compression->setDecimals(0);
    m_compression->setValue(5);
    auto* note = new QLabel(QStringLiteral("(0 = beste Qualität; 100 = kleinste Datei)"), this);

    auto* form = new QFormLayout;
    auto* resolutionLabel = new QLabel(QStringLiteral("Bild Auflösung"), this);
    resolutionLabel->setBuddy(m_resolution);
    form->addRow(resolutionLabel, m_resolution);
    form->addRow(QString(), presets);
    auto* compressionLabel = new QLabel(QStringLiteral("Bild Komprimierung"), this);
    compressionLabel->setBuddy(m_compression);
    form->addRow(compressionLabel, m_compression);
    form->addRow(QString(), note);

    m_zoom = new QSpinBox(this);
    m_zoom->setObjectName(QStringLiteral("ZoomResEd"));
    m_zoom->setRange(0, 1440);
    m_zoom->setSingleStep(5);
    m_zoom->setSuffix(QStringLiteral(" DPI"));
    m_zoom->setSpecialValueText(QStringLiteral("keine"));
    auto* zoomLabel = new QLabel(QStringLiteral("Scharfe Seiten zum Vergrößern"), this);
    zoomLabel->setBuddy(m_zoom);
    m_zoomLabel = zoomLabel;
    form->addRow(zoomLabel, m_zoom);
    m_zoom->hide();
    zoomLabel->hide();

    m_all = new QRadioButton(QStringLiteral("Alle Seiten exportieren"), this);
    m_all->setObjectName(QStringLiteral("RadioButton1"));
    m_all->setChecked(true);
    m_range = new QRadioButton(QStringLiteral("Ausgewählte Seiten exportieren"), this);
    m_range->setObjectName(QStringLiteral("RadioButton2"));
    const auto pageField = [this](const char* name) {
        auto* s = new QSpinBox(this);
        s->setObjectName(QLatin1String(name));
        s->setRange(1, 1000000);
        s->setValue(1);
        s->setEnabled(false);
        return s;
    };
    m_from = pageField("frompageed");
    m_to = pageField("topageed");
    connect(m_range, &QRadioButton::toggled, m_from, &QWidget::setEnabled);
    connect(m_range, &QRadioButton::toggled, m_to, &QWidget::setEnabled);
    auto* fromLabel = new QLabel(QStringLiteral("Von Seite:"), this);
    fromLabel->setBuddy(m_from);
    auto* toLabel = new QLabel(QStringLiteral("Nach Seite:"), this);
    toLabel->setBuddy(m_to);
    auto* range = new QHBoxLayout;
    range->addSpacing(24);
    range->addWidget(fromLabel);
    range->addWidget(m_from, 1);
    range->addWidget(toLabel);
    range->addWidget(m_to, 1);

    auto* buttons = dialogButtons(this, true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(8);
    layout->addWidget(m_all);
    layout->addWidget(m_range);
    layout->addLayout(range);
    layout->addWidget(buttons);
}

void BitmapResolutionDialog::setResolution(double dpi) {
    m_resolution->setValue(dpi);
}

int BitmapResolutionDialog::resolution() const {
    return int(m_resolution->value());
}

int BitmapResolutionDialog::jpegQuality() const {
    return int(100 - m_compression->value());
}

bool BitmapResolutionDialog::allPages() const {
    return m_all->isChecked();
}

int BitmapResolutionDialog::firstPage() const {
    return m_from->value();
}

int BitmapResolutionDialog::lastPage() const {
    return m_to->value();
}

void BitmapResolutionDialog::setZoomResolution(int dpi) {
    m_zoom->setValue(dpi);
    m_zoom->show();
    m_zoomLabel->show();
}

int BitmapResolutionDialog::zoomResolution() const {
    return m_zoom->isHidden() ? 0 : m_zoom->value();
}

void BitmapResolutionDialog::setRangeEnabled(bool enabled) {
    if (!enabled)
        m_all->setChecked(true);
    m_all->setEnabled(enabled);
    m_range->setEnabled(enabled);
}

} // namespace pw
