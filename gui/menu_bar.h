// The main window's menu bar. Its commands are plain actions without
// menus, which most styles draw highlighted only while a menu is open:
// this bar highlights the command that the mouse or the keyboard selects,
// in every style, and F10 enters and leaves it as Alt does.
#pragma once

#include <QMenuBar>

namespace soranika {

class MenuBar : public QMenuBar {
    Q_OBJECT

public:
    explicit MenuBar(QWidget* parent = nullptr);

    // Selects the first command for the arrow keys, or leaves the bar if it
    // has the keyboard: what a tap of Alt does.
    void ToggleKeyboardSelection();

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace soranika
