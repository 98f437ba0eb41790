#pragma once
// Cutting texts into pieces: message texts, archive lines, the dotted address.
#include <QString>

QString PickStr(bool flag, const QString& whenTrue, const QString& whenFalse);
// The text before the first marker; the whole text when the marker does not occur.
QString TextBefore(const QString& marker, const QString& text);
// The text after the first marker; empty when the marker does not occur.
QString TextAfter(const QString& marker, const QString& text);
// Piece k (from 1) of text cut at separator; empty when there are fewer than k pieces or k < 1.
// A text with m separators has m + 1 pieces. Works on texts of any length.
QString NthField(const QString& text, QChar separator, qsizetype k);
