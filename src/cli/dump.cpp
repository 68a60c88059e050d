// pagewright-cli dump FILE [--no-trim]: the catalogue as JSON on stdout.

#include "cli/cli.h"
#include "cli/json.h"
#include "cli/load.h"

namespace pw::cli {

namespace {

void writeFont(JsonWriter& j, const FontSpec& f) {
    j.beginObject();
    j.key("Charset").value(qint32(f.Charset));
    j.key("Color").value(f.Color);
    j.key("Name").value(f.Name);
    j.key("Pitch").value(qint32(f.Pitch));
    j.key("PixelsPerInch").value(f.PixelsPerInch);
    j.key("Size").value(f.Size);
    j.key("Style").value(qint32(f.Style));
    j.endObject();
}

void writeSettings(JsonWriter& j, const LayoutSettings& s) {
    j.beginObject();
#define PW_FIELD(name) j.key(#name).value(s.name)
#define PW_FONT(name)                                                                                        \
    j.key(#name);                                                                                            \
    writeFont(j, s.name)
    PW_FIELD(PreDefAnzPreisEd);
    PW_FIELD(DefineFixedWidthCheck);
    PW_FIELD(RxSpinEdit1);
    PW_FIELD(RxSpinEdit2);
    PW_FIELD(RxSpinEdit3);
    PW_FIELD(RxSpinEdit4);
    PW_FIELD(RxSpinEdit5);
    PW_FIELD(RxSpinEdit6);
    PW_FIELD(RxSpinEdit7);
    PW_FIELD(RxSpinEdit8);
    PW_FIELD(RxSpinEdit9);
    PW_FIELD(RxSpinEdit10);
    PW_FIELD(RxSpinEdit11);
    PW_FIELD(DefineFixedHeightCheck);
    PW_FIELD(FixWidthForTableCheck);
    PW_FIELD(FixedWidthForTableEd);
    PW_FIELD(DefMaxCellWidthCheck);
    PW_FIELD(MaxCellWidthEd);
    PW_FIELD(LayoutCombo);
    PW_FIELD(LinksEd);
    PW_FIELD(ObenEd);
    PW_FIELD(RechtsEd);
    PW_FIELD(UntenEd);
    PW_FIELD(RandBildEd);
    PW_FIELD(KopfEdmm);
    PW_FIELD(RandKopfEd);
    PW_FIELD(PlatzueberEd);
    PW_FIELD(LinkRandFussEd);
    PW_FIELD(PlatzZwischenSpaltenEd);
    PW_FIELD(LineWidthEd);
    PW_FIELD(LineWidthEd2);
    PW_FIELD(LineAddSpaceEd);
    PW_FIELD(RandTextEd);
    PW_FIELD(RahmenCheck);
    PW_FIELD(PDFRandEd);
    PW_FIELD(SetPDFSizeCheck);
    PW_FIELD(PDFWidthEd);
    PW_FIELD(PDFHeightED);
    PW_FIELD(ZerrePDFCheck);
    PW_FONT(FontDialog1);
    PW_FONT(FontDialog2);
    PW_FONT(FontDialog3);
    PW_FONT(FontDialog4);
    PW_FONT(FontDialog5);
    PW_FONT(FontDialog6);
    PW_FONT(FontDialog7);
    PW_FONT(FontDialog8);
    PW_FONT(FontDialog9);
    PW_FONT(FontDialog11);
    PW_FONT(FontDialog12);
    PW_FIELD(Shape1);
    PW_FIELD(Shape2);
    PW_FIELD(Shape3);
    PW_FIELD(Shape4);
    PW_FIELD(Shape5);
    PW_FIELD(Shape6);
    PW_FIELD(Shape7);
    PW_FIELD(Shape8);
    PW_FIELD(Shape9);
    PW_FIELD(Shape10);
    PW_FIELD(Shape11);
    PW_FIELD(FarbRechtKopfCheck);
    PW_FIELD(FarbrechtFussCheck);
    PW_FIELD(UnterlegeKategorie);
    PW_FIELD(KatBereichUnterCheck);
    PW_FIELD(OnlyOneColumnCheck);
    PW_FIELD(ArtNotBlockCheck);
    PW_FIELD(ZentrTabelleCheck);
    PW_FIELD(BildAlign);
    PW_FIELD(CapsCheck);
    PW_FIELD(ZentrCheck);
    PW_FIELD(ZentrFussCheck);
    PW_FIELD(NoLineBelowVariantsCheck);
    PW_FIELD(CoverCheck);
    PW_FIELD(AllowPageBreak);
    PW_FIELD(ZwischenLinienCheck);
    PW_FIELD(DonotShowVariantsCheck);
    PW_FIELD(BilderrahmenCheck);
    PW_FIELD(PreisLinksCheck);
    PW_FIELD(PreisCentCheck);
    PW_FIELD(NoRahmenCheck);
    PW_FIELD(AndereRechtsCheck);
    PW_FIELD(AndereZentriertCheck);
    PW_FIELD(Columns);
    PW_FIELD(DoLineBreakinTableCellsCheck);
    PW_FIELD(DonotShowPriceColumnscheck);
    PW_FIELD(LinesInVariantCheck);
    PW_FIELD(FooterLeftCheck);
    PW_FIELD(UseColorInInhaltCheck);
    PW_FIELD(DonotIncreaseFontSizeCheck);
    PW_FIELD(SetPicHeightCheck);
    PW_FIELD(FussEd);
    PW_FIELD(FussEd2);
    PW_FIELD(Fuss2Ed);
    PW_FIELD(KopfEd);
    PW_FIELD(LogoChecked);
    PW_FIELD(xchangecheck);
    PW_FIELD(FirstPageNr);
    PW_FIELD(FilenameEdit1);
    PW_FIELD(FilenameEdit2);
    PW_FIELD(FilenameEdit3);
    PW_FIELD(BackgroundColorCheck);
    PW_FIELD(BreitEd2);
    PW_FIELD(HochEd2);
    PW_FIELD(SVerh2Check);
    PW_FIELD(GrayScaleCheck);
    PW_FIELD(LightenCheck);
    PW_FIELD(HellEd);
    PW_FIELD(SatEd);
    PW_FIELD(BreitEd3);
    PW_FIELD(HochEd3);
    PW_FIELD(sverhlogo);
    PW_FIELD(ShowLogoRightAlignedCheck);
#undef PW_FONT
#undef PW_FIELD
    j.endObject();
}

void writeOptions(JsonWriter& j, const TKategorie* o) {
    if (!o) {
        j.null();
        return;
    }
    j.beginObject();
#define PW_FIELD(name) j.key(#name).value(o->name)
    PW_FIELD(Bild);
    PW_FIELD(BildBreite);
    PW_FIELD(Einfuehrungstext);
    PW_FIELD(BildUnterName);
    PW_FIELD(Deactivate);
    PW_FIELD(ListAllKategoires);
    PW_FIELD(Unterkategorien);
    PW_FIELD(DoNotListinInhalt);
    PW_FIELD(UseAsBackgroundPic);
    PW_FIELD(ShowOnlyPicture);
    PW_FIELD(ErstesAufneuerSeite);
    PW_FIELD(InhaltsVerzeichnis);
    PW_FIELD(NoNeedForNewPage);
    PW_FIELD(TextUnterBild);
    PW_FIELD(DoNotListCategories);
    PW_FIELD(ProdukteInhalt);
    PW_FIELD(KatBereichUnter);
    PW_FIELD(UnterlegeKategorie);
    PW_FIELD(OwnFontColor);
    PW_FIELD(BereichFarbe);
    PW_FIELD(UnterlegFarbe);
    PW_FIELD(FontColor);
#undef PW_FIELD
    j.endObject();
}

void writeProduct(JsonWriter& j, const TProdukt& p) {
    j.beginObject();
#define PW_FIELD(name) j.key(#name).value(p.name)
    PW_FIELD(name);
    PW_FIELD(desc);
    PW_FIELD(anzpreis);
    PW_FIELD(DeactivateProd);
    PW_FIELD(PageBreakAfterProdukt);
    PW_FIELD(OverWrite);
    PW_FIELD(DefineFixedWidth);
    PW_FIELD(FixWidthForTable);
    PW_FIELD(DefineFixedHeight);
    j.key("ColWidth").beginArray();
    for (double w : p.ColWidth)
        j.value(w);
    j.endArray();
    PW_FIELD(FixedWidthForTable);
    PW_FIELD(RowHeight);
#undef PW_FIELD
    j.key("bilder").beginArray();
    for (const TBild& b : p.bilder) {
        j.beginObject();
        j.key("datei").value(b.datei);
        j.key("breite").value(b.breite);
        j.endObject();
    }
    j.endArray();
    j.key("varianten").beginArray();
    for (const TVariante& row : p.varianten) {
        j.beginArray();
        for (const TProp& cell : row.props)
            j.value(cell.text);
        j.endArray();
    }
    j.endArray();
    j.endObject();
}

} // namespace

int runDump(const QStringList& args, Context& context) {
    QString file;
    ReadOptions options;
    for (const QString& a : args) {
        if (a == QLatin1String("--no-trim"))
            options.trimVariants = false;
        else if (a.startsWith(QLatin1String("--")) || !file.isEmpty())
            return usageError(QStringLiteral("dump: unerwartetes Argument %1").arg(a));
        else
            file = a;
    }
    if (file.isEmpty())
        return usageError(QStringLiteral("dump: keine Katalogdatei angegeben"));

    CatalogDocument doc;
    if (!loadCatalog(context, doc, file, options))
        return kFailed;

    JsonWriter j;
    j.beginObject();
    j.key("VorlageSpalten").beginArray();
    for (const QString& c : doc.VorlageSpalten)
        j.value(c);
    j.endArray();
    j.key("settings");
    writeSettings(j, doc.settings);
    j.key("kats").beginArray();
    for (int k = 0; k < doc.categoryCount(); ++k) {
        j.beginObject();
        j.key("name").value(doc.categoryName(k));
        j.key("options");
        writeOptions(j, doc.options(k));
        j.key("products").beginArray();
        for (const TProdukt& p : doc.products(k))
            writeProduct(j, p);
        j.endArray();
        j.endObject();
    }
    j.endArray();
    j.endObject();
    return printJson(j);
}

} // namespace pw::cli
