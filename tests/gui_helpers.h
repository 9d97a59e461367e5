// Helpers for the tests that drive the real windows: find controls by
// their names, type and click as a user does, and answer message boxes.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <functional>

namespace testing {

template <typename T = QWidget> T* Child(QObject* window, const QString& name) {
    T* child = window->findChild<T*>(name);
    if (child == nullptr) {
        qFatal("no control named %s", qPrintable(name));
    }
    return child;
}

inline QString Caption(QObject* window, const QString& name) {
    return Child<QLabel>(window, name)->text();
}

inline QString Text(QObject* window, const QString& name) {
    return Child<QLineEdit>(window, name)->text();
}

// Replaces a box's text the way a user does: select all, type.
inline void Type(QObject* window, const QString& name, const QString& text) {
    auto* box = Child<QLineEdit>(window, name);
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    for (QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(box, c.toLatin1());
        } else {
            // As an input method commits what was converted.
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QApplication::sendEvent(box, &commit);
        }
    }
}

inline void Click(QObject* window, const QString& name) {
    QTest::mouseClick(Child<QAbstractButton>(window, name), Qt::LeftButton);
}

// A message box as the user saw it.
struct Message {
    QString text;
    QString title;
    int buttons = 0;
    bool noIcon = false;
    QWidget* visibleBehind = nullptr; // the window on screen while it showed
};

// Runs an action and answers every modal message box it shows with OK,
// returning what they said, in order.
inline QList<Message> Answering(const std::function<void()>& action,
                                const std::function<void(Message&)>& onShow = {}) {
    QList<Message> seen;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) {
            return;
        }
        Message m;
        m.text = box->text();
        m.title = box->windowTitle();
        m.buttons = int(box->buttons().size());
        m.noIcon = box->icon() == QMessageBox::NoIcon;
        if (onShow) {
            onShow(m);
        }
        seen.append(m);
        box->button(QMessageBox::Ok)->click();
    });
    poll.start();
    action();
    poll.stop();
    return seen;
}

// What the layout relies on in a font: its line metrics and the advances of
// proportional Japanese and Latin text. Fonts that agree here wrap the padded
// texts at the same places, whatever name the system gives them (on Windows
// the windows ask for MS P Gothic, elsewhere for IPA P Gothic).
inline QList<qreal> LayoutMetrics(const QFont& font) {
    const QFontMetricsF m(font);
    return {m.ascent(), m.descent(),
            m.horizontalAdvance(QStringLiteral("数字を入力して計算ボタンを押してください。")),
            m.horizontalAdvance(QStringLiteral("Soranika 1.2 (0123456789) -- OK"))};
}

// IPA P Gothic, which has MS P Gothic's metrics, at the size and weight of
// the given font.
inline QFont DesignFont(const QFont& font) {
    QFont design(QStringLiteral("IPAPGothic"));
    design.setPointSizeF(font.pointSizeF());
    design.setBold(font.bold());
    return design;
}

} // namespace testing
