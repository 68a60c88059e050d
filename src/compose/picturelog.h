#pragma once

// The pictures a layout could not load. Every engine call that meets a picture file it
// cannot read (missing, not a regular file, damaged or too large) notes it here instead of
// dropping it without a word; the front ends show the list (the command-line tool as
// warnings on stderr, the window as a list).

#include "imagelib/picfiles.h"
#include "model/error.h"

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QString>

#include <vector>

namespace pw {

// What a picture is used for.
enum class PictureUse { Product, Category, Logo, Background };

struct PictureFailure {
    QString file; // the file that was looked for (the stored path, resolved)
    PictureUse use = PictureUse::Product;
    QString owner; // the product's or category's name; empty for logo and background
    PictureFileProblem problem = PictureFileProblem::Unreadable;
};

class PictureLog {
public:
    // Notes a failure; one already noted for the same file, use and owner is not repeated,
    // so a picture that fails in every layout run appears once.
    void add(const PictureFailure& failure);
    const std::vector<PictureFailure>& failures() const { return m_failures; }
    // The problem noted for the file, whatever its use; None when none was noted or the
    // file has changed (size or modification time) since.
    PictureFileProblem problemOf(const QString& file) const;
    bool empty() const { return m_failures.empty(); }
    void clear() {
        m_failures.clear();
        m_seen.clear();
        m_problems.clear();
    }

private:
    std::vector<PictureFailure> m_failures;
    QSet<QString> m_seen;
    struct Noted {
        PictureFileProblem problem;
        QDateTime modified; // of the file when it failed (invalid when it did not exist)
        qint64 size;
    };
    QHash<QString, Noted> m_problems; // by file
};

// A failure as an error naming its file, whose words are one line such as "Bild des
// Produkts „Hammer“ nicht geladen: Datei fehlt oder lässt sich nicht öffnen".
Error pictureFailureError(const PictureFailure& failure);

// Loads the picture a catalogue stores as `stored` for a layout: the path resolved for the
// catalogue file `catalogueFile` (resolvePicturePath), decoded as loadPictureForDrawing
// does (atLeast as there). A failure is noted in `log` when one is given.
PictureLoadResult loadLayoutPicture(dib& d, const QString& stored, const QString& catalogueFile,
                                    PictureUse use, const QString& owner, PictureLog* log, int atLeast = 0);

// The same for a layout run that only measures: the size the picture has in full, read from
// the file's header where it can be (readPictureSize), without its pixels. A file already
// noted in `log` fails here as it failed there, so that a picture that could be measured
// but not drawn takes no room in later runs either.
PictureLoadResult layoutPictureSize(const QString& stored, const QString& catalogueFile, PictureUse use,
                                    const QString& owner, PictureLog* log, int atLeast = 0);

} // namespace pw
