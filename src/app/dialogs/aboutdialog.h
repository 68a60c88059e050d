#pragma once

// "Info": the program's name, version and licence, and the libraries it is built on with
// their versions.

#include <QDialog>

namespace pw {

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);

    // The lines of the box below the name, as shown (for the tests).
    static QStringList aboutLines();
};

} // namespace pw
