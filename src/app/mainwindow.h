#pragma once

#include <QMainWindow>

namespace pw {

// The main window. For now it only shows the program's caption; the tabs and commands
// arrive with the document lifecycle.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
};

} // namespace pw
