#include "design_font.h"

namespace soranika {

namespace {

const QString kDesignFamily = QStringLiteral("ＭＳ Ｐゴシック");

void InstallSubstitutes() {
#ifndef Q_OS_WIN
    static const bool installed = [] {
        const QString standIn = QStringLiteral("IPAPGothic");
        QFont::insertSubstitution(kDesignFamily, standIn);
        QFont::insertSubstitution(QStringLiteral("MS PGothic"), standIn);
        return true;
    }();
    Q_UNUSED(installed);
#endif
}

} // namespace

QFont DesignFont(qreal points, bool bold) {
    InstallSubstitutes();
    QFont font(kDesignFamily);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStretch(QFont::Unstretched);
    font.setLetterSpacing(QFont::PercentageSpacing, 100);
    font.setWordSpacing(0);
    return font;
}

} // namespace soranika
