#pragma once
// A cursor shape over the whole application for the life of a scope, also when the scope is
// left by an exception; scopes nest, and the inner one's shape shows until it ends.
#include <QApplication>

namespace vxg {

class OverrideCursor {
public:
    explicit OverrideCursor(Qt::CursorShape shape) { QApplication::setOverrideCursor(shape); }
    ~OverrideCursor() { QApplication::restoreOverrideCursor(); }
    OverrideCursor(const OverrideCursor&) = delete;
    OverrideCursor& operator=(const OverrideCursor&) = delete;
};

// The hourglass of a busy command. Boxes shown inside the scope show the normal cursor (the
// dialogs seam sees to it).
class BusyCursor : public OverrideCursor {
public:
    BusyCursor() : OverrideCursor(Qt::WaitCursor) {}
};

} // namespace vxg
