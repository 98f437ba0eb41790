#pragma once
// Every command handler runs inside this guard: an exception becomes the application's default
// error box and the program keeps running. No exception ever leaves a slot.
#include <QString>
#include <functional>
#include <utility>

namespace vxg {

// Shows text in the default error box (an Error box with OK).
void ShowDefaultErrorBox(const QString& text);

// Runs f; any exception is shown in the default error box. Returns false when f threw.
bool RunGuarded(const std::function<void()>& f);

// Wraps a callable for connect(): the slot runs guarded.
template <class F> auto Guarded(F f) {
    return
        [f = std::move(f)](auto&&... args) { RunGuarded([&] { f(std::forward<decltype(args)>(args)...); }); };
}

} // namespace vxg
