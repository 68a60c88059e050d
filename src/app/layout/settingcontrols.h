#pragma once

// The window's controls of the document-wide layout settings, described once.
//
// The core's settings table gives every setting's kind, range, step and unit; the table
// here adds what only the window needs: the tab that shows the setting, its caption, the
// captions of a choice, and the names of a colour's or a font's companion controls. A
// SettingsBinder builds the controls of a row:
//   flag     a check box carrying the caption;
//   number   a spin box with the core's range, step and unit (an integer without a range
//            takes any whole number);
//   choice   a drop-down list of captions standing for consecutive values;
//   text     a line edit; path: a line edit with a "..." button that opens the picture
//            chooser, taking the name when the edit is left or Enter is pressed;
//   colour   a swatch button that opens the colour chooser, and a hexadecimal field;
//   font     a button that opens the font chooser, a line describing the font, a button
//            "Schriftfarbe setzen..." and a hexadecimal field.
// A hexadecimal field takes "#RRGGBB" (or the six digits alone) on Enter; whatever else is
// typed is dropped without a message. Either way the field is emptied.
//
// The binder keeps every control showing the document's value and turns every change by
// the user into the core's undoable changeSetting. A value the document holds outside the
// control's range (a foreign file) is shown clamped but not written back: only a change
// by the user is a command. The tabs only arrange what the binder made (buildPage lays a
// whole tab out in table order).

#include "model/settingstable.h"
#include "model/undo.h"

#include <QColor>
#include <QFont>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>
#include <span>
#include <vector>

class QGridLayout;
class QLabel;
class QLineEdit;
class QWidget;

namespace pw {

class Prompts;
class TranslationStore;

enum class SettingsPage {
    Presets,      // "Voreinstellungen": the table defaults of new products
    Preview,      // "Katalog erzeugen"
    Margins,      // "Layout" / "Ränder und Abstände"
    Fonts,        // "Layout" / "Schriftarten"
    Colours,      // "Layout" / "Farben"
    Formatting,   // "Layout" / "Formatierung"
    HeaderFooter, // "Layout" / "Kopf- und Fußzeile"
    Background,   // "Hintergrund"
    Logo,         // "Logo"
};

struct SettingControlInfo {
    const char* name; // the setting's name in the core's table; nullptr: an explanatory line
    SettingsPage page;
    const char* caption; // German; a flag's check box or a font's button carries it
    // A choice: its captions, standing for firstValue, firstValue + 1, ...
    std::span<const char* const> choices = {};
    int firstValue = 0;
    // A colour or a font: the hexadecimal field, and a font's colour button.
    const char* hexField = nullptr;
    const char* colourButton = nullptr;
    // A font: the name of its button (the font setting itself names the description line).
    const char* fontButton = nullptr;
};

// Every control row, in the order the tabs show them.
std::span<const SettingControlInfo> settingControlsTable();

// The font a FontSpec stands for, at its size in points (for the font chooser), and back:
// the chooser's face, size and style replace those of `base`; its colour, character set,
// pitch and resolution stay.
QFont fontForChooser(const FontSpec& spec);
FontSpec fontFromChooser(const QFont& font, const FontSpec& base);
// "Arial Black, 24 pt, fett": a font as the line beside its button describes it, the
// style words in the language of `texts`.
QString describeFont(const FontSpec& spec, TranslationStore& texts);

class SettingsBinder : public QObject, private DocumentObserver {
    Q_OBJECT
public:
    SettingsBinder(EditContext& edit, Prompts& prompts, TranslationStore& texts, QObject* parent = nullptr);
    ~SettingsBinder() override;

    // The choosers; the Qt dialogs unless replaced (tests script them). An empty answer
    // is a cancelled dialog.
    std::function<std::optional<QColor>(const QColor& current, QWidget* parent)> chooseColour;
    std::function<std::optional<QFont>(const QFont& current, QWidget* parent)> chooseFont;

    // Builds the control of one setting of the table (its object name is the setting's
    // name) and, for all but flags and fonts, the label that is its buddy; `label` may be
    // null. A colour's and a font's companions are made too and can be found by the names
    // of the table row.
    QWidget* makeControl(const char* name, QWidget* parent, QLabel** label = nullptr);

    // Every row of a tab, laid out in table order in a grid of label and control columns.
    QWidget* buildPage(SettingsPage page, QWidget* parent);

    // Shows the document's values in every control made so far.
    void refresh();

signals:
    // A picture setting changed (FilenameEdit1..3) or one of the steps that change how
    // the background picture looks; the picture boxes reload.
    void picturesChanged();

private:
    struct Bound {
        const SettingInfo* setting;
        const SettingControlInfo* row;
        QPointer<QWidget> control;
        QPointer<QLabel> fontLine; // a font's description
    };

    void documentChanged(const DocumentChange& change) override;
    void show(const Bound& b);
    void userChanged(const SettingInfo& setting, const SettingValue& value);
    void hexEntered(const SettingInfo& setting, QLineEdit* field);
    void pickColour(const SettingInfo& setting, QWidget* button);
    void pickFontColour(const SettingInfo& setting, QWidget* button);
    void pickFont(const SettingInfo& setting, QWidget* button);
    void pickPicture(const SettingInfo& setting, QLineEdit* field);
    QLineEdit* makeHexField(const SettingInfo& setting, const char* name, QWidget* parent);
    void addRow(QGridLayout* grid, int& row, const SettingControlInfo& info, QWidget* parent);

    EditContext& m_edit;
    Prompts& m_prompts;
    TranslationStore& m_texts;
    std::vector<Bound> m_bound;
    bool m_showing = false;
};

} // namespace pw
