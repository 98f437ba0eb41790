#pragma once
// The language of what the platform shows by itself: Qt's own texts (the standard buttons of
// message boxes, the file dialogs) and the few messages of the platform layer (box captions,
// printer messages). Each program puts its language in force here at start and at every
// switch, with the texts taken from its own language table.
#include <QString>

namespace vxg {

// Qt's own translations for the language: Russian installs Qt's "qtbase" catalogue from Qt's
// translations folder (Debian package qt6-translations-l10n), English removes it again. Boxes
// and dialogs shown afterwards use it. Returns false when the Russian catalogue is missing.
bool SetQtLanguage(bool russian);

// The platform's own messages; a default-constructed set holds the English texts.
struct PlatformTexts {
    QString warningCaption = QStringLiteral("Warning");
    QString errorCaption = QStringLiteral("Error");
    QString informationCaption = QStringLiteral("Information");
    QString confirmCaption = QStringLiteral("Confirm");
    QString printoutSaved = QStringLiteral("The printout was saved to %1"); // %1: the file
    QString cannotCreateFolder = QStringLiteral("Cannot create the folder %1");
    QString cannotStartPrinting = QStringLiteral("Cannot start printing on %1"); // %1: printer or file
    QString jobNotFinished = QStringLiteral("Printing failed: the print job could not be finished");
    QString pageNotStarted = QStringLiteral("Printing failed: a new page could not be started");
};

void SetPlatformTexts(const PlatformTexts& texts);
const PlatformTexts& platformTexts();

} // namespace vxg
