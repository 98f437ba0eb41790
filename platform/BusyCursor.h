#pragma once
// The hourglass for the life of a scope, also when the scope is left by an exception. Boxes
// shown inside the scope show the normal cursor (the dialogs seam sees to it).
#include <QApplication>

namespace vxg {

class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace vxg
