// pagewright-cli dump FILE [--no-trim]: the catalogue as JSON on stdout.

#include "cli/args.h"
#include "cli/cli.h"
#include "cli/json.h"
#include "cli/load.h"

namespace pw::cli {

namespace {

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
    j.key("OverWrite").value(p.table.OverWrite);
    j.key("DefineFixedWidth").value(p.table.DefineFixedWidth);
    j.key("FixWidthForTable").value(p.table.FixWidthForTable);
    j.key("DefineFixedHeight").value(p.table.DefineFixedHeight);
    j.key("ColWidth").beginArray();
    for (double w : p.table.ColWidth)
        j.value(w);
    j.endArray();
    j.key("FixedWidthForTable").value(p.table.FixedWidthForTable);
    j.key("RowHeight").value(p.table.RowHeight);
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
    ReadOptions options;
    bool noTrim = false;
    ArgRules rules;
    rules.command = "dump";
    rules.optionPrefix = "--";
    QStringList files;
    if (!readArgs(args, rules,
                  {{.name = QStringLiteral("--no-trim"), .kind = ArgOption::Kind::Switch, .on = &noTrim}},
                  &files))
        return kUsage;
    options.trimVariants = !noTrim;
    const QString file = files.value(0);
    if (file.isEmpty())
        return usageError(QStringLiteral("dump: keine Katalogdatei angegeben"));

    CatalogSession session = makeSession(context);
    if (!openCatalog(context, session, file, options))
        return kFailed;
    CatalogDocument& doc = session.doc();

    JsonWriter j;
    j.beginObject();
    j.key("VorlageSpalten").beginArray();
    for (const QString& c : doc.VorlageSpalten)
        j.value(c);
    j.endArray();
    j.key("settings");
    writeSettingsJson(j, doc.settings);
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
