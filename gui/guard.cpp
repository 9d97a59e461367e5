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
    if (const auto* runtime = dynamic_cast<const RuntimeError*>(&error)) {
        switch (runtime->Kind()) {
        case RuntimeErrorKind::Overflow:
            return QStringLiteral(
                "数値が大きすぎて計算できません。入力した数字を確かめてください。");
        }
    }
    return QStringLiteral("計算できませんでした。入力した内容を確かめてください。");
}

void Guarded(QWidget* parent, const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        ShowMessage(parent, RuntimeErrorText(error));
    }
}

} // namespace soranika
