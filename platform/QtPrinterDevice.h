#pragma once
// The real printer: QPrinter + QPainter. With no default printer on the machine (or when a file
// is asked for), the job is written as PDF.
#include "PrinterDevice.h"

#include <QFont>
#include <QFontMetrics>
#include <memory>
#include <optional>

class QPrinter;
class QPainter;

namespace vxg {

class QtPrinterDevice : public PrinterDevice {
public:
    // pdfFile empty: the system's default printer, or, when there is none, a new PDF file in
    // the user's documents folder (the user is told where when the job ends).
    explicit QtPrinterDevice(QString pdfFile = {});
    ~QtPrinterDevice() override;

    void beginJob() override;
    void endJob() override;
    void newPage() override;
    bool printing() const override;
    bool aborted() const override;
    void abortJob() override;
    int pageWidth() const override;
    int pageHeight() const override;
    int dpiX() const override;
    int dpiY() const override;
    void setFontSize(int points) override;
    int fontSize() const override;
    void setBold(bool bold) override;
    bool bold() const override;
    int textWidth(const QString& text) const override;
    int textHeight(const QString& text) const override;
    int averageCharWidth() const override;
    void textOut(int x, int y, const QString& text) override;
    void textRect(const QRect& clip, int x, int y, const QString& text) override;
    QString outputFile() const override { return lastOutput_; }

    // A name for a new printout in the user's documents folder that no file has yet.
    static QString NewPrintoutPath();

private:
    const QFontMetrics& metrics() const;
    void fontChanged();
    bool active() const;

    QString pdfFile_;
    QString lastOutput_;
    QString jobFile_;     // the PDF the job in progress writes, empty for a real printer
    bool ownPdf_ = false; // no printer: each job goes to a new file of our choosing
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
    QFont font_;
    mutable std::optional<QFontMetrics> metrics_;
};

} // namespace vxg
