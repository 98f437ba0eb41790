// The Options command of the main window: the set in force goes into the parameters dialog and,
// on OK, comes back as the new set in force (the dialog has set its name).
#include "WorkU.h"

#include "Globals.h"
#include "OptionsU.h"

#include <QLabel>

void TWorkF::OptionsClick() {
    if (!OptionsF || RefuseWhileBusy())
        return;
    S.EditOptions = S.ActiveOptions;
    if (OptionsF->exec() != QDialog::Accepted)
        return;
    StatusPanel1->setText(lang(46) + S.OptionsName);
    S.ActiveOptions = S.EditOptions;
    SetupGrid();
    // The grid set-up empties the grades and marks; the results of a finished testing are
    // still in the student table and go back on screen.
    ShowResultsAgain();
}
