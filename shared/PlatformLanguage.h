#pragma once
// The language in force handed on to what the platform shows by itself, for both programs.

namespace vxg {

// Qt's own texts (standard buttons, file dialogs) follow LangOffset, and the platform's own
// messages are taken from the program's language table, which must be loaded: nine texts from
// id firstId on, in the order box captions Warning, Error, Information, Confirm; the printout
// was saved to %1; cannot create the folder %1; cannot start printing on %1; the print job could
// not be finished; a new page could not be started.
void PutPlatformTexts(int firstId);

} // namespace vxg
