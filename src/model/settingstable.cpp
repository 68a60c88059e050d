#include "settingstable.h"

#include "model/error.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <cmath>

namespace pw {

namespace {

using K = SettingKind;
using L = LayoutSettings;

constexpr double kNoMin = 1; // with kNoMax: no range
constexpr double kNoMax = 0;

SettingInfo flag(const char* name, bool L::*m) {
    return {name, m, K::Flag};
}
SettingInfo mm(const char* name, double L::*m, double step = 1) {
    return {name, m, K::Number, 0, 1000, step, "mm"};
}
SettingInfo cm(const char* name, double L::*m) {
    return {name, m, K::Number, 1, 10000, 0.1, "cm"};
}
SettingInfo integer(const char* name, qint32 L::*m, double min, double max) {
    return {name, m, K::Integer, min, max, 1, ""};
}
SettingInfo colour(const char* name, quint32 L::*m) {
    return {name, m, K::Colour};
}
SettingInfo font(const char* name, FontSpec L::*m) {
    return {name, m, K::Font};
}
SettingInfo text(const char* name, QString L::*m) {
    return {name, m, K::Text};
}
SettingInfo path(const char* name, QString L::*m) {
    return {name, m, K::Path};
}

const std::array kTable{
    integer("PreDefAnzPreisEd", &L::PreDefAnzPreisEd, 1, 100),
    flag("DefineFixedWidthCheck", &L::DefineFixedWidthCheck),
    mm("RxSpinEdit1", &L::RxSpinEdit1),
    mm("RxSpinEdit2", &L::RxSpinEdit2),
    mm("RxSpinEdit3", &L::RxSpinEdit3),
    mm("RxSpinEdit4", &L::RxSpinEdit4),
    mm("RxSpinEdit5", &L::RxSpinEdit5),
    mm("RxSpinEdit6", &L::RxSpinEdit6),
    mm("RxSpinEdit7", &L::RxSpinEdit7),
    mm("RxSpinEdit8", &L::RxSpinEdit8),
    mm("RxSpinEdit9", &L::RxSpinEdit9),
    mm("RxSpinEdit10", &L::RxSpinEdit10),
    mm("RxSpinEdit11", &L::RxSpinEdit11),
    flag("DefineFixedHeightCheck", &L::DefineFixedHeightCheck),
    flag("FixWidthForTableCheck", &L::FixWidthForTableCheck),
    mm("FixedWidthForTableEd", &L::FixedWidthForTableEd),
    flag("DefMaxCellWidthCheck", &L::DefMaxCellWidthCheck),
    mm("MaxCellWidthEd", &L::MaxCellWidthEd),
    integer("LayoutCombo", &L::LayoutCombo, 0, 7),
    mm("LinksEd", &L::LinksEd),
    mm("ObenEd", &L::ObenEd),
    mm("RechtsEd", &L::RechtsEd),
    mm("UntenEd", &L::UntenEd),
    mm("RandBildEd", &L::RandBildEd),
    mm("KopfEdmm", &L::KopfEdmm),
    mm("RandKopfEd", &L::RandKopfEd),
    mm("PlatzueberEd", &L::PlatzueberEd),
    mm("LinkRandFussEd", &L::LinkRandFussEd),
    mm("PlatzZwischenSpaltenEd", &L::PlatzZwischenSpaltenEd),
    mm("LineWidthEd", &L::LineWidthEd),
    mm("LineWidthEd2", &L::LineWidthEd2),
    mm("LineAddSpaceEd", &L::LineAddSpaceEd, 0.1),
    mm("RandTextEd", &L::RandTextEd),
    flag("RahmenCheck", &L::RahmenCheck),
    mm("PDFRandEd", &L::PDFRandEd, 0.1),
    flag("SetPDFSizeCheck", &L::SetPDFSizeCheck),
    mm("PDFWidthEd", &L::PDFWidthEd, 0.1),
    mm("PDFHeightED", &L::PDFHeightED, 0.1),
    flag("ZerrePDFCheck", &L::ZerrePDFCheck),
    font("FontDialog1", &L::FontDialog1),
    font("FontDialog2", &L::FontDialog2),
    font("FontDialog3", &L::FontDialog3),
    font("FontDialog4", &L::FontDialog4),
    font("FontDialog5", &L::FontDialog5),
    font("FontDialog6", &L::FontDialog6),
    font("FontDialog7", &L::FontDialog7),
    font("FontDialog8", &L::FontDialog8),
    font("FontDialog9", &L::FontDialog9),
    font("FontDialog11", &L::FontDialog11),
    font("FontDialog12", &L::FontDialog12),
    colour("Shape1", &L::Shape1),
    colour("Shape2", &L::Shape2),
    colour("Shape3", &L::Shape3),
    colour("Shape4", &L::Shape4),
    colour("Shape5", &L::Shape5),
    colour("Shape6", &L::Shape6),
    colour("Shape7", &L::Shape7),
    colour("Shape8", &L::Shape8),
    colour("Shape9", &L::Shape9),
    colour("Shape10", &L::Shape10),
    colour("Shape11", &L::Shape11),
    flag("FarbRechtKopfCheck", &L::FarbRechtKopfCheck),
    flag("FarbrechtFussCheck", &L::FarbrechtFussCheck),
    flag("UnterlegeKategorie", &L::UnterlegeKategorie),
    flag("KatBereichUnterCheck", &L::KatBereichUnterCheck),
    flag("OnlyOneColumnCheck", &L::OnlyOneColumnCheck),
    flag("ArtNotBlockCheck", &L::ArtNotBlockCheck),
    flag("ZentrTabelleCheck", &L::ZentrTabelleCheck),
    integer("BildAlign", &L::BildAlign, 0, 2),
    flag("CapsCheck", &L::CapsCheck),
    flag("ZentrCheck", &L::ZentrCheck),
    flag("ZentrFussCheck", &L::ZentrFussCheck),
    flag("NoLineBelowVariantsCheck", &L::NoLineBelowVariantsCheck),
    flag("CoverCheck", &L::CoverCheck),
    flag("AllowPageBreak", &L::AllowPageBreak),
    flag("ZwischenLinienCheck", &L::ZwischenLinienCheck),
    flag("DonotShowVariantsCheck", &L::DonotShowVariantsCheck),
    flag("BilderrahmenCheck", &L::BilderrahmenCheck),
    flag("PreisLinksCheck", &L::PreisLinksCheck),
    flag("PreisCentCheck", &L::PreisCentCheck),
    flag("NoRahmenCheck", &L::NoRahmenCheck),
    flag("AndereRechtsCheck", &L::AndereRechtsCheck),
    flag("AndereZentriertCheck", &L::AndereZentriertCheck),
    integer("Columns", &L::Columns, 2, 4),
    flag("DoLineBreakinTableCellsCheck", &L::DoLineBreakinTableCellsCheck),
    flag("DonotShowPriceColumnscheck", &L::DonotShowPriceColumnscheck),
    flag("LinesInVariantCheck", &L::LinesInVariantCheck),
    flag("FooterLeftCheck", &L::FooterLeftCheck),
    flag("UseColorInInhaltCheck", &L::UseColorInInhaltCheck),
    flag("DonotIncreaseFontSizeCheck", &L::DonotIncreaseFontSizeCheck),
    flag("SetPicHeightCheck", &L::SetPicHeightCheck),
    text("FussEd", &L::FussEd),
    text("FussEd2", &L::FussEd2),
    text("Fuss2Ed", &L::Fuss2Ed),
    text("KopfEd", &L::KopfEd),
    flag("LogoChecked", &L::LogoChecked),
    flag("xchangecheck", &L::xchangecheck),
    integer("FirstPageNr", &L::FirstPageNr, kNoMin, kNoMax),
    path("FilenameEdit1", &L::FilenameEdit1),
    path("FilenameEdit2", &L::FilenameEdit2),
    path("FilenameEdit3", &L::FilenameEdit3),
    flag("BackgroundColorCheck", &L::BackgroundColorCheck),
    cm("BreitEd2", &L::BreitEd2),
    cm("HochEd2", &L::HochEd2),
    flag("SVerh2Check", &L::SVerh2Check),
    flag("GrayScaleCheck", &L::GrayScaleCheck),
    flag("LightenCheck", &L::LightenCheck),
    SettingInfo{"HellEd", &L::HellEd, K::Number, 1, 100, 1, "%"},
    SettingInfo{"SatEd", &L::SatEd, K::Number, -100, 200, 1, ""},
    cm("BreitEd3", &L::BreitEd3),
    cm("HochEd3", &L::HochEd3),
    flag("sverhlogo", &L::sverhlogo),
    flag("ShowLogoRightAlignedCheck", &L::ShowLogoRightAlignedCheck),
};

// The setting's name, then why its value is refused (a template with its arguments).
[[noreturn]] void badValue(const SettingInfo& info, const QString& why, const QStringList& whyArgs = {}) {
    throw Error::format(QStringLiteral("%1: %2"), {QString::fromLatin1(info.name)})
        .causedBy(Error::format(why, whyArgs));
}

[[noreturn]] void outOfRange(const SettingInfo& info) {
    badValue(info, QStringLiteral("erlaubt sind %1 bis %2%3"),
             {QString::number(info.min), QString::number(info.max),
              *info.unit ? QStringLiteral(" ") + QString::fromLatin1(info.unit) : QString()});
}

std::optional<quint32> parseColour(QString t) {
    t = t.trimmed();
    bool ok = false;
    if (t.startsWith(QLatin1Char('#'))) {
        if (t.size() != 7)
            return std::nullopt;
        const uint rgb = t.mid(1).toUInt(&ok, 16);
        if (!ok)
            return std::nullopt;
        // #RRGGBB written the way people write colours; stored as 0x00BBGGRR.
        return quint32(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
    }
    const qulonglong v = t.toULongLong(&ok, 0);
    if (!ok || v > 0xFFFFFFFFull)
        return std::nullopt;
    return quint32(v);
}

} // namespace

std::span<const SettingInfo> layoutSettingsTable() {
    return kTable;
}

const SettingInfo* findSetting(QStringView name) {
    for (const SettingInfo& info : kTable) {
        if (name == QLatin1StringView(info.name))
            return &info;
    }
    return nullptr;
}

SettingValue settingValue(const LayoutSettings& s, const SettingInfo& info) {
    return std::visit([&s](auto member) -> SettingValue { return s.*member; }, info.member);
}

SettingValue defaultSettingValue(const SettingInfo& info) {
    static const LayoutSettings defaults;
    return settingValue(defaults, info);
}

void checkSettingValue(const SettingInfo& info, const SettingValue& value) {
    if (value.index() != info.member.index())
        badValue(info, QStringLiteral("falsche Art von Wert"));
    double number = 0;
    if (const qint32* i = std::get_if<qint32>(&value))
        number = *i;
    else if (const double* d = std::get_if<double>(&value))
        number = *d;
    else if (const FontSpec* f = std::get_if<FontSpec>(&value)) {
        if (f->Name.size() > 255)
            badValue(info, QStringLiteral("der Schriftname ist länger als 255 Zeichen"));
        if (f->Size < kMinFontPoints || f->Size > kMaxFontPoints)
            badValue(info, QStringLiteral("die Schriftgröße muss zwischen %1 und %2 Punkt liegen"),
                     {QString::number(kMinFontPoints), QString::number(kMaxFontPoints)});
        return;
    } else
        return;
    if (!std::isfinite(number))
        badValue(info, QStringLiteral("keine Zahl"));
    if (info.hasRange() && (number < info.min || number > info.max))
        outOfRange(info);
}

void setSettingValue(LayoutSettings& s, const SettingInfo& info, const SettingValue& value) {
    checkSettingValue(info, value);
    assignSettingValue(s, info, value);
}

void assignSettingValue(LayoutSettings& s, const SettingInfo& info, const SettingValue& value) {
    if (value.index() != info.member.index())
        return;
    std::visit(
        [&s, &value](auto member) {
            using T = std::remove_reference_t<decltype(s.*member)>;
            s.*member = std::get<T>(value);
        },
        info.member);
}

SettingValue clampSettingValue(const SettingInfo& info, const SettingValue& value) {
    if (value.index() != info.member.index())
        return defaultSettingValue(info);
    if (const FontSpec* f = std::get_if<FontSpec>(&value)) {
        FontSpec clamped = *f;
        clamped.Size = std::clamp(f->Size, kMinFontPoints, kMaxFontPoints);
        clamped.PixelsPerInch = std::clamp(f->PixelsPerInch, 1, kMaxFontResolution);
        return clamped;
    }
    if (!info.hasRange())
        return value;
    if (const qint32* i = std::get_if<qint32>(&value))
        return qint32(std::clamp(double(*i), info.min, info.max));
    if (const double* d = std::get_if<double>(&value)) {
        if (std::isnan(*d))
            return defaultSettingValue(info);
        return std::clamp(*d, info.min, info.max);
    }
    return value;
}

SettingValue parseSettingValue(const SettingInfo& info, const QString& textValue) {
    const QString t = textValue.trimmed();
    SettingValue value;
    bool ok = false;
    switch (info.kind) {
    case SettingKind::Integer: {
        const int v = t.toInt(&ok);
        if (!ok)
            badValue(info, QStringLiteral("\"%1\" ist keine ganze Zahl"), {textValue});
        value = qint32(v);
        break;
    }
    case SettingKind::Number: {
        const double v = t.toDouble(&ok); // always with a decimal point
        if (!ok)
            badValue(info, QStringLiteral("\"%1\" ist keine Zahl (mit Dezimalpunkt)"), {textValue});
        value = v;
        break;
    }
    case SettingKind::Flag: {
        const QString l = t.toLower();
        if (l == u"true" || l == u"1" || l == u"on")
            value = true;
        else if (l == u"false" || l == u"0" || l == u"off")
            value = false;
        else
            badValue(info, QStringLiteral("\"%1\" ist weder true noch false"), {textValue});
        break;
    }
    case SettingKind::Colour: {
        const std::optional<quint32> c = parseColour(t);
        if (!c)
            badValue(info, QStringLiteral("\"%1\" ist keine Farbe (#RRGGBB oder Zahl)"), {textValue});
        value = *c;
        break;
    }
    case SettingKind::Font: {
        // Name,Size,Style,Color: the name may not hold a comma; Style and Color may be left out.
        const QStringList parts = textValue.split(QLatin1Char(','));
        if (parts.size() < 2 || parts.size() > 4 || parts[0].trimmed().isEmpty())
            badValue(info, QStringLiteral("\"%1\" ist keine Schrift (Name,Größe,Stil,Farbe)"), {textValue});
        FontSpec f = std::get<FontSpec>(defaultSettingValue(info));
        f.Name = parts[0].trimmed();
        f.Size = parts[1].trimmed().toInt(&ok);
        if (!ok)
            badValue(info, QStringLiteral("\"%1\" ist keine Schriftgröße"), {parts[1]});
        f.Style = 0;
        if (parts.size() > 2) {
            for (QChar ch : parts[2].trimmed().toLower()) {
                const int bit = ch == u'b'   ? FontSpec::Bold
                                : ch == u'i' ? FontSpec::Italic
                                : ch == u'u' ? FontSpec::Underline
                                : ch == u's' ? FontSpec::StrikeOut
                                             : 0;
                if (bit == 0)
                    badValue(info, QStringLiteral("\"%1\" ist kein Schriftstil (b, i, u, s)"), {parts[2]});
                f.Style = quint8(f.Style | bit);
            }
        }
        if (parts.size() > 3) {
            const std::optional<quint32> c = parseColour(parts[3]);
            if (!c)
                badValue(info, QStringLiteral("\"%1\" ist keine Farbe (#RRGGBB oder Zahl)"), {parts[3]});
            f.Color = *c;
        }
        f.PixelsPerInch = 96;
        value = f;
        break;
    }
    case SettingKind::Text:
    case SettingKind::Path:
        value = textValue;
        break;
    }
    checkSettingValue(info, value);
    return value;
}

} // namespace pw
