#pragma once

// The preview box of the pictures: white, with the last loaded picture drawn as large as
// fits with its aspect ratio kept (fitted to the width first, to the height when that is
// too tall), anchored top left. Picture files dropped on it from a file manager are
// offered through filesDropped().

#include <QStringList>
#include <QWidget>

class QMimeData;

namespace pw {

struct dib;

class PicturePreview : public QWidget {
    Q_OBJECT
public:
    // `picture` must outlive the box; the box repaints when told (update()).
    explicit PicturePreview(const dib& picture, QWidget* parent = nullptr);

    // Where the picture lands in a box of `box` pixels: its fitted size at the top left.
    static QSize fittedSize(QSize picture, QSize box);

signals:
    void filesDropped(const QStringList& files);

protected:
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    const dib& m_picture;
};

// The local files of a drop, in order; empty when it carries none.
QStringList droppedFiles(const QMimeData* data);

} // namespace pw
