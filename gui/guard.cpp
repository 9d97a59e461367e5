#include "guard.h"

#include "runtime.h"

#include <QMessageBox>
#include <QWidget>

namespace soranika {

QString ApplicationTitle() {
    return QStringLiteral("ソラニカ");
}

void ShowMessage(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, ApplicationTitle(), text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("message"));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

QString RuntimeErrorText(const std::exception& error) {
    const std::string_view text = ErrorMessage(error);
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

void Guarded(QWidget* parent, const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        ShowMessage(parent, RuntimeErrorText(error));
    }
}

} // namespace soranika
