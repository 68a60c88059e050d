#include "categorydialog.h"

#include "app/dialogs/dialogbuttons.h"
#include "app/qtservices.h"
#include "model/pictures.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace pw {

namespace {

// The check boxes in the order of the dialog, each with the record field it edits.
struct CheckRow {
    const char* name;
    const char* caption;
    bool TKategorie::*field;
};
const CheckRow kCheckRows[] = {
    {"CheckBox1", "Einführungstext unter dem Bild statt neben dem Bild", &TKategorie::TextUnterBild},
    {"UseAsBackgroundPicCheck", "Bild als Hintergrundbild benutzen", &TKategorie::UseAsBackgroundPic},
    {"NoNeedForNewPageCheck", "Kategorie muss nicht auf einer neuen Seite beginnen",
     &TKategorie::NoNeedForNewPage},
    {"InhaltsVerzeichnisCheck", "Diese Kategorie soll das Inhaltsverzeichnis sein",
     &TKategorie::InhaltsVerzeichnis},
    {"ErstesAufneuerSeiteCheck", "Das erste Produkt der Kategorie soll auf einer neuen Seite beginnen",
     &TKategorie::ErstesAufneuerSeite},
    {"ShowOnlyPictureCheck", "Nur das Bild anzeigen und keinen Text, danach Seitenumbruch",
     &TKategorie::ShowOnlyPicture},
    {"DoNotListinInhaltCheck", "Diese Kategorie nicht im Inhaltsverzeichnis auflisten",
     &TKategorie::DoNotListinInhalt},
    {"UnterkategorienCheck", "Im Inhaltsverzeichnis nur die folgenden Unterkategorien auflisten",
     &TKategorie::Unterkategorien},
    {"ListAllKategoiresCheck", "Im Inhaltsverzeichnis alle Kategorien auflisten, nicht nur nachfolgende",
     &TKategorie::ListAllKategoires},
    {"DeactivateCheck", "Kategorie deaktivieren", &TKategorie::Deactivate},
    {"produkteinhaltcheck", "Auch die Produkte im Inhaltsverzeichnis auflisten", &TKategorie::ProdukteInhalt},
    {"DoNotListCategoriesCheck", "Kategorien nicht im Inhaltsverzeichnis auflisten",
     &TKategorie::DoNotListCategories},
};

// The check boxes with a colour of their own.
struct ColourRow {
    const char* checkName;
    const char* caption;
    bool TKategorie::*check;
    const char* shapeName;
    quint32 TKategorie::*colour;
};
const ColourRow kColourRows[] = {
    {"OwnFontColorCheck", "Eigene Schriftfarbe festlegen", &TKategorie::OwnFontColor, "Shape1",
     &TKategorie::FontColor},
    {"UnterlegeKategorie", "Kategoriename mit eigener Hintergrundfarbe unterlegen",
     &TKategorie::UnterlegeKategorie, "Shape3", &TKategorie::UnterlegFarbe},
    {"KatBereichUnterCheck", "Kategoriebereich mit eigener Hintergrundfarbe unterlegen",
     &TKategorie::KatBereichUnter, "Shape4", &TKategorie::BereichFarbe},
};

} // namespace

QColor CategoryDialog::qtColor(quint32 stored) {
    return QColor(int(stored & 0xFF), int((stored >> 8) & 0xFF), int((stored >> 16) & 0xFF));
}

quint32 CategoryDialog::storedColor(const QColor& colour) {
    return quint32(colour.red()) | quint32(colour.green()) << 8 | quint32(colour.blue()) << 16;
}

CategoryDialog::CategoryDialog(const CategoryDialogValues& values, const QString& pictureFilter,
                               QWidget* parent)
    : QDialog(parent), m_values(values), m_filter(pictureFilter) {
    setObjectName(QStringLiteral("TKategorieBearbeitenForm"));
    setWindowTitle(QStringLiteral("Kategorie bearbeiten"));
    const TKategorie& r = values.record;

    m_name = new QLineEdit(values.name, this);
    m_name->setObjectName(QStringLiteral("Edit1"));
    m_picture = new QLineEdit(r.Bild, this);
    m_picture->setObjectName(QStringLiteral("FilenameEdit1"));
    auto* choose = new QPushButton(QStringLiteral("Bild auswählen..."), this);
    choose->setObjectName(QStringLiteral("BitBtn3"));
    connect(choose, &QPushButton::clicked, this, [this] {
        const QString file =
            QFileDialog::getOpenFileName(this, QString(), m_picture->text(), qtFileFilter(m_filter));
        if (!file.isEmpty())
            m_picture->setText(file);
    });
    m_width = new QDoubleSpinBox(this);
    m_width->setObjectName(QStringLiteral("BildBreitEd"));
    m_width->setRange(kMinPictureWidth, kMaxPictureWidth);
    m_width->setDecimals(2);
    m_width->setValue(r.BildBreite);
    m_width->setToolTip(QStringLiteral("Die Breite VOR dem Hinzufügen der Bilder einstellen."));
    m_before = new QRadioButton(QStringLiteral("Bild vor Kategorienamen anzeigen"), this);
    m_before->setObjectName(QStringLiteral("RadioButton1"));
    m_below = new QRadioButton(QStringLiteral("Bild unter Kategorienamen anzeigen"), this);
    m_below->setObjectName(QStringLiteral("RadioButton2"));
    (values.bildVorName ? m_before : m_below)->setChecked(true);
    m_text = new QPlainTextEdit(r.Einfuehrungstext, this);
    m_text->setObjectName(QStringLiteral("Memo1"));
    m_text->setTabChangesFocus(true);

    m_name->setMinimumWidth(280);
    m_picture->setMinimumWidth(200);
    auto* pictureRow = new QHBoxLayout;
    pictureRow->addWidget(m_picture, 1);
    pictureRow->addWidget(choose);
    auto* form = new QFormLayout;
    const auto labelled = [&](const char* caption, QWidget* field) {
        auto* label = new QLabel(QString::fromUtf8(caption), this);
        label->setBuddy(field);
        field->setAccessibleName(QString::fromUtf8(caption));
        return label;
    };
    form->addRow(labelled("Name:", m_name), m_name);
    form->addRow(labelled("Bild:", m_picture), pictureRow);
    form->addRow(labelled("Bild Breite in cm:", m_width), m_width);
    form->addRow(m_before);
    form->addRow(m_below);
    form->addRow(labelled("Kategorie Einführungstext:", m_text), m_text);

    auto* options = new QGroupBox(this);
    auto* optionLayout = new QVBoxLayout(options);
    for (const CheckRow& row : kCheckRows) {
        auto* box = new QCheckBox(QString::fromUtf8(row.caption), options);
        box->setObjectName(QLatin1String(row.name));
        box->setChecked(r.*row.field);
        optionLayout->addWidget(box);
        m_checks.push_back({row.field, box});
        if (row.field == &TKategorie::ShowOnlyPicture || row.field == &TKategorie::DoNotListinInhalt ||
            row.field == &TKategorie::Deactivate)
            connect(box, &QCheckBox::clicked, this, &CategoryDialog::picturePositionRule);
    }
    auto* colours = new QGridLayout;
    for (const ColourRow& row : kColourRows) {
        auto* box = new QCheckBox(QString::fromUtf8(row.caption), options);
        box->setObjectName(QLatin1String(row.checkName));
        box->setChecked(r.*row.check);
        m_checks.push_back({row.check, box});
        auto* swatch = new QPushButton(options);
        swatch->setObjectName(QLatin1String(row.shapeName));
        swatch->setFixedSize(48, 22);
        swatch->setAccessibleName(QString::fromUtf8(row.caption));
        const std::size_t field = m_colours.size();
        m_colours.push_back({row.colour, swatch});
        connect(swatch, &QPushButton::clicked, this, [this, field] { pickColour(field); });
        const int line = colours->rowCount();
        colours->addWidget(box, line, 0);
        colours->addWidget(swatch, line, 1);
        showColour(m_colours.back());
    }
    colours->setColumnStretch(0, 1);
    optionLayout->addLayout(colours);

    auto* buttons = dialogButtons(this, true);
    auto* columns = new QHBoxLayout;
    columns->addLayout(form, 1);
    columns->addWidget(options);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(buttons);
}

void CategoryDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_name->setFocus();
    m_name->setCursorPosition(int(m_name->text().size()));
}

void CategoryDialog::showColour(const Colour& c) {
    c.button->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid #808080;")
                                .arg(qtColor(m_values.record.*c.field).name()));
}

void CategoryDialog::setColour(int field, quint32 stored) {
    if (field < 0 || std::size_t(field) >= m_colours.size())
        return;
    m_values.record.*m_colours[std::size_t(field)].field = stored;
    showColour(m_colours[std::size_t(field)]);
}

void CategoryDialog::pickColour(std::size_t field) {
    const QColor chosen = QColorDialog::getColor(qtColor(m_values.record.*m_colours[field].field), this);
    if (chosen.isValid())
        setColour(int(field), storedColor(chosen));
}

void CategoryDialog::picturePositionRule() {
    CategoryDialogValues now = values();
    categoryDialogCheckClicked(now);
    (now.bildVorName ? m_before : m_below)->setChecked(true);
}

CategoryDialogValues CategoryDialog::values() const {
    CategoryDialogValues v = m_values;
    v.name = m_name->text();
    v.record.Bild = m_picture->text();
    v.record.BildBreite =
        m_width->value() == m_width->valueFromText(m_width->textFromValue(m_values.record.BildBreite))
            ? m_values.record.BildBreite
            : m_width->value();
    v.record.Einfuehrungstext = m_text->toPlainText();
    v.bildVorName = m_before->isChecked();
    for (const Check& c : m_checks)
        v.record.*c.field = c.box->isChecked();
    return v;
}

} // namespace pw
