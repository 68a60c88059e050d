#pragma once

// The open catalogue as both front ends hold it: the document, its EditContext (undo
// history, the one changed flag, change notifications), the engine environment that lives
// from one layout run to the next (clock, locale, pictures loaded once, the pictures that
// failed), and the operations on the document as a whole: new, open, save, save as, and
// the layout run that draws nothing, which every drawing command makes first so that page
// counts, "%CATEGORY%", the cover rule and the table of contents read a previous run.
//
// The session never shows anything: errors are thrown as pw::Error, warnings returned.
// Observers registered on edit() are told Everything when a document is opened or a new
// one begun.

#include "compose/engine.h"
#include "model/catalog.h"
#include "model/catalogfile.h"
#include "model/error.h"
#include "model/undo.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace pw {

class TranslationStore;

// The lines that report pictures copyAllPictures could not copy: message 45, the source,
// message 46, the target and " !", and in brackets why when the source is not a file at all.
QStringList pictureCopyFailureLines(const std::vector<Error>& failures, TranslationStore& texts);

class CatalogSession {
public:
    // A fresh program start: the default settings, the template columns of messages 15 to
    // 19 in the language of `texts`, no categories, untitled and unchanged. `texts` and
    // `clock` must outlive the session.
    CatalogSession(TranslationStore& texts, const Clock& clock, QLocale locale = QLocale());
    CatalogSession(const CatalogSession&) = delete;
    CatalogSession& operator=(const CatalogSession&) = delete;

    CatalogDocument& doc() { return m_doc; }
    const CatalogDocument& doc() const { return m_doc; }
    EditContext& edit() { return m_edit; }
    EngineEnvironment& environment() { return *m_env; }
    // The file the document was opened from or last saved to; empty while untitled.
    const QString& fileName() const { return m_doc.afilename; }

    // "Neu": every category goes, BackgroundColorCheck goes off, the file name is cleared;
    // the other settings and the template columns stay. The history is forgotten and the
    // document is unchanged.
    void newDocument();

    // Which reader open() uses: the one the extension selects (".pkd" the older format), or
    // the current format whatever the extension is (a file named on the command line).
    enum class Reader { ByExtension, CurrentFormat };

    // Opens a catalogue, seeded with this document's settings and template columns (blocks
    // the file lacks keep them). Returns the warnings of a damaged end. On failure
    // pw::Error is thrown and the open document is untouched. On success the history is
    // forgotten, the document is unchanged, and the pictures and picture failures of the
    // previous document are forgotten.
    std::vector<Error> open(const QString& path, const ReadOptions& options = {},
                            Reader reader = Reader::ByExtension);

    // Writes the document to its file; pw::Error when it has none yet or the write fails
    // (the old file is then untouched). Clears the changed flag on success.
    void save();
    // Writes the document to `path`, which becomes its file name on success.
    void saveAs(const QString& path);

    // A new catalogue modelled on the one at `path`: no categories, untitled and unchanged,
    // with that catalogue's layout settings and template columns exactly as they are
    // stored. Returns the model's warnings; on failure pw::Error is thrown and the open
    // document is untouched.
    std::vector<Error> newFromModel(const QString& path, const ReadOptions& options = {});

    // One layout run of `layout` (LayoutCombo index) that draws nothing, with the page
    // size and resolution of `call`.
    void measuringRun(int layout, EngineCall call);

    // "Bilder in ein Verzeichnis kopieren": copyAllPictures as one undo step. Returns one
    // line per picture that could not be copied, in the interface language: message 45,
    // the source, message 46, the target and " !", and in brackets why when the source is
    // not a file at all. Throws pw::Error when the folder cannot be created.
    QStringList copyAllPictures(const QString& folder);

private:
    TranslationStore* m_texts;
    const Clock* m_clock;
    QLocale m_locale;
    CatalogDocument m_doc;
    EditContext m_edit{m_doc};
    std::optional<EngineEnvironment> m_env;
};

} // namespace pw
