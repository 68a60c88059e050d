#include "app/dialogs/pricesdialog.h"

#include "app/dialogs/dialogbuttons.h"

#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace pw {

namespace {

struct ModeChoice {
    const char* name;
    const char* caption;
    PriceChange mode;
};
const ModeChoice kModes[] = {
    {"RadioButton1", "Preise um Prozentsatz erhöhen", PriceChange::IncreasePercent},
    {"RadioButton2", "Preise um Prozentsatz verringern", PriceChange::DecreasePercent},
    {"RadioButton3", "Preise um festen Betrag erhöhen", PriceChange::IncreaseAmount},
    {"RadioButton4", "Preise um festen Betrag verringern", PriceChange::DecreaseAmount},
};

} // namespace

PricesDialog::PricesDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TPreiseForm"));
    setWindowTitle(QStringLiteral("Alle Preise ändern"));
    const auto number = [this](const char* name) {
        auto* s = new QDoubleSpinBox(this);
        s->setObjectName(QLatin1String(name));
        s->setRange(-10000, 10000);
        s->setDecimals(2);
        s->setValue(0);
        return s;
    };
    m_percent = number("ProzentEd");
    m_amount = number("BetragEd");
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Prozentsatz:"), m_percent);
    form->addRow(QStringLiteral("Betrag:"), m_amount);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    for (int i = 0; i < 4; ++i) {
        m_modes[i] = new QRadioButton(QString::fromUtf8(kModes[i].caption), this);
        m_modes[i]->setObjectName(QLatin1String(kModes[i].name));
        layout->addWidget(m_modes[i]);
    }
    m_modes[0]->setChecked(true);
    auto* note =
        new QLabel(QStringLiteral("Bitte überprüfen Sie, ob die korrekte Anzahl der Preisspalten für "
                                  "alle Produkte eingestellt ist."),
                   this);
    note->setWordWrap(true);
    layout->addWidget(note);
    auto* buttons = dialogButtons(this, true);
    layout->addWidget(buttons);
    setMinimumWidth(400);
}

PriceChange PricesDialog::mode() const {
    for (int i = 0; i < 4; ++i)
        if (m_modes[i]->isChecked())
            return kModes[i].mode;
    return PriceChange::IncreasePercent;
}

double PricesDialog::value() const {
    const PriceChange m = mode();
    return m == PriceChange::IncreasePercent || m == PriceChange::DecreasePercent ? m_percent->value()
                                                                                  : m_amount->value();
}

} // namespace pw
