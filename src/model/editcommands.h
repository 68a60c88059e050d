#pragma once

// The editing commands of the category list, the product list and the product editor, as
// operations on the open document. The window only maps its controls to them; the command
// line and the tests drive them directly.
//
// Every command works on category and product indices as the lists show them. A command
// whose category, product or selection is missing or out of range does nothing. A command
// that changes the document marks it changed and records one undo step that restores
// exactly what it touched; a command that changes nothing records nothing.

#include "model/catalog.h"
#include "model/settingstable.h"
#include "model/undo.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

namespace pw {

class Prompts;
class TranslationStore;

// About the bytes a product holds (texts, pictures, cells), for the undo budget.
qint64 productBytes(const TProdukt& p);

// ---- Categories

// Appends a category with an empty name and no options record; returns its index. The
// window then starts editing the name in place.
int newCategory(EditContext& ctx);
// Gives a category a new name (in-place editing). The same name changes nothing.
void renameCategory(EditContext& ctx, int kat, const QString& name);
// Swaps the category with the one above / below, name and options record moving with it.
// Returns the category's new index (the window keeps it selected), or -1 when nothing
// moved: no such category, or it is already first / last.
int moveCategoryUp(EditContext& ctx, int kat);
int moveCategoryDown(EditContext& ctx, int kat);
// Asks with message 10 followed by the category name in double quotes (caption message
// 11, Yes, No and Cancel) and on Yes deletes the category with all its products and its
// options record. Returns true when it was deleted.
bool deleteCategory(EditContext& ctx, int kat, Prompts& prompts, TranslationStore& texts);
// ---- Products

// Appends a new product to the category: name message 20, empty description, no
// pictures, the table defaults, one header row holding the template columns
// (VorlageSpalten, in order) and anzpreis from PreDefAnzPreisEd. Returns its index, or -1
// without a valid category.
int newProduct(EditContext& ctx, int kat, TranslationStore& texts);
// Deletes the selected products (indices in any order; duplicates and indices out of
// range are ignored), from the last to the first. Returns how many went.
int deleteProducts(EditContext& ctx, int kat, QList<int> selected);
// Swaps the product with the one above / below; returns its new index, or -1 when nothing
// moved.
int moveProductUp(EditContext& ctx, int kat, int prod);
int moveProductDown(EditContext& ctx, int kat, int prod);

// The choices of the dialog "In andere Kategorie verschieben": the names of every
// category except `kat`, in list order. Empty when there is no other category.
QStringList otherCategoryNames(const CatalogDocument& doc, int kat);
// Moves the selected products of `kat` to the category chosen in that dialog (`choice` is
// an index into otherCategoryNames(); -1 for Cancel). The products are taken from the
// last selected to the first and each appended to the target, so they end up at its end
// in the reverse of their order in the source. Returns how many moved.
int moveProductsToOtherCategory(EditContext& ctx, int kat, QList<int> selected, int choice);

// The product editor. Each replaces one field of the product and marks the document
// changed. The editor writes back whatever it shows: writing a product's own value
// changes nothing, records no step and leaves the changed flag alone, so that looking at
// a catalogue never makes it ask to be saved. Consecutive changes of one field merge into
// one undo step (typing a word is one step) until the history is sealed, which the
// window does when the field loses the focus.
void setProductName(EditContext& ctx, int kat, int prod, const QString& name);
void setProductDesc(EditContext& ctx, int kat, int prod, const QString& desc);
// Number of price columns, 1..100; another value throws pw::Error.
void setAnzPreis(EditContext& ctx, int kat, int prod, int anzpreis);
// "Seitenumbruch nach dem Produkt" applies to the first selected product only,
// "Produkt deaktivieren" to every selected product.
void setPageBreakAfterProdukt(EditContext& ctx, int kat, QList<int> selected, bool on);
void setDeactivateProd(EditContext& ctx, int kat, QList<int> selected, bool on);

// "Anzahl Preisspalten" of the tab "Voreinstellungen": the price-column count new products
// get (PreDefAnzPreisEd, 1..100, pw::Error otherwise). Its change marks the document
// changed.
void setPreDefAnzPreis(EditContext& ctx, int anzpreis);

// ---- Whole-document steps

// Runs `change` on the document as one undo step that keeps the document before and after
// it whole (an import, which may touch any category). When `change` throws, it must leave
// the document as it was (the imports take back what they did); nothing is recorded then
// and the exception passes on. A result whose `cancelled` is true (an import stopped by
// its progress, which changes nothing) records nothing either. Observers are told
// Everything. Returns what `change` returned.
template <class Change> auto documentStep(EditContext& ctx, const QString& caption, Change&& change);

// ---- Layout settings

// Gives one layout setting a new value (checked against the setting's kind and range by
// checkSettingValue, which throws pw::Error and changes nothing for a bad value). A new
// value is one undo step and marks the document changed, so that closing the window asks
// to save a changed layout; consecutive changes of the same setting merge into one step
// (typing "12" into a margin field is one change). The same value changes nothing.
void changeSetting(EditContext& ctx, const SettingInfo& setting, const SettingValue& value);

// ---- The category dialog "Kategorie bearbeiten"

// What the dialog shows and returns: the name and every field of the options record, with
// the picture position as the dialog's choice.
struct CategoryDialogValues {
    QString name;
    TKategorie record;
    bool bildVorName = true; // "Bild vor Kategorienamen anzeigen" chosen
};

constexpr double kCategoryDialogBildBreite = 3;              // cm
constexpr quint32 kCategoryDialogFontColor = 0x0000FFFF;     // yellow (0x00BBGGRR)
constexpr quint32 kCategoryDialogUnterlegFarbe = 0x00000000; // black
constexpr quint32 kCategoryDialogBereichFarbe = 0x00808080;  // grey

// The values the dialog opens with: the category's name and record, or for a category
// without a record an empty picture and text, width 3, the picture before the name, every
// check box off and the three default colours. Changes nothing (Cancel simply drops them).
CategoryDialogValues categoryDialogValues(const CatalogDocument& doc, int kat);
// Clicking "Nur das Bild anzeigen...", "Diese Kategorie nicht im Inhaltsverzeichnis
// auflisten" or "Kategorie deaktivieren" while "Nur das Bild anzeigen..." is checked puts
// the picture under the name.
void categoryDialogCheckClicked(CategoryDialogValues& values);
// OK: the category takes the name and a new options record built from the values
// (BildUnterName is 1 exactly when the picture is not before the name), replacing any
// record it had. The picture width must lie in 0.01..10000 cm (pw::Error otherwise).
void applyCategoryDialog(EditContext& ctx, int kat, const CategoryDialogValues& values);

// The bytes a whole document holds, for the undo budget.
qint64 documentBytes(const CatalogDocument& doc);

template <class Change> auto documentStep(EditContext& ctx, const QString& caption, Change&& change) {
    auto before = std::make_shared<const CatalogDocument>(ctx.doc);
    auto result = change(ctx.doc);
    if constexpr (requires { bool(result.cancelled); }) {
        if (result.cancelled)
            return result;
    }
    auto after = std::make_shared<const CatalogDocument>(ctx.doc);
    ctx.record(
        caption, [before](CatalogDocument& d) { d = *before; }, [after](CatalogDocument& d) { d = *after; },
        documentBytes(*before) + documentBytes(*after), {DocumentChange::everything()});
    return result;
}

} // namespace pw
