#pragma once

// The layout settings as one table: every setting's name (the name of the control that
// edits it), the member of LayoutSettings that holds it, its kind, and the range, step and
// unit its editor allows. The defaults are the member initialisers of LayoutSettings (a
// default-constructed record), so they are written once. The JSON dump, the range checks,
// the command line's `settings` and `set`, the undoable "change setting" command and the
// window's settings controls all walk this table; only the catalogue file keeps its own
// hand-written block order, because that order is the file format.

#include "model/settings.h"

#include <QString>
#include <QStringView>

#include <optional>
#include <span>
#include <variant>

namespace pw {

// The font sizes the font dialog accepts, and the resolutions a stored size may refer to.
constexpr qint32 kMinFontPoints = 1;
constexpr qint32 kMaxFontPoints = 1638;
constexpr qint32 kMaxFontResolution = 10000;

enum class SettingKind {
    Integer, // qint32
    Flag,    // bool
    Number,  // double (lengths in `unit`, percentages)
    Colour,  // quint32, 0x00BBGGRR or a system colour 0xFF0000nn
    Font,    // FontSpec
    Text,    // QString (header and footer lines)
    Path,    // QString (a picture file)
};

using SettingMember =
    std::variant<qint32 LayoutSettings::*, bool LayoutSettings::*, double LayoutSettings::*,
                 quint32 LayoutSettings::*, FontSpec LayoutSettings::*, QString LayoutSettings::*>;
using SettingValue = std::variant<qint32, bool, double, quint32, FontSpec, QString>;

struct SettingInfo {
    const char* name;
    SettingMember member;
    SettingKind kind;
    // The range the editor allows, for Integer and Number settings; min > max for none.
    double min = 1;
    double max = 0;
    double step = 0;       // the editor's step; 0 where it has none of its own
    const char* unit = ""; // "mm", "cm", "%" or empty

    bool hasRange() const { return min <= max; }
};

// Every setting, in the order of the JSON dump.
std::span<const SettingInfo> layoutSettingsTable();
// The row of a setting by its name (case-sensitive); nullptr for an unknown name.
const SettingInfo* findSetting(QStringView name);

SettingValue settingValue(const LayoutSettings& s, const SettingInfo& info);
// The setting's value in a fresh LayoutSettings.
SettingValue defaultSettingValue(const SettingInfo& info);
// Throws pw::Error naming the setting when the value is not of its kind, lies outside its
// range, is not a finite number, or (Columns, BildAlign) is not one of the allowed values.
void checkSettingValue(const SettingInfo& info, const SettingValue& value);
// Checks the value (as checkSettingValue), then stores it.
void setSettingValue(LayoutSettings& s, const SettingInfo& info, const SettingValue& value);
// Stores a value of the setting's kind without the range check: for putting back a value
// the record held before (undo), which a foreign file may have left out of range.
void assignSettingValue(LayoutSettings& s, const SettingInfo& info, const SettingValue& value);
// The value nearest to `value` that checkSettingValue accepts (for values read from a
// damaged or foreign file): numbers are clamped into the range, a NaN becomes the default,
// a font's size and resolution are clamped to kMinFontPoints..kMaxFontPoints and
// 1..kMaxFontResolution.
SettingValue clampSettingValue(const SettingInfo& info, const SettingValue& value);

// Reads a value written as text: integers and numbers with a decimal point, flags as
// true/false (also 1/0, on/off), colours as #RRGGBB or an integer (decimal or 0x hex),
// fonts as "Name,Size,Style,Color" (Style a combination of the letters b, i, u, s or
// empty; Color as for colours, optional), texts and paths as they stand. Throws pw::Error
// naming the setting for text it cannot read; the range is checked too.
SettingValue parseSettingValue(const SettingInfo& info, const QString& text);

} // namespace pw
