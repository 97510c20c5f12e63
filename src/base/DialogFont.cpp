#include "base/DialogFont.h"

#include <QStringList>

namespace duoptic {

QFont dialogFont() {
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic")});
    // Should neither family exist, any sans face still beats the default serif.
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(12);
    return font;
}

} // namespace duoptic
