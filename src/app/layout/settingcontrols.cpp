#include "settingcontrols.h"

#include "app/translate/translatecomponents.h"
#include "compose/text.h"
#include "i18n/translateunit.h"
#include "imagelib/PicIO3.h"
#include "model/editcommands.h"
#include "model/error.h"
#include "model/services.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <utility>

namespace pw {

namespace {

using P = SettingsPage;

constexpr const char* kLayouts[] = {
    "1 - Bilder oben, dann Text, Zeitungsspalten",
    "2 - Bilder links Text rechts",
    "3 - je mehrere Produkte nebeneinander",
    "4 - wie Layout 1 aber ohne Zeitungsspalten, Bilder linksbündig",
    "5 - wie Layout 2 aber das 2. Bild erscheint unter dem Text",
    "6 - Bilder rechts Text links",
    "7 - Bilder und Text auf jeder Seite wechselnd rechts/links",
    "8 - Bilder und Text auf jeder Seite wechselnd links/rechts",
};
constexpr const char* kBildAlign[] = {"Bilder linksbündig", "Bilder zentriert", "Bilder rechtsbündig"};
constexpr const char* kColumns[] = {"Zwei Spalten", "Drei Spalten", "Vier Spalten"};

SettingControlInfo font(const char* name, const char* caption, const char* button, const char* colourButton,
                        const char* hexField) {
    return {name, P::Fonts, caption, {}, 0, hexField, colourButton, button};
}
SettingControlInfo colour(const char* name, SettingsPage page, const char* caption, const char* hexField) {
    return {name, page, caption, {}, 0, hexField};
}

const SettingControlInfo kControls[] = {
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

    {"LayoutCombo", P::Preview, "Layout:", kLayouts},

    {"LinksEd", P::Margins, "Linker Seitenrand in mm:"},
    {"ObenEd", P::Margins, "Oberer Seitenrand in mm:"},
    {"RechtsEd", P::Margins, "Rechter Seitenrand in mm:"},
    {"UntenEd", P::Margins, "Unterer Seitenrand in mm:"},
    {"RandBildEd", P::Margins, "Rand um Bilder in mm:"},
    {"KopfEdmm", P::Margins, "Platz unter Kopfzeile in mm:"},
    {"RandKopfEd", P::Margins, "Linker Rand für Kopfzeile:"},
    {"PlatzueberEd", P::Margins, "Platz über Fußzeile in mm:"},
    {"LinkRandFussEd", P::Margins, "Linker Rand für Fußzeile:"},
    {"PlatzZwischenSpaltenEd", P::Margins, "Platz zwischen Spalten mm:"},
    {"LineWidthEd", P::Margins, "Linienstärke in mm:"},
    {"LineWidthEd2", P::Margins, "Linienstärke für Varianten Tabelle in mm:"},
    {"LineAddSpaceEd", P::Margins, "Zusätzlicher Platz unter der Trennlinie in mm:"},
    {"RandTextEd", P::Margins, "Rand um den Text in mm (Layout 2):"},
    {"RahmenCheck", P::Margins, "Rahmen um Seite"},
    {"PDFRandEd", P::Margins, "Zusätzlicher Rand um PDF Datei in mm"},
    {"SetPDFSizeCheck", P::Margins, "Größe für PDF Datei unabhängig von Druckereinstellung festlegen:"},
    {"PDFWidthEd", P::Margins, "Breite der PDF in mm:"},
    {"PDFHeightED", P::Margins, "Höhe der PDF in mm:"},
    {"ZerrePDFCheck", P::Margins, "PDF Ausgabe wie in Vorschau aber auf diese Größe verzerren"},

    font("FontDialog2", "Schriftart für Kategoriename...", "BitBtnXP4", "BitBtn1", "Edit10"),
    font("FontDialog3", "Schriftart für Produktname...", "BitBtnXP5", "BitBtn2", "Edit11"),
    font("FontDialog4", "Schriftart für Beschreibung...", "BitBtnXP6", "BitBtn3", "Edit12"),
    font("FontDialog5", "Schriftart für Preise...", "BitBtnXP7", "BitBtn4", "Edit13"),
    font("FontDialog6", "Schriftart für Tabellenüberschriften...", "BitBtnXP8", "BitBtn5", "Edit14"),
    font("FontDialog7", "Schriftart für Tabellentext...", "BitBtnXP9", "BitBtn6", "Edit15"),
    font("FontDialog8", "Schriftart für Fußzeile...", "BitBtnXP10", "BitBtn7", "Edit16"),
    font("FontDialog9", "Schriftart für Kopfzeile...", "BitBtnXP1", "BitBtn8", "Edit18"),
    font("FontDialog11", "Schriftart für Inhaltsverzeichnis...", "BitBtnXP2", "BitBtn9", "Edit19"),
    font("FontDialog1", "Schriftart 2 für Inhaltsverzeichnis...", "BitBtnXP3", "BitBtn10", "Edit20"),
    font("FontDialog12", "Schriftart für Kategorien Beschreibung...", "BitBtnXP11", "BitBtn11", "Edit21"),

    {nullptr, P::Colours, "Farbe über HEX Code setzen z.B. #FFAACC (Eingabe mit Enter bestätigen)"},
    {"FarbRechtKopfCheck", P::Colours, "Kopfzeile mit farbigem Rechteck unterlegen"},
    colour("Shape1", P::Colours, "Farbe für Kopfzeile:", "Edit1"),
    {"FarbrechtFussCheck", P::Colours, "Fußzeile mit farbigem Rechteck unterlegen"},
    colour("Shape2", P::Colours, "Farbe für Fußzeile:", "Edit2"),
    {"UnterlegeKategorie", P::Colours, "Kategoriename mit Hintergrundfarbe unterlegen"},
    colour("Shape3", P::Colours, "Farbe für Unterlegung:", "Edit3"),
    {"KatBereichUnterCheck", P::Colours, "Kategoriebereich mit Hintergrundfarbe unterlegen"},
    colour("Shape4", P::Colours, "Farbe für Bereich:", "Edit4"),
    colour("Shape7", P::Colours, "Farbe für Tabellenhintergrund:", "Edit5"),
    colour("Shape8", P::Colours, "Farbe für Kopfzeile der Tabelle:", "Edit6"),
    colour("Shape9", P::Colours, "Farbe für Preisspalten der Tabelle:", "Edit7"),
    colour("Shape10", P::Colours, "Farbe der Linie unter der Tabelle:", "Edit8"),
    colour("Shape11", P::Colours, "Farbe für Linien:", "Edit9"),

    {"OnlyOneColumnCheck", P::Formatting, "Artikelbeschreibung mit nur einer Spalte"},
    {"ArtNotBlockCheck", P::Formatting, "Artikelbeschreibung NICHT im Blocksatz"},
    {"ZentrTabelleCheck", P::Formatting, "Tabelle mit Artikelvarianten zentrieren"},
    {"BildAlign", P::Formatting, "Ausrichtung der Bilder:", kBildAlign},
    {"CapsCheck", P::Formatting, "Kategorienamen in Großbuchstaben"},
    {"ZentrCheck", P::Formatting, "Überschrift zentriert"},
    {"ZentrFussCheck", P::Formatting, "Fußzeile zentriert"},
    {"NoLineBelowVariantsCheck", P::Formatting, "Keine Linie unter den Varianten"},
    {"CoverCheck", P::Formatting, "Keine Kopfzeile und Fußzeile auf erster und letzter Seite (Cover)"},
    {"AllowPageBreak", P::Formatting, "Seitenumbruch mitten im Produkt erlauben"},
    {"ZwischenLinienCheck", P::Formatting, "Keine Zwischenlinien zwischen den Produkten im Layout 1"},
    {"DonotShowVariantsCheck", P::Formatting, "Variantentabelle ausblenden"},
    {"BilderrahmenCheck", P::Formatting, "Bilder umrahmen im Layout 1"},
    {"PreisLinksCheck", P::Formatting, "Preisspalten linksbündig"},
    {"PreisCentCheck", P::Formatting, "Preisspalten zentriert"},
    {"NoRahmenCheck", P::Formatting, "Keine Tabellen-Rahmen um die Produkte im Layout 2"},
    {"AndereRechtsCheck", P::Formatting, "Andere als Preisspalten rechtsbündig"},
    {"AndereZentriertCheck", P::Formatting, "Andere als Preisspalten zentriert"},
    {"Columns", P::Formatting, "Anzahl der Zeitungsspalten im Layout 1 und Produktspalten im Layout 3",
     kColumns, 2},
    {"DoLineBreakinTableCellsCheck", P::Formatting, "Zeilenumbruch in Tabellenspalten"},
    {"DonotShowPriceColumnscheck", P::Formatting, "Preisspalten nicht anzeigen"},
    {"LinesInVariantCheck", P::Formatting, "Linien um die Variantentabelle"},
    {"FooterLeftCheck", P::Formatting, "Fußzeile immer linksbündig"},
    {"UseColorInInhaltCheck", P::Formatting, "Benutze Hintergrundfarbe der Kategorie im Inhaltsverzeichnis"},
    {"DonotIncreaseFontSizeCheck", P::Formatting, "Schriftgröße für Hauptkategorien nicht vergrößern"},
    {"SetPicHeightCheck", P::Formatting, "Bildhöhe statt Bildbreite festlegen im Layout 1"},

    {"KopfEd", P::HeaderFooter, "Kopfzeile:"},
    {"FussEd", P::HeaderFooter, "Fußzeile ungerade Seiten:"},
    {"FussEd2", P::HeaderFooter, "Fußzeile gerade Seiten:"},
    {"Fuss2Ed", P::HeaderFooter, "Zusätzliche Fußzeile:"},
    {nullptr, P::HeaderFooter,
     "Der Platzhalter %DATE% fügt das aktuelle Datum ein, %CATEGORY% fügt die Kategorie ein"},
    {"LogoChecked", P::HeaderFooter, "Logo in Kopfzeile anzeigen"},
    {"xchangecheck", P::HeaderFooter, "Vertausche gerade/ungerade Fußzeilen"},
    {"FirstPageNr", P::HeaderFooter, "Erste Seite hat Nummer:"},

    {"FilenameEdit2", P::Background, "Dateiname:"},
    {"FilenameEdit3", P::Background, "Dateiname für gerade Seiten (optional):"},
    {"BackgroundColorCheck", P::Background, "Hintergrundfarbe/Farbverlauf:"},
    colour("Shape5", P::Background, "Farbe 1:", nullptr),
    colour("Shape6", P::Background, "Farbe 2:", nullptr),
    {nullptr, P::Background, "Größe der Grafik"},
    {"BreitEd2", P::Background, "Breite:"},
    {"HochEd2", P::Background, "Höhe:"},
    {"SVerh2Check", P::Background, "Seitenverhältnis beibehalten"},
    {"GrayScaleCheck", P::Background, "Textur in Graustufen umwandeln"},
    {"LightenCheck", P::Background, "Textur aufhellen und Sättigung neu berechnen"},
    {"HellEd", P::Background, "Helligkeit %:"},
    {"SatEd", P::Background, "Sättigung:"},
    {nullptr, P::Background, "(größer 0=Farben intensiver)"},

    {"FilenameEdit1", P::Logo, "Dateiname:"},
    {"BreitEd3", P::Logo, "Breite:"},
    {"HochEd3", P::Logo, "Höhe:"},
    {"sverhlogo", P::Logo, "Seitenverhältnis beibehalten"},
    {"ShowLogoRightAlignedCheck", P::Logo, "Logo rechtsbündig anzeigen"},
};

const SettingControlInfo& controlInfo(const char* name) {
    const auto it =
        std::find_if(std::begin(kControls), std::end(kControls),
                     [&](const SettingControlInfo& c) { return c.name && qstrcmp(c.name, name) == 0; });
    if (it == std::end(kControls))
        qFatal("SettingsBinder: no control row for %s", name); // a programming error
    return *it;
}

// Lengths show two decimals (0.6 mm lines); percentages and other whole numbers none.
int decimalsFor(const SettingInfo& s) {
    const bool length = qstrcmp(s.unit, "mm") == 0 || qstrcmp(s.unit, "cm") == 0;
    return length ? 2 : 0;
}

QColor qColour(quint32 c) {
    if ((c >> 24) == 0xFF)
        return Qt::black; // a system colour; the only one used draws as window text
    return QColor(int(c & 0xFF), int(c >> 8 & 0xFF), int(c >> 16 & 0xFF));
}

quint32 storedColour(const QColor& c) {
    return quint32(c.red()) | quint32(c.green()) << 8 | quint32(c.blue()) << 16;
}

void paintSwatch(QPushButton* button, quint32 colour) {
    button->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; border: 1px solid #606060; }")
                              .arg(qColour(colour).name()));
    button->setToolTip(qColour(colour).name().toUpper());
}

bool isPictureStep(const SettingInfo& s) {
    static const char* const steps[] = {"FilenameEdit1", "FilenameEdit2", "FilenameEdit3", "GrayScaleCheck",
                                        "LightenCheck",  "HellEd",        "SatEd"};
    return std::any_of(std::begin(steps), std::end(steps),
                       [&](const char* n) { return qstrcmp(n, s.name) == 0; });
}

} // namespace

std::span<const SettingControlInfo> settingControlsTable() {
    return kControls;
}

QFont fontForChooser(const FontSpec& spec) {
    QFont f(spec.Name);
    f.setPointSize(std::max(1, int(spec.Size)));
    f.setBold(spec.Style & FontSpec::Bold);
    f.setItalic(spec.Style & FontSpec::Italic);
    f.setUnderline(spec.Style & FontSpec::Underline);
    f.setStrikeOut(spec.Style & FontSpec::StrikeOut);
    return f;
}

FontSpec fontFromChooser(const QFont& font, const FontSpec& base) {
    FontSpec spec = base;
    spec.Name = font.family().left(255);
    const int points = font.pointSize() > 0 ? font.pointSize() : int(std::lround(font.pointSizeF()));
    spec.Size = std::clamp(points, int(kMinFontPoints), int(kMaxFontPoints));
    spec.Style =
        quint8((font.bold() ? FontSpec::Bold : 0) | (font.italic() ? FontSpec::Italic : 0) |
               (font.underline() ? FontSpec::Underline : 0) | (font.strikeOut() ? FontSpec::StrikeOut : 0));
    return spec;
}

QString describeFont(const FontSpec& spec, TranslationStore& texts) {
    QString text = QStringLiteral("%1, %2 pt").arg(spec.Name).arg(spec.Size);
    const std::pair<FontSpec::StyleBit, const char*> styles[] = {{FontSpec::Bold, "fett"},
                                                                 {FontSpec::Italic, "kursiv"},
                                                                 {FontSpec::Underline, "unterstrichen"},
                                                                 {FontSpec::StrikeOut, "durchgestrichen"}};
    for (const auto& [bit, word] : styles)
        if (spec.Style & bit)
            text += QStringLiteral(", ") + texts.TranslateText(QString::fromUtf8(word));
    return text;
}

SettingsBinder::SettingsBinder(EditContext& edit, Prompts& prompts, TranslationStore& texts, QObject* parent)
    : QObject(parent), m_edit(edit), m_prompts(prompts), m_texts(texts) {
    chooseColour = [](const QColor& current, QWidget* parentWidget) -> std::optional<QColor> {
        const QColor c = QColorDialog::getColor(current, parentWidget);
        return c.isValid() ? std::optional<QColor>(c) : std::nullopt;
    };
    chooseFont = [](const QFont& current, QWidget* parentWidget) -> std::optional<QFont> {
        bool ok = false;
        const QFont f = QFontDialog::getFont(&ok, current, parentWidget);
        return ok ? std::optional<QFont>(f) : std::nullopt;
    };
    m_edit.addObserver(this);
}

SettingsBinder::~SettingsBinder() {
    m_edit.removeObserver(this);
}

QLineEdit* SettingsBinder::makeHexField(const SettingInfo& setting, const char* name, QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(name));
    field->setMaximumWidth(90);
    field->setPlaceholderText(QStringLiteral("#RRGGBB"));
    // Named after the colour or font it sets, for screen readers.
    field->setAccessibleName(QString::fromUtf8(controlInfo(setting.name).caption) + QStringLiteral(" (HEX)"));
    connect(field, &QLineEdit::returnPressed, this, [this, &setting, field] { hexEntered(setting, field); });
    return field;
}

QWidget* SettingsBinder::makeControl(const char* name, QWidget* parent, QLabel** label) {
    const SettingControlInfo& info = controlInfo(name);
    const SettingInfo* found = findSetting(QString::fromLatin1(name));
    if (!found)
        qFatal("SettingsBinder: no setting %s", name);
    const SettingInfo& setting = *found;
    const QString caption = QString::fromUtf8(info.caption);
    QWidget* control = nullptr;
    QLabel* fontLine = nullptr;
    bool labelled = true;
    if (!info.choices.empty()) {
        auto* box = new QComboBox(parent);
        for (std::size_t i = 0; i < info.choices.size(); ++i)
            box->addItem(QString::fromUtf8(info.choices[i]), info.firstValue + int(i));
        connect(box, &QComboBox::currentIndexChanged, this, [this, &setting, box](int i) {
            if (i >= 0)
                userChanged(setting, qint32(box->itemData(i).toInt()));
        });
        control = box;
    } else {
        switch (setting.kind) {
        case SettingKind::Flag: {
            auto* box = new QCheckBox(caption, parent);
            connect(box, &QCheckBox::toggled, this, [this, &setting](bool on) { userChanged(setting, on); });
            control = box;
            labelled = false;
            break;
        }
        case SettingKind::Integer: {
            auto* box = new QSpinBox(parent);
            if (setting.hasRange())
                box->setRange(int(setting.min), int(setting.max));
            else
                box->setRange(INT_MIN, INT_MAX);
            connect(box, &QSpinBox::valueChanged, this,
                    [this, &setting](int v) { userChanged(setting, qint32(v)); });
            control = box;
            break;
        }
        case SettingKind::Number: {
            auto* box = new QDoubleSpinBox(parent);
            box->setDecimals(decimalsFor(setting));
            box->setRange(setting.min, setting.max);
            if (setting.step > 0)
                box->setSingleStep(setting.step);
            if (*setting.unit)
                box->setSuffix(QLatin1Char(' ') + QLatin1String(setting.unit));
            connect(box, &QDoubleSpinBox::valueChanged, this,
                    [this, &setting](double v) { userChanged(setting, v); });
            control = box;
            break;
        }
        case SettingKind::Text: {
            auto* edit = new QLineEdit(parent);
            connect(edit, &QLineEdit::textEdited, this,
                    [this, &setting](const QString& text) { userChanged(setting, text); });
            control = edit;
            break;
        }
        case SettingKind::Path: {
            auto* holder = new QWidget(parent);
            auto* edit = new QLineEdit(holder);
            edit->setObjectName(QLatin1String(name) + QStringLiteral("Text"));
            edit->setAccessibleName(caption);
            auto* browse = new QToolButton(holder);
            browse->setText(QStringLiteral("..."));
            browse->setAccessibleName(caption + QStringLiteral(" ..."));
            auto* row = new QHBoxLayout(holder);
            row->setContentsMargins(0, 0, 0, 0);
            row->addWidget(edit, 1);
            row->addWidget(browse);
            holder->setFocusProxy(edit); // the caption's shortcut reaches the name
            // The picture is loaded when the name is complete, not at every keystroke.
            connect(edit, &QLineEdit::editingFinished, this, [this, &setting, edit] {
                if (edit->isModified()) {
                    edit->setModified(false);
                    userChanged(setting, edit->text().trimmed());
                }
            });
            connect(browse, &QToolButton::clicked, this,
                    [this, &setting, edit] { pickPicture(setting, edit); });
            control = holder;
            break;
        }
        case SettingKind::Colour: {
            auto* swatch = new QPushButton(parent);
            swatch->setFixedSize(64, 22);
            swatch->setAccessibleName(caption);
            connect(swatch, &QPushButton::clicked, this,
                    [this, &setting, swatch] { pickColour(setting, swatch); });
            control = swatch;
            break;
        }
        case SettingKind::Font: {
            auto* button = new QPushButton(caption, parent);
            button->setObjectName(QLatin1String(info.fontButton));
            connect(button, &QPushButton::clicked, this,
                    [this, &setting, button] { pickFont(setting, button); });
            fontLine = new QLabel(parent);
            markAsData(fontLine); // the chosen font, described in the interface language
            fontLine->setObjectName(QLatin1String(name));
            labelled = false;
            control = button;
            break;
        }
        }
    }
    if (setting.kind != SettingKind::Font)
        control->setObjectName(QLatin1String(name));
    if (labelled) {
        auto* l = new QLabel(caption, parent);
        l->setBuddy(control);
        if (setting.kind != SettingKind::Path && setting.kind != SettingKind::Colour)
            control->setAccessibleName(caption);
        if (label)
            *label = l;
    } else if (label) {
        *label = nullptr;
    }
    m_bound.push_back({&setting, &info, control, fontLine});
    show(m_bound.back());
    return control;
}

void SettingsBinder::addRow(QGridLayout* grid, int& row, const SettingControlInfo& info, QWidget* parent) {
    if (!info.name) {
        auto* note = new QLabel(QString::fromUtf8(info.caption), parent);
        note->setWordWrap(true);
        grid->addWidget(note, row++, 0, 1, 5);
        return;
    }
    QLabel* label = nullptr;
    QWidget* control = makeControl(info.name, parent, &label);
    const SettingInfo* setting = findSetting(QString::fromLatin1(info.name));
    if (!info.choices.empty()) {
        // A choice sits right after its caption, which may be long.
        auto* line = new QHBoxLayout;
        line->addWidget(label);
        line->addWidget(control);
        line->addStretch(1);
        grid->addLayout(line, row++, 0, 1, 5);
        return;
    }
    switch (setting->kind) {
    case SettingKind::Flag:
        grid->addWidget(control, row, 0, 1, 5);
        break;
    case SettingKind::Font: {
        grid->addWidget(control, row, 0);
        grid->addWidget(m_bound.back().fontLine, row, 1);
        auto* colourButton = new QPushButton(QStringLiteral("Schriftfarbe setzen..."), parent);
        colourButton->setObjectName(QLatin1String(info.colourButton));
        connect(colourButton, &QPushButton::clicked, this,
                [this, setting, colourButton] { pickFontColour(*setting, colourButton); });
        grid->addWidget(colourButton, row, 2);
        grid->addWidget(makeHexField(*setting, info.hexField, parent), row, 3);
        break;
    }
    case SettingKind::Colour:
        grid->addWidget(label, row, 0);
        grid->addWidget(control, row, 1, Qt::AlignLeft);
        if (info.hexField)
            grid->addWidget(makeHexField(*setting, info.hexField, parent), row, 2, Qt::AlignLeft);
        break;
    case SettingKind::Text:
    case SettingKind::Path:
        grid->addWidget(label, row, 0);
        grid->addWidget(control, row, 1, 1, 4);
        break;
    default:
        grid->addWidget(label, row, 0);
        grid->addWidget(control, row, 1, Qt::AlignLeft);
        break;
    }
    ++row;
}

QWidget* SettingsBinder::buildPage(SettingsPage page, QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* grid = new QGridLayout(box);
    int row = 0;
    for (const SettingControlInfo& info : kControls)
        if (info.page == page)
            addRow(grid, row, info, box);
    // Everything keeps its natural width; the empty last column takes what is left, and
    // the text fields reach into it.
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(4, 1);
    return box;
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
    if (!b.control)
        return;
    const SettingValue value = settingValue(m_edit.doc.settings, *b.setting);
    // A control that already shows the value is left alone: setting it again would
    // rewrite the text the user is typing into.
    const bool wasShowing = std::exchange(m_showing, true);
    QWidget* c = b.control.data();
    if (auto* combo = qobject_cast<QComboBox*>(c)) {
        const int i = combo->findData(int(std::get<qint32>(value)));
        if (i != combo->currentIndex())
            combo->setCurrentIndex(i);
    } else if (auto* box = qobject_cast<QCheckBox*>(c)) {
        box->setChecked(std::get<bool>(value));
    } else if (auto* spin = qobject_cast<QSpinBox*>(c)) {
        if (spin->value() != std::get<qint32>(value))
            spin->setValue(std::get<qint32>(value)); // the spin box clamps a foreign value
    } else if (auto* number = qobject_cast<QDoubleSpinBox*>(c)) {
        const double v = std::isfinite(std::get<double>(value)) ? std::get<double>(value) : number->minimum();
        // What the box would hold after setValue: rounded to its decimals, clamped.
        const double scale = std::pow(10.0, number->decimals());
        const double shown = std::clamp(std::round(v * scale) / scale, number->minimum(), number->maximum());
        if (number->value() != shown)
            number->setValue(v);
    } else if (auto* edit = qobject_cast<QLineEdit*>(c)) {
        if (edit->text() != std::get<QString>(value))
            edit->setText(std::get<QString>(value));
    } else if (b.setting->kind == SettingKind::Path) {
        auto* pathEdit = c->findChild<QLineEdit*>();
        if (pathEdit && pathEdit->text() != std::get<QString>(value))
            pathEdit->setText(std::get<QString>(value));
    } else if (b.setting->kind == SettingKind::Colour) {
        paintSwatch(static_cast<QPushButton*>(c), std::get<quint32>(value));
    } else if (b.setting->kind == SettingKind::Font && b.fontLine) {
        const FontSpec& spec = std::get<FontSpec>(value);
        b.fontLine->setText(describeFont(spec, m_texts));
        b.fontLine->setStyleSheet(QStringLiteral("QLabel { color: %1; background: %2; padding: 2px; }")
                                      .arg(qColour(spec.Color).name(), qColour(spec.Color).lightness() > 200
                                                                           ? QStringLiteral("#404040")
                                                                           : QStringLiteral("transparent")));
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
        return;
    }
    if (isPictureStep(setting))
        emit picturesChanged();
}

void SettingsBinder::hexEntered(const SettingInfo& setting, QLineEdit* field) {
    quint32 colour = 0;
    if (ColorFromEntry(field->text(), colour)) {
        if (setting.kind == SettingKind::Font) {
            FontSpec spec = std::get<FontSpec>(settingValue(m_edit.doc.settings, setting));
            spec.Color = colour;
            userChanged(setting, spec);
        } else {
            userChanged(setting, colour);
        }
    }
    field->clear();
}

void SettingsBinder::pickColour(const SettingInfo& setting, QWidget* button) {
    const quint32 current = std::get<quint32>(settingValue(m_edit.doc.settings, setting));
    if (const std::optional<QColor> c = chooseColour(qColour(current), button->window()))
        userChanged(setting, storedColour(*c));
}

void SettingsBinder::pickFontColour(const SettingInfo& setting, QWidget* button) {
    FontSpec spec = std::get<FontSpec>(settingValue(m_edit.doc.settings, setting));
    if (const std::optional<QColor> c = chooseColour(qColour(spec.Color), button->window())) {
        spec.Color = storedColour(*c);
        userChanged(setting, spec);
    }
}

void SettingsBinder::pickFont(const SettingInfo& setting, QWidget* button) {
    const FontSpec spec = std::get<FontSpec>(settingValue(m_edit.doc.settings, setting));
    if (const std::optional<QFont> f = chooseFont(fontForChooser(spec), button->window()))
        userChanged(setting, fontFromChooser(*f, spec));
}

void SettingsBinder::pickPicture(const SettingInfo& setting, QLineEdit* field) {
    const QString file = m_prompts.openFileName(GetDIBOpenFilter());
    if (file.isEmpty())
        return;
    field->setText(file);
    field->setModified(false);
    userChanged(setting, file);
}

} // namespace pw
