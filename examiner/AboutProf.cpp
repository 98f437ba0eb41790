#include "AboutProf.h"

#include "ConsoleIcons.h"

TAboutVerirozaz::TAboutVerirozaz(QWidget* parent)
    : TProgramAboutBox({QStringLiteral("VXG Verirozaz"), 70, 71}, ExaminerProgramPixmap(32), 231, parent) {
    setObjectName(QStringLiteral("AboutVerirozaz"));
}
