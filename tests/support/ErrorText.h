#pragma once
#include "Error.h"

#include <QString>
#include <utility>

// The text of the vxg::Error that f throws; empty when it throws none.
template <class F> QString ErrorText(F&& f) {
    try {
        std::forward<F>(f)();
    } catch (const vxg::Error& e) {
        return e.text();
    }
    return {};
}
