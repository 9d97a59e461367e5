#include "menu_bar.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionMenuItem>

namespace soranika {

MenuBar::MenuBar(QWidget* parent) : QMenuBar(parent) {}

void MenuBar::ToggleKeyboardSelection() {
    // QMenuBar enters and leaves its keyboard mode on a lone tap of Alt,
    // which it watches for on its window: the events of such a tap.
    QWidget* target = window();
    QKeyEvent shortcutOverride(QEvent::ShortcutOverride, Qt::Key_Alt, Qt::AltModifier);
    QApplication::sendEvent(target, &shortcutOverride);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

void MenuBar::paintEvent(QPaintEvent* event) {
    QMenuBar::paintEvent(event);
    QAction* selected = activeAction();
    if (selected == nullptr || !isEnabled() || !selected->isEnabled()) {
        return;
    }
    // Over what the style drew: the selected command in the palette's
    // selection colours.
    QStyleOptionMenuItem option;
    initStyleOption(&option, selected);
    option.rect = actionGeometry(selected);
    QPainter painter(this);
    painter.fillRect(option.rect, option.palette.brush(QPalette::Highlight));
    style()->drawItemText(&painter, option.rect,
                          Qt::AlignCenter | Qt::TextShowMnemonic | Qt::TextDontClip |
                              Qt::TextSingleLine,
                          option.palette, true, option.text, QPalette::HighlightedText);
}

} // namespace soranika
