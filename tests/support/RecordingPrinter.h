#pragma once
// A printer that draws nothing and remembers everything: every job, page, font change and text
// with its position and clip. Metrics are fixed and simple so that layout rules can be checked
// exactly: a character is charWidth dots wide, a text is (fontSize * dpiY / 72) dots high.
#include "PrinterDevice.h"

#include <QList>
#include <QRect>

namespace vxg {

class RecordingPrinter : public PrinterDevice {
public:
    struct Item {
        int page = 0; // 0-based page of the job
        int x = 0;
        int y = 0;
        QString text;
        int fontSize = 0;
        bool bold = false;
        bool clipped = false;
        QRect clip;
    };

    RecordingPrinter(int pageWidth = 4800, int pageHeight = 6600, int dpi = 600, int charWidth = 50);

    void beginJob() override;
    void endJob() override;
    void newPage() override;
    bool printing() const override { return printing_; }
    bool aborted() const override { return aborted_; }
    void abortJob() override;
    int pageWidth() const override { return pageWidth_; }
    int pageHeight() const override { return pageHeight_; }
    int dpiX() const override { return dpi_; }
    int dpiY() const override { return dpi_; }
    void setFontSize(int points) override { fontSize_ = points; }
    int fontSize() const override { return fontSize_; }
    void setBold(bool bold) override { bold_ = bold; }
    bool bold() const override { return bold_; }
    int textWidth(const QString& text) const override;
    int textHeight(const QString& text) const override;
    int averageCharWidth() const override { return charWidth_; }
    void textOut(int x, int y, const QString& text) override;
    void textRect(const QRect& clip, int x, int y, const QString& text) override;

    // Test controls. setAborted(true) is the platform aborting the job in progress: the job is
    // over (printing() turns false) and the next beginJob starts a fresh, unaborted one.
    void setAborted(bool aborted);
    void failNextBegin(QString error) { beginError_ = std::move(error); }

    // What was recorded (the last job's items; jobs counts every begun job).
    QList<Item> items;
    int pages = 0; // pages of the last job
    int jobs = 0;
    int jobsEnded = 0;
    int jobsAborted = 0; // jobs dropped through abortJob()

    // The texts of the recorded items, in drawing order.
    QStringList texts() const;

private:
    int pageWidth_, pageHeight_, dpi_, charWidth_;
    int fontSize_ = 10;
    bool bold_ = false;
    bool printing_ = false;
    bool aborted_ = false;
    int page_ = 0;
    QString beginError_;
};

} // namespace vxg
