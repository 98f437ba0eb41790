#pragma once
// The one exception type of the suite: it carries the text that the user sees in the
// application's default error box (registry errors, file errors, printing errors).
#include <QString>
#include <stdexcept>

namespace vxg {

class Error : public std::runtime_error {
public:
    explicit Error(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}
    const QString& text() const noexcept { return text_; }

private:
    QString text_;
};

} // namespace vxg
