#pragma once
// The printer as the printouts see it: a canvas measured in printer dots from the top-left
// corner of the printable area, a font of which only size and boldness are ever set, and a
// print job with pages. The current printer is the system's default printer; on a machine
// without one, the job goes to a PDF file in the user's documents folder.
//
// A recording device (tests) keeps every drawing call so that layout rules can be checked.
#include <QRect>
#include <QString>
#include <QStringList>
#include <memory>

namespace vxg {

class PrinterDevice {
public:
    virtual ~PrinterDevice() = default;

    // Job. beginJob/endJob raise vxg::Error when the printer refuses; a job already in
    // progress refuses a second beginJob ("Printing in progress").
    virtual void beginJob() = 0;
    virtual void endJob() = 0;
    virtual void newPage() = 0;
    virtual bool printing() const = 0;
    virtual bool aborted() const = 0;
    // Drops the job in progress after a failure, so that the next job can begin; never throws.
    // The default ends the job when it is still printing.
    virtual void abortJob();

    // Metrics, in printer dots.
    virtual int pageWidth() const = 0;
    virtual int pageHeight() const = 0;
    virtual int dpiX() const = 0;
    virtual int dpiY() const = 0;

    // Font: the canvas's default face; size in points. Kept between jobs.
    virtual void setFontSize(int points) = 0;
    virtual int fontSize() const = 0;
    virtual void setBold(bool bold) = 0;
    virtual bool bold() const = 0;
    virtual int textWidth(const QString& text) const = 0;
    virtual int textHeight(const QString& text) const = 0;
    virtual int averageCharWidth() const = 0;

    // Drawing. textOut draws at (x, y) = top-left of the text. textRect first fills clip
    // with white, then draws the text at (x, y) clipped to clip.
    virtual void textOut(int x, int y, const QString& text) = 0;
    virtual void textRect(const QRect& clip, int x, int y, const QString& text) = 0;

    // Where the last finished job went when it was written to a file (PDF); empty otherwise.
    virtual QString outputFile() const { return {}; }
};

// The printer every printout uses. Until another is installed: a QtPrinterDevice.
PrinterDevice& CurrentPrinter();
// Installs a device (tests install a RecordingPrinter or a PDF-file QtPrinterDevice). nullptr
// puts the default back.
void SetCurrentPrinter(std::unique_ptr<PrinterDevice> device);

// The text-file device of a printer: lines written one after another, wrapped and paged by
// the device itself. Opening begins the job, closing ends it.
//   - printing starts at the top-left corner of the printable area, no margin of its own;
//   - a text wider than the rest of the line is cut after the last character that fits and
//     continues at the left edge of the next line, as often as needed;
//   - at each line end the position goes back to the left edge and down by the line's height
//     (tallest text drawn on it + 2 dots; the font's character height when nothing was drawn);
//     when the new position is below page height - 2 x that line height, a new page begins;
//   - a tab advances to the next stop of eight average character widths, a form feed starts a
//     new page, a carriage return only ends the text drawn so far.
class PrinterTextFile {
public:
    explicit PrinterTextFile(PrinterDevice& device);
    ~PrinterTextFile(); // closes when still open (never throws)

    void open(); // begins the job
    void write(const QString& text);
    void writeLine(const QString& text);
    void close(); // ends the job
    bool isOpen() const { return open_; }

private:
    void drawText(QString text);
    void endLine();
    void tab();
    void formFeed();
    void startPendingPage();
    int fittingLength(const QString& text, int room) const;

    PrinterDevice& dev_;
    bool open_ = false;
    int x_ = 0;
    int y_ = 0;
    int lineHeight_ = 0; // tallest text drawn on the current line, 0 when none
    // A page break that came from running off the bottom waits for the next text, so that a
    // printout whose last line ends near the bottom does not end with a blank sheet.
    bool pagePending_ = false;
};

} // namespace vxg
