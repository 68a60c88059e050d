#include "settingcontrols.h"

#include "i18n/translateunit.h"
#include "model/editcommands.h"
#include "model/error.h"
#include "model/services.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QSpinBox>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace pw {

namespace {

using P = SettingsPage;

const std::array<SettingControlInfo, 17> kControls{{
    {"DefineFixedWidthCheck", P::Presets, "Feste Breite für die Tabellenzellen definieren:"},
    {"RxSpinEdit1", P::Presets, "1. Spalte:"},
    {"RxSpinEdit2", P::Presets, "2. Spalte:"},
    {"RxSpinEdit3", P::Presets, "3. Spalte:"},
    {"RxSpinEdit4", P::Presets, "4. Spalte:"},
    {"RxSpinEdit5", P::Presets, "5. Spalte:"},
    {"RxSpinEdit7", P::Presets, "6. Spalte:"},
    {"RxSpinEdit8", P::Presets, "7. Spalte:"},
    {"RxSpinEdit9", P::Presets, "8. Spalte:"},
    {"RxSpinEdit10", P::Presets, "9. Spalte:"},
    {"RxSpinEdit11", P::Presets, "10. Spalte:"},
    {"DefineFixedHeightCheck", P::Presets, "Feste Höhe für die Tabellenzellen definieren:"},
    {"RxSpinEdit6", P::Presets, "Zeilenhöhe:"},
    {"FixWidthForTableCheck", P::Presets, "Feste Breite für die ganze Tabelle definieren:"},
    {"FixedWidthForTableEd", P::Presets, "Breite:"},
    {"DefMaxCellWidthCheck", P::Presets, "Maximale Breite für Tabellenzelle definieren:"},
    {"MaxCellWidthEd", P::Presets, "Breite:"},
}};

const SettingControlInfo& controlInfo(const char* name) {
    const auto it = std::find_if(kControls.begin(), kControls.end(),
                                 [&](const SettingControlInfo& c) { return qstrcmp(c.name, name) == 0; });
    if (it == kControls.end())
        qFatal("SettingsBinder: no control row for %s", name); // a programming error
    return *it;
}

int decimalsFor(const SettingInfo& s) {
    return s.step > 0 && s.step < 1 ? 2 : 1;
}

} // namespace

std::span<const SettingControlInfo> settingControlsTable() {
    return kControls;
}

SettingsBinder::SettingsBinder(EditContext& edit, Prompts& prompts, TranslationStore& texts, QObject* parent)
    : QObject(parent), m_edit(edit), m_prompts(prompts), m_texts(texts) {
    m_edit.addObserver(this);
}

SettingsBinder::~SettingsBinder() {
    m_edit.removeObserver(this);
}

QWidget* SettingsBinder::makeControl(const char* name, QWidget* parent, QLabel** label) {
    const SettingControlInfo& info = controlInfo(name);
    const SettingInfo* setting = findSetting(QString::fromLatin1(name));
    if (!setting)
        qFatal("SettingsBinder: no setting %s", name);
    const QString caption = QString::fromUtf8(info.caption);
    QWidget* control = nullptr;
    switch (setting->kind) {
    case SettingKind::Flag: {
        auto* box = new QCheckBox(caption, parent);
        connect(box, &QCheckBox::toggled, this, [this, setting](bool on) { userChanged(*setting, on); });
        control = box;
        break;
    }
    case SettingKind::Integer: {
        auto* box = new QSpinBox(parent);
        box->setRange(int(setting->min), int(setting->max));
        connect(box, &QSpinBox::valueChanged, this,
                [this, setting](int v) { userChanged(*setting, qint32(v)); });
        control = box;
        break;
    }
    case SettingKind::Number: {
        auto* box = new QDoubleSpinBox(parent);
        box->setDecimals(decimalsFor(*setting));
        box->setRange(setting->min, setting->max);
        if (setting->step > 0)
            box->setSingleStep(setting->step);
        if (*setting->unit)
            box->setSuffix(QLatin1Char(' ') + QLatin1String(setting->unit));
        connect(box, &QDoubleSpinBox::valueChanged, this,
                [this, setting](double v) { userChanged(*setting, v); });
        control = box;
        break;
    }
    default:
        qFatal("SettingsBinder: no control for the kind of %s", name);
    }
    control->setObjectName(QLatin1String(name));
    if (setting->kind != SettingKind::Flag) {
        auto* l = new QLabel(caption, parent);
        l->setBuddy(control);
        control->setAccessibleName(caption);
        if (label)
            *label = l;
    } else if (label) {
        *label = nullptr;
    }
    m_bound.push_back({setting, control});
    show(m_bound.back());
    return control;
}

void SettingsBinder::refresh() {
    for (const Bound& b : m_bound)
        show(b);
}

void SettingsBinder::documentChanged(const DocumentChange& change) {
    if (change.kind == DocumentChange::Kind::LayoutSettings ||
        change.kind == DocumentChange::Kind::Everything)
        refresh();
}

void SettingsBinder::show(const Bound& b) {
    const SettingValue value = settingValue(m_edit.doc.settings, *b.setting);
    // A control that already shows the value is left alone: setting it again would
    // rewrite the text the user is typing into.
    const bool wasShowing = std::exchange(m_showing, true);
    if (auto* box = qobject_cast<QCheckBox*>(b.control.data())) {
        box->setChecked(std::get<bool>(value));
    } else if (auto* spin = qobject_cast<QSpinBox*>(b.control.data())) {
        if (spin->value() != std::get<qint32>(value))
            spin->setValue(std::get<qint32>(value)); // the spin box clamps a foreign value
    } else if (auto* number = qobject_cast<QDoubleSpinBox*>(b.control.data())) {
        const double v = std::isfinite(std::get<double>(value)) ? std::get<double>(value) : number->minimum();
        // What the box would hold after setValue: rounded to its decimals, clamped.
        const double scale = std::pow(10.0, number->decimals());
        const double shown = std::clamp(std::round(v * scale) / scale, number->minimum(), number->maximum());
        if (number->value() != shown)
            number->setValue(v);
    }
    m_showing = wasShowing;
}

void SettingsBinder::userChanged(const SettingInfo& setting, const SettingValue& value) {
    if (m_showing)
        return;
    try {
        changeSetting(m_edit, setting, value);
    } catch (const Error& e) {
        m_prompts.message(errorText(e, m_texts), QString(), Prompts::Icon::Error);
        // Show the value the document kept.
        for (const Bound& b : m_bound)
            if (b.setting == &setting)
                show(b);
    }
}

} // namespace pw
