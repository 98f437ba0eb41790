#pragma once
// Printing through the current printer (CurrentPrinter()): a list of lines through the
// printer's text-file device, and chosen rows and columns of a string grid as a table.
#include <QSet>
#include <QString>
#include <QStringList>

class TStringGrid;

// Prints lines, after the title (at size + 2) when the title is not empty, at the given font
// size. One whole print job; the device is closed in every case.
void PrintLines(const QStringList& lines, const QString& title, int size);

// Prints the grid's header row (row 0) and the given rows (numbers 1..255) of the given columns
// (numbers 0..255) under a centred bold title, the header repeated on every page.
void PrintGrid(const TStringGrid& grid, const QString& title, int size, const QSet<int>& rows,
               const QSet<int>& columns);
