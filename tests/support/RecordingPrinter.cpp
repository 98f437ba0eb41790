#include "RecordingPrinter.h"

#include "Error.h"

#include <utility>

namespace vxg {

RecordingPrinter::RecordingPrinter(int pageWidth, int pageHeight, int dpi, int charWidth)
    : pageWidth_(pageWidth), pageHeight_(pageHeight), dpi_(dpi), charWidth_(charWidth) {}

void RecordingPrinter::beginJob() {
    if (!beginError_.isEmpty()) {
        const QString error = std::exchange(beginError_, QString());
        throw Error(error);
    }
    if (printing_)
        throw Error(QStringLiteral("Printing in progress"));
    printing_ = true;
    aborted_ = false;
    ++jobs;
    items.clear();
    pages = 1;
    page_ = 0;
}

void RecordingPrinter::endJob() {
    if (!printing_)
        throw Error(QStringLiteral("Printer is not currently printing"));
    printing_ = false;
    ++jobsEnded;
}

void RecordingPrinter::abortJob() {
    if (!printing_)
        return;
    printing_ = false;
    ++jobsAborted;
}

void RecordingPrinter::setAborted(bool aborted) {
    aborted_ = aborted;
    if (aborted)
        printing_ = false;
}

void RecordingPrinter::newPage() {
    // Drawing or paging outside a job is a fault of the caller: make the test see it.
    if (!printing_)
        throw Error(QStringLiteral("Printer is not currently printing"));
    ++page_;
    ++pages;
}

int RecordingPrinter::textWidth(const QString& text) const {
    return int(text.size()) * charWidth_;
}

int RecordingPrinter::textHeight(const QString&) const {
    return fontSize_ * dpi_ / 72;
}

void RecordingPrinter::textOut(int x, int y, const QString& text) {
    if (!printing_)
        throw Error(QStringLiteral("Printer is not currently printing"));
    items.push_back({page_, x, y, text, fontSize_, bold_, false, QRect()});
}

void RecordingPrinter::textRect(const QRect& clip, int x, int y, const QString& text) {
    if (!printing_)
        throw Error(QStringLiteral("Printer is not currently printing"));
    items.push_back({page_, x, y, text, fontSize_, bold_, true, clip});
}

QStringList RecordingPrinter::texts() const {
    QStringList out;
    for (const Item& item : items)
        out << item.text;
    return out;
}

} // namespace vxg
