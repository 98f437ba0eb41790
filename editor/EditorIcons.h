#pragma once
// The editor's one list of small pictures (ImageList1), drawn by the program itself so that
// they look the same under every desktop theme. Indices as the main window and the topic
// windows use them: 0 cut, 1 copy, 2 paste, 4 new, 5 open, 8 tile horizontal, 9 tile vertical,
// 10 cascade, 11 previous, 12 next, 13 new question, 14 delete question, 15 exit, 16 close
// topic, 17 parameters, 18 about the editor, 19 the examiner and the suite, 21 help, 22 save,
// 23 print, 24 language. Any other index gives an empty icon.
#include <QIcon>
#include <QPixmap>

QIcon EditorIcon(int index);

// The editor's program icon (window icon and its About box), side x side pixels.
QPixmap EditorProgramPixmap(int side = 32);
