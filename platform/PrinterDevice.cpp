#include "PrinterDevice.h"

#include "QtPrinterDevice.h"

#include <algorithm>

namespace vxg {

void PrinterDevice::abortJob() {
    try {
        if (printing())
            endJob();
    } catch (...) {
        // The job is being dropped because something already failed; that failure is the one
        // the user gets to see.
    }
}

namespace {

std::unique_ptr<PrinterDevice>& currentSlot() {
    static std::unique_ptr<PrinterDevice> device;
    return device;
}

} // namespace

PrinterDevice& CurrentPrinter() {
    auto& slot = currentSlot();
    if (!slot)
        slot = std::make_unique<QtPrinterDevice>();
    return *slot;
}

void SetCurrentPrinter(std::unique_ptr<PrinterDevice> device) {
    currentSlot() = std::move(device);
}

// --- PrinterTextFile ---

PrinterTextFile::PrinterTextFile(PrinterDevice& device) : dev_(device) {}

PrinterTextFile::~PrinterTextFile() {
    try {
        close();
    } catch (...) {
        // A destructor runs while another failure unwinds; ending the job is best effort here.
    }
}

void PrinterTextFile::open() {
    if (open_)
        return;
    dev_.beginJob();
    open_ = true;
    x_ = 0;
    y_ = 0;
    lineHeight_ = 0;
    pagePending_ = false;
}

void PrinterTextFile::close() {
    if (!open_)
        return;
    open_ = false;
    // An aborted job is already over on the printer's side.
    if (!dev_.aborted() && dev_.printing())
        dev_.endJob();
}

void PrinterTextFile::write(const QString& text) {
    if (!open_)
        return;
    QString run;
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c != u'\t' && c != u'\n' && c != u'\f' && c != u'\r') {
            run += ch;
            continue;
        }
        drawText(run);
        run.clear();
        switch (c) {
        case u'\t':
            tab();
            break;
        case u'\n':
            endLine();
            break;
        case u'\f':
            formFeed();
            break;
        default: // carriage return: the text so far is drawn, nothing more
            break;
        }
    }
    drawText(run);
}

void PrinterTextFile::writeLine(const QString& text) {
    if (!open_)
        return;
    write(text);
    endLine();
}

int PrinterTextFile::fittingLength(const QString& text, int room) const {
    if (dev_.textWidth(text) <= room)
        return int(text.size());
    // Widths of prefixes grow with their length: the longest prefix that fits is found by halving.
    int lo = 0;
    int hi = int(text.size()) - 1;
    while (lo < hi) {
        const int mid = (lo + hi + 1) / 2;
        if (dev_.textWidth(text.left(mid)) <= room)
            lo = mid;
        else
            hi = mid - 1;
    }
    return lo;
}

void PrinterTextFile::drawText(QString text) {
    while (!text.isEmpty()) {
        int n = fittingLength(text, dev_.pageWidth() - x_);
        if (n > 0 && n < text.size() && text.at(n - 1).isHighSurrogate())
            --n; // never split a character in two
        if (n == 0) {
            if (x_ > 0) {
                endLine();
                continue;
            }
            // Not even one character fits on an empty line: print it anyway rather than loop
            // for ever.
            n = (text.size() > 1 && text.at(0).isHighSurrogate()) ? 2 : 1;
        }
        const QString piece = text.left(n);
        startPendingPage();
        if (!dev_.aborted())
            dev_.textOut(x_, y_, piece);
        lineHeight_ = std::max(lineHeight_, dev_.textHeight(piece));
        text.remove(0, n);
        if (text.isEmpty())
            x_ += dev_.textWidth(piece);
        else
            endLine();
    }
}

void PrinterTextFile::endLine() {
    const int height = lineHeight_ > 0 ? lineHeight_ + 2 : dev_.textHeight(QStringLiteral("X"));
    x_ = 0;
    y_ += height;
    lineHeight_ = 0;
    if (y_ > dev_.pageHeight() - 2 * height) {
        startPendingPage(); // empty lines past a pending break still used up that page
        pagePending_ = true;
        y_ = 0;
    }
}

void PrinterTextFile::tab() {
    const int stop = 8 * std::max(1, dev_.averageCharWidth());
    x_ = (x_ / stop + 1) * stop;
}

void PrinterTextFile::formFeed() {
    startPendingPage();
    if (!dev_.aborted())
        dev_.newPage();
    x_ = 0;
    y_ = 0;
    lineHeight_ = 0;
}

void PrinterTextFile::startPendingPage() {
    if (!pagePending_)
        return;
    pagePending_ = false;
    if (!dev_.aborted())
        dev_.newPage();
}

} // namespace vxg
