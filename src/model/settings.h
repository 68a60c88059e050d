#pragma once

// The document-wide layout settings. Each field carries the name of the control that
// edits it; the member initialisers are the defaults of a new program start.
// Lengths are millimetres unless noted; colours are 0x00BBGGRR, and a high byte of 0xFF
// marks a system colour whose low byte is the system colour index.

#include <QString>

#include <cstdint>

namespace pw {

constexpr quint32 kColorWindowText = 0xFF000008; // system colour 8, drawn black

// A stored font.
struct FontSpec {
    enum StyleBit : quint8 { Bold = 1, Italic = 2, Underline = 4, StrikeOut = 8 };

    quint8 Charset = 0; // Windows character set, 0 = ANSI
    quint32 Color = kColorWindowText;
    QString Name;              // face name, at most 255 UTF-16 code units
    quint8 Pitch = 0;          // 0 default, 1 variable, 2 fixed
    qint32 PixelsPerInch = 96; // the resolution Size refers to
    qint32 Size = 10;          // points
    quint8 Style = 0;          // StyleBit set

    bool operator==(const FontSpec&) const = default;
};

// A default font whose size is given as a pixel height at 96 dpi: Size = round(h * 72 / 96).
FontSpec MakeDefaultFont(const char* face, int pixelHeight, bool bold, quint32 color);

struct LayoutSettings {
    // Defaults for new products and variant tables
    qint32 PreDefAnzPreisEd = 3; // 1..100
    bool DefineFixedWidthCheck = false;
    double RxSpinEdit1 = 35, RxSpinEdit2 = 35, RxSpinEdit3 = 35, RxSpinEdit4 = 35, RxSpinEdit5 = 35;
    double RxSpinEdit6 = 5; // row height
    double RxSpinEdit7 = 35, RxSpinEdit8 = 35, RxSpinEdit9 = 35, RxSpinEdit10 = 35, RxSpinEdit11 = 35;
    bool DefineFixedHeightCheck = false;
    bool FixWidthForTableCheck = false;
    double FixedWidthForTableEd = 155;
    bool DefMaxCellWidthCheck = true;
    double MaxCellWidthEd = 50;

    // Layout choice: 0..7 for layouts 1..8
    qint32 LayoutCombo = 0;

    // Margins and spacings
    double LinksEd = 12;
    double ObenEd = 2;
    double RechtsEd = 12;
    double UntenEd = 5;
    double RandBildEd = 2;
    double KopfEdmm = 5;
    double RandKopfEd = 5;
    double PlatzueberEd = 5;
    double LinkRandFussEd = 5;
    double PlatzZwischenSpaltenEd = 5;
    double LineWidthEd = 0.6;
    double LineWidthEd2 = 0.6;
    double LineAddSpaceEd = 0;
    double RandTextEd = 2;
    bool RahmenCheck = false;
    double PDFRandEd = 0;
    bool SetPDFSizeCheck = false;
    double PDFWidthEd = 210;
    double PDFHeightED = 297;
    bool ZerrePDFCheck = false;

    // Fonts
    FontSpec FontDialog1 = MakeDefaultFont("Arial", 16, true, kColorWindowText);
    FontSpec FontDialog2 = MakeDefaultFont("Arial Black", 32, true, 0x0000FFFF);
    FontSpec FontDialog3 = MakeDefaultFont("Arial Black", 19, false, kColorWindowText);
    FontSpec FontDialog4 = MakeDefaultFont("Arial", 15, false, kColorWindowText);
    FontSpec FontDialog5 = MakeDefaultFont("Arial", 13, true, kColorWindowText);
    FontSpec FontDialog6 = MakeDefaultFont("Arial Black", 12, false, kColorWindowText);
    FontSpec FontDialog7 = MakeDefaultFont("Arial", 13, false, kColorWindowText);
    FontSpec FontDialog8 = MakeDefaultFont("Arial Black", 13, false, 0x00FFFFFF);
    FontSpec FontDialog9 = MakeDefaultFont("Arial Black", 32, true, 0x00FFFFFF);
    FontSpec FontDialog11 = MakeDefaultFont("Arial Black", 19, false, kColorWindowText);
    FontSpec FontDialog12 = MakeDefaultFont("Arial", 15, false, kColorWindowText);

    // Colours and the switches that enable the first four
    quint32 Shape1 = 0x00800000;
    quint32 Shape2 = 0x00800000;
    quint32 Shape3 = 0x00000000;
    quint32 Shape4 = 0x00808080;
    quint32 Shape5 = 0x00A6CAF0;
    quint32 Shape6 = 0x00FFFFFF;
    quint32 Shape7 = 0x00FFFFFF;
    quint32 Shape8 = 0x00C0C0C0;
    quint32 Shape9 = 0x00E1E1E1;
    quint32 Shape10 = 0x00000000;
    quint32 Shape11 = 0x00000000;
    bool FarbRechtKopfCheck = true;
    bool FarbrechtFussCheck = true;
    bool UnterlegeKategorie = true;
    bool KatBereichUnterCheck = true;

    // Formatting switches
    bool OnlyOneColumnCheck = false;
    bool ArtNotBlockCheck = true;
    bool ZentrTabelleCheck = false;
    qint32 BildAlign = 2; // 0 left, 1 centred, 2 right
    bool CapsCheck = true;
    bool ZentrCheck = true;
    bool ZentrFussCheck = false;
    bool NoLineBelowVariantsCheck = false;
    bool CoverCheck = false;
    bool AllowPageBreak = false;
    bool ZwischenLinienCheck = false;
    bool DonotShowVariantsCheck = false;
    bool BilderrahmenCheck = false;
    bool PreisLinksCheck = false;
    bool PreisCentCheck = false;
    bool NoRahmenCheck = false;
    bool AndereRechtsCheck = false;
    bool AndereZentriertCheck = false;
    qint32 Columns = 4; // 2, 3 or 4
    bool DoLineBreakinTableCellsCheck = true;
    bool DonotShowPriceColumnscheck = false;
    bool LinesInVariantCheck = true;
    bool FooterLeftCheck = false;
    bool UseColorInInhaltCheck = false;
    bool DonotIncreaseFontSizeCheck = false;
    bool SetPicHeightCheck = false;

    // Header and footer; the texts may hold %PAGE%, %DATE% and %CATEGORY%
    QString FussEd = QStringLiteral("%PAGE%  -  Besuchen Sie uns im Internet unter www.example.com");
    QString FussEd2 = QStringLiteral("Besuchen Sie uns im Internet unter www.example.com  -  %PAGE%");
    QString Fuss2Ed;
    QString KopfEd = QStringLiteral("Orvanto GbR Produktkatalog");
    bool LogoChecked = true;
    bool xchangecheck = false;
    qint32 FirstPageNr = 1;

    // Background (sizes in cm)
    QString FilenameEdit2;
    QString FilenameEdit3;
    bool BackgroundColorCheck = false;
    double BreitEd2 = 30;
    double HochEd2 = 10;
    bool SVerh2Check = true;
    bool GrayScaleCheck = false;
    bool LightenCheck = true;
    double HellEd = 50; // percent, 1..100
    double SatEd = 0;   // -100..200

    // Logo (sizes in cm)
    QString FilenameEdit1 = QStringLiteral("logo orvanto200x200.gif");
    double BreitEd3 = 1.5;
    double HochEd3 = 1.5;
    bool sverhlogo = true;
    bool ShowLogoRightAlignedCheck = false;
};

} // namespace pw
