#include "ErrorGuard.h"

#include "Dialogs.h"
#include "Error.h"

#include <exception>

namespace vxg {

namespace {

// Something other than an exception of ours or of the standard library: there is no text to
// show, and the platform layer sits below the programs' language tables.
const char* const kUnknownError = "An unexpected error occurred.";

} // namespace

void ShowDefaultErrorBox(const QString& text) {
    ShowMessage(DlgKind::Error, text, DlgButtons::Ok);
}

bool RunGuarded(const std::function<void()>& f) {
    QString text;
    try {
        f();
        return true;
    } catch (const Error& e) {
        text = e.text();
    } catch (const std::exception& e) {
        text = QString::fromUtf8(e.what());
    } catch (...) {
        text = QString::fromLatin1(kUnknownError);
    }
    // The box itself must not let anything escape into the event loop either.
    try {
        ShowDefaultErrorBox(text);
    } catch (...) {
        qWarning("Error box could not be shown: %s", qUtf8Printable(text));
    }
    return false;
}

} // namespace vxg
