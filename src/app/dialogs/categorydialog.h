#pragma once

// "Kategorie bearbeiten": a category's name and every field of its options record. The
// dialog only shows and returns values; the window applies them with the core's
// applyCategoryDialog on OK. The rule that "Nur das Bild anzeigen..." puts the picture
// under the name is the core's categoryDialogCheckClicked.

#include "model/editcommands.h"

#include <QDialog>

#include <vector>

class QAbstractButton;
class QCheckBox;
class QDoubleSpinBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace pw {

class CategoryDialog : public QDialog {
    Q_OBJECT
public:
    // `pictureFilter` is the picture dialog's filter in the program's "Text|*.ext" form.
    CategoryDialog(const CategoryDialogValues& values, const QString& pictureFilter,
                   QWidget* parent = nullptr);
    CategoryDialogValues values() const;

    // A colour of the record (0x00BBGGRR) as Qt shows it, and back.
    static QColor qtColor(quint32 stored);
    static quint32 storedColor(const QColor& colour);
    // Sets a colour field as the colour dialog's OK does (0 font, 1 name background,
    // 2 area background).
    void setColour(int field, quint32 stored);

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct Check {
        bool TKategorie::*field;
        QCheckBox* box;
    };
    struct Colour {
        quint32 TKategorie::*field;
        QPushButton* button;
    };
    void showColour(const Colour& c);
    void pickColour(std::size_t field);
    // After one of the three check boxes that switch the picture position was clicked.
    void picturePositionRule();

    CategoryDialogValues m_values;
    QString m_filter;
    QLineEdit* m_name;
    QLineEdit* m_picture;
    QDoubleSpinBox* m_width;
    QRadioButton* m_before;
    QRadioButton* m_below;
    QPlainTextEdit* m_text;
    std::vector<Check> m_checks;
    std::vector<Colour> m_colours;
};

} // namespace pw
