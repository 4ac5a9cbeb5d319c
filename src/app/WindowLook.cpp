#include "app/WindowLook.h"

#include <QFontMetrics>
#include <QLabel>

namespace keelwright {

QFont DefaultFont() {
    QFont font;
    font.setFamilies({"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Arial", "DejaVu Sans"});
    font.setPointSizeF(7.5);
    return font;
}

QFont TimesFont(double pointSize) {
    QFont font;
    font.setFamilies({"Times New Roman", "Liberation Serif", "Tinos", "DejaVu Serif"});
    font.setPointSizeF(pointSize);
    return font;
}

QString ElidedToFit(const QLabel* label, const QString& text) {
    return label->fontMetrics().elidedText(text, Qt::ElideRight, label->width());
}

}  // namespace keelwright
