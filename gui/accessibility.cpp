#include "accessibility.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <QLineEdit>
#include <QVariant>

namespace soranika {

namespace {

constexpr char kRoleProperty[] = "soranikaAccessibleRole";

class RoleAccessible : public QAccessibleWidget {
public:
    RoleAccessible(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            if (const auto* label = qobject_cast<const QLabel*>(widget())) {
                // The padding that places the words on their lines is not read.
                return label->text().simplified();
            }
        }
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* RoleFactory(const QString& /*className*/, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr) {
        return nullptr;
    }
    const QVariant role = widget->property(kRoleProperty);
    if (!role.isValid()) {
        return nullptr;
    }
    return new RoleAccessible(widget, QAccessible::Role(role.toInt()));
}

// Every window has one announcer: a widget without size and without focus
// whose accessible role is a notification's. Screen readers read a
// notification out when it is shown (on Linux, Orca reads its name when
// AT-SPI reports it showing), so each announcement names it afresh and
// shows it again. On Windows, UI Automation knows no such role: a value
// change that carries a text reaches screen readers as a UI Automation
// notification with that text.
class Announcer : public QWidget {
    Q_OBJECT

public:
    explicit Announcer(QWidget* window) : QWidget(window) {
        setFocusPolicy(Qt::NoFocus);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setGeometry(0, 0, 0, 0);
        SetAccessibleRole(this, QAccessible::Notification);
    }

    void Say(const QString& text) {
        hide();
        setAccessibleName(text);
        show();
#ifdef Q_OS_WIN
        QAccessibleValueChangeEvent said(this, text);
        QAccessible::updateAccessibility(&said);
#endif
    }
};

} // namespace

void SetAccessibleRole(QWidget* widget, QAccessible::Role role) {
    static const bool installed = [] {
        QAccessible::installFactory(RoleFactory);
        return true;
    }();
    Q_UNUSED(installed);
    widget->setProperty(kRoleProperty, int(role));
    // An interface made while the widget was being set up is dropped, so
    // that the next one has the role.
    QAccessibleInterface* made = QAccessible::queryAccessibleInterface(widget);
    if (made != nullptr && made->role() != role) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    }
}

void Announce(QWidget* widget, const QString& text) {
    QWidget* window = widget->window();
    auto* announcer = window->findChild<Announcer*>(QString(), Qt::FindDirectChildrenOnly);
    if (announcer == nullptr) {
        announcer = new Announcer(window);
    }
    announcer->Say(text);
}

void NameOnFocus(QLineEdit* box) {
    // A new box has reported no cursor position yet. The first focus places
    // its cursor, and the box reports that move before the focus: a screen
    // reader then follows the cursor into the box and reads only what it
    // holds, nothing when it is empty, and the focus that follows changes
    // nothing for it. Reported now, while the box is set up, the position does
    // not move at the first focus, and the focus comes first.
    box->setCursorPosition(box->cursorPosition());
}

} // namespace soranika

#include "accessibility.moc"
