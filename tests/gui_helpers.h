// Helpers for the tests that drive the real windows: find controls by
// their names, type and click as a user does, and answer message boxes.
#pragma once

#include "forms.h"
#include "main_window.h"
#include "module1.h"
#include "qtext.h"
#include "text_box.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace testing {

// The program as it starts: the shared state at its start values and the
// main window loaded and shown (not yet exposed: the caller waits).
inline soranika::MainWindow* StartProgram() {
    soranika::Module1::Reset();
    soranika::MainWindow* window = soranika::Forms::Main();
    window->show();
    return window;
}

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

// What a desktop theme does to the running program: another palette and
// another application font, set once the windows exist.
inline void ApplyTheme(const QPalette& palette, const QFont& font) {
    QApplication::setPalette(palette);
    QApplication::setFont(font);
    QApplication::processEvents();
}

inline QPalette DarkPalette() {
    QPalette dark(QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::WindowText, QColor(0xF0, 0xF0, 0xF0));
    return dark;
}

// The contrast ratio of a control's text as drawn in its window: the
// commonest colour of its area is the background, the colour that stands
// out most from it is the text's (WCAG 2 relative luminance).
inline double TextContrast(QWidget* window, QWidget* control) {
    const QRect area(control->mapTo(window, QPoint()), control->size());
    const QImage image = window->grab(area).toImage();
    const auto luminance = [](QRgb rgb) {
        const auto channel = [](int c) {
            const double v = c / 255.0;
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) +
               0.0722 * channel(qBlue(rgb));
    };
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            ++counts[image.pixel(x, y)];
        }
    }
    QRgb background = 0;
    int most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > most) {
            most = it.value();
            background = it.key();
        }
    }
    double best = 1;
    const double lb = luminance(background);
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        const double l = luminance(it.key());
        best = std::max(best, (std::max(l, lb) + 0.05) / (std::min(l, lb) + 0.05));
    }
    return best;
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

// The accessibility events that an action sends, as a screen reader
// receives them: the event, the control's name and its accessible role
// and name at that moment.
struct AccessibleEvent {
    QAccessible::Event type;
    QString control;
    QAccessible::Role role;
    QString name;
    bool operator==(const AccessibleEvent&) const = default;
};

// Whether the platform sends accessibility events: only with an
// accessibility bus, which takes a moment to answer.
inline bool AccessibilityActive() {
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        return QTest::qWaitFor([] { return QAccessible::isActive(); }, 5000);
    }
    return QAccessible::isActive();
}

inline char* toString(const AccessibleEvent& e) {
    return QTest::toString(QStringLiteral("%1 on %2 (role %3): %4")
                               .arg(int(e.type), 0, 16)
                               .arg(e.control)
                               .arg(int(e.role), 0, 16)
                               .arg(e.name));
}

inline QList<AccessibleEvent> AccessibleEvents(const std::function<void()>& action) {
    static QList<AccessibleEvent>* recording = nullptr;
    QList<AccessibleEvent> seen;
    recording = &seen;
    const auto previous = QAccessible::installUpdateHandler([](QAccessibleEvent* event) {
        QAccessibleInterface* object = event->accessibleInterface();
        if (recording != nullptr && object != nullptr && event->object() != nullptr) {
            recording->append({event->type(), event->object()->objectName(), object->role(),
                               object->text(QAccessible::Name)});
        }
    });
    action();
    QAccessible::installUpdateHandler(previous);
    recording = nullptr;
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

// The family the windows' font resolves to where the tests run: IPA P Gothic,
// and under Windows the designed family, which Wine maps onto it. A missing
// font resolves to another family, with metrics the layout was not made for.
inline QString DesignedFamily() {
#ifdef Q_OS_WIN
    return QStringLiteral("ＭＳ Ｐゴシック");
#else
    return QStringLiteral("IPAPGothic");
#endif
}

// IPA P Gothic, which has MS P Gothic's metrics, at the size and weight of
// the given font.
inline QFont IpaPGothic(const QFont& font) {
    QFont design(QStringLiteral("IPAPGothic"));
    design.setPointSizeF(font.pointSizeF());
    design.setBold(font.bold());
    return design;
}

// What a text box without the focus shows, drawn at scale (1.25 for 125 %):
// empty when it is its whole text, from its first character, in a size it
// may be drawn in; else what is wrong. The whole text is rendered alone in
// that size, from the left of the text area, on the lines it may stand on,
// and one of them must be what the box shows there, pixel for pixel.
inline QString ShownWhole(soranika::TextBox* box, qreal scale) {
    if (box->hasFocus()) {
        return QStringLiteral("the box has the focus");
    }
    const soranika::FittedText drawn = box->Drawn();
    const int pixels = QFontInfo(drawn.font).pixelSize();
    if (drawn.elided || drawn.text != box->text() || pixels < soranika::kSmallestTextPixels) {
        return QStringLiteral("drawn as '%1' in %2 px").arg(drawn.text).arg(pixels);
    }
    const QColor base = box->palette().color(QPalette::Base);
    const auto picture = [&] {
        QImage image((QSizeF(box->size()) * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(scale);
        image.fill(base);
        return image;
    };
    QImage shown = picture();
    box->render(&shown);
    const QRect area = box->TextArea();
    // The device pixels wholly inside the text area, less a row above and
    // below, where a frame drawn between two device pixels may show.
    const QRect inside(
        QPoint(int(std::ceil(area.left() * scale)), int(std::ceil(area.top() * scale)) + 1),
        QPoint(int(std::floor((area.left() + area.width()) * scale)) - 1,
               int(std::floor((area.top() + area.height()) * scale)) - 2));
    const auto differ = [](QColor a, QColor b) {
        return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
                   std::abs(a.blue() - b.blue()) >
               96;
    };
    int ink = 0;
    int fewest = inside.width() * inside.height();
    for (int baseline = area.top(); baseline <= area.bottom() + 2; ++baseline) {
        QImage alone = picture();
        {
            QPainter painter(&alone);
            painter.setFont(drawn.font);
            painter.setPen(box->palette().color(QPalette::Text));
            painter.drawText(QPoint(area.left(), baseline), box->text());
        }
        int different = 0;
        int drawnHere = 0;
        for (int y = inside.top(); y <= inside.bottom(); ++y) {
            for (int x = inside.left(); x <= inside.right(); ++x) {
                drawnHere += differ(alone.pixelColor(x, y), base) ? 1 : 0;
                different += differ(alone.pixelColor(x, y), shown.pixelColor(x, y)) ? 1 : 0;
            }
        }
        if (different < fewest) {
            fewest = different;
            ink = drawnHere;
        }
    }
    if (ink == 0 || fewest > 2) {
        return QStringLiteral("'%1' at %2: %3 device pixels differ from the whole text")
            .arg(box->text())
            .arg(scale)
            .arg(fewest);
    }
    return {};
}

// Types text into the box called name, Tabs away, and checks that the box
// keeps the text and shows it whole at 100 %, 125 % and 150 %: empty, or
// what is wrong.
inline QString TypedShownWhole(QWidget* window, const QString& name, const QString& text) {
    auto* box = window->findChild<soranika::TextBox*>(name);
    if (box == nullptr) {
        return QStringLiteral("no text box ") + name;
    }
    Type(window, name, text);
    QTest::keyClick(box, Qt::Key_Tab);
    if (box->text() != text) {
        return QStringLiteral("the box holds '%1'").arg(box->text());
    }
    for (const qreal scale : {1.0, 1.25, 1.5}) {
        const QString wrong = ShownWhole(box, scale);
        if (!wrong.isEmpty()) {
            return wrong;
        }
    }
    return {};
}

} // namespace testing

Q_DECLARE_METATYPE(testing::AccessibleEvent)
