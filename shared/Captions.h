#pragma once
// Texts from a question, a name or a file where Qt reads marks into a text: each shows as it
// stands.
#include <QString>

// As the caption of a button or a menu item: an "&" marks no shortcut.
QString AsCaption(const QString& text);
// As a window title: "[*]" is no place holder for the modified mark.
QString AsWindowTitle(const QString& text);
// As a tool tip: never taken for markup.
QString AsToolTip(const QString& text);
