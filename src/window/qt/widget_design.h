#pragma once

#include <QColor>
#include <QPalette>
#include <QString>
#include <QWidget>

#include <string_view>

namespace kivo {

// The design's texts and messages are UTF-8, and captions Windows-1252 bytes everywhere but on the screen.
inline QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline void paintBackground(QWidget* widget, const QColor& background)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

}  // namespace kivo
