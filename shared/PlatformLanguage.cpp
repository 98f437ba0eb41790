#include "PlatformLanguage.h"

#include "Globals.h"
#include "UiLanguage.h"

namespace vxg {

void PutPlatformTexts(int firstId) {
    SetQtLanguage(LangOffset == 0);
    PlatformTexts texts;
    QString* const inOrder[] = {
        &texts.warningCaption,      &texts.errorCaption,   &texts.informationCaption,
        &texts.confirmCaption,      &texts.printoutSaved,  &texts.cannotCreateFolder,
        &texts.cannotStartPrinting, &texts.jobNotFinished, &texts.pageNotStarted,
    };
    int id = firstId;
    for (QString* text : inOrder)
        *text = lang(id++);
    SetPlatformTexts(texts);
}

} // namespace vxg
