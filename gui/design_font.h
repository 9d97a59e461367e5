// The font the windows were laid out for: "ＭＳ Ｐゴシック", a Japanese
// proportional Gothic, 9 pt unless a control says otherwise. The padded
// texts rely on its metrics to break where they were written to break.
#pragma once

#include <QFont>

namespace soranika {

// The designed font at a size: "ＭＳ Ｐゴシック" on Windows, IPA P Gothic, which
// has its metrics, elsewhere.
QFont DesignFont(qreal points = 9, bool bold = false);

} // namespace soranika
