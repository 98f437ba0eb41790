#pragma once
// The language table of the running program. Entry 0 is "Rus" or "Eng"; entry n (1..199) is
// the program's own text n + LangOffset. Each program compiles its string table in as the
// resource ":/vxg/strings.tsv" (one "id<TAB>text" line per id, "\n" for a line break).
#include <QString>
#include <QStringList>

extern quint16 LangOffset;      // 0 Russian, 200 English
extern QStringList LangStrings; // 200 entries once loaded

// Empties LangStrings and fills it for LangOffset. A missing or empty text reads "-----";
// a text is cut to 255 characters. A LangOffset other than 0 or 200 is taken as English.
void LoadLangStrings();

// lang[n]: entry n of LangStrings ("-----" when the table is not loaded or n is out of range).
const QString& lang(int n);

// The text with id from the program's string table, or an empty string; for tests and for the
// few places that need a text in a language not in force.
QString LangTableText(int id);
