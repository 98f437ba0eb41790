#include "AboutU.h"

#include "EditorIcons.h"

TAboutBox::TAboutBox(QWidget* parent)
    : TProgramAboutBox({QStringLiteral("VXG Examwright"), 70, 71, 140}, EditorProgramPixmap(32), 229,
                       parent) {
    setObjectName(QStringLiteral("AboutBox"));
}
