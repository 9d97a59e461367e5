#include "design_font.h"

namespace soranika {

namespace {

const QString kDesignFamily = QStringLiteral("ＭＳ Ｐゴシック");

#ifdef Q_OS_WIN
const QString& Family() {
    return kDesignFamily;
}
#else
// IPA P Gothic, which has the metrics of "ＭＳ Ｐゴシック", asked for by its own
// name: a family that is not installed would cost a fallback search through
// every installed font before the first paint. Whatever asks for the
// designed family by name gets it too.
const QString& Family() {
    static const QString standIn = [] {
        const QString family = QStringLiteral("IPAPGothic");
        QFont::insertSubstitution(kDesignFamily, family);
        QFont::insertSubstitution(QStringLiteral("MS PGothic"), family);
        return family;
    }();
    return standIn;
}
#endif

} // namespace

QFont DesignFont(qreal points, bool bold) {
    QFont font(Family());
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
