#include "QtPrinterDevice.h"

#include "Dialogs.h"
#include "Error.h"
#include "UiLanguage.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

namespace vxg {

namespace {

// The font size a printer canvas starts with, before any printout has set one.
constexpr int kDefaultFontSize = 10;

QString notPrinting() {
    return QStringLiteral("Printer is not currently printing");
}

} // namespace

QtPrinterDevice::QtPrinterDevice(QString pdfFile)
    : pdfFile_(std::move(pdfFile)), printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    if (!pdfFile_.isEmpty()) {
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setOutputFileName(pdfFile_);
    } else {
        const QPrinterInfo system = QPrinterInfo::defaultPrinter();
        if (system.isNull()) {
            ownPdf_ = true;
            printer_->setOutputFormat(QPrinter::PdfFormat);
        } else {
            printer_->setOutputFormat(QPrinter::NativeFormat);
            printer_->setPrinterName(system.printerName());
        }
    }
    font_.setPointSize(kDefaultFontSize);
    font_.setBold(false);
}

QtPrinterDevice::~QtPrinterDevice() {
    if (active())
        painter_->end();
}

QString QtPrinterDevice::NewPrintoutPath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    if (!QDir().mkpath(folder))
        throw Error(platformTexts().cannotCreateFolder.arg(QDir::toNativeSeparators(folder)));
    const QString stem = QStringLiteral("VXG printout ") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH.mm.ss"));
    QString path = QDir(folder).filePath(stem + QStringLiteral(".pdf"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = QDir(folder).filePath(QStringLiteral("%1 (%2).pdf").arg(stem).arg(n));
    return path;
}

bool QtPrinterDevice::active() const {
    return painter_ && painter_->isActive();
}

void QtPrinterDevice::beginJob() {
    if (active())
        throw Error(QStringLiteral("Printing in progress"));
    if (ownPdf_) {
        jobFile_ = NewPrintoutPath();
        printer_->setOutputFileName(jobFile_);
    } else {
        jobFile_ = pdfFile_;
    }
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(printer_.get())) {
        painter_.reset();
        const QString where =
            jobFile_.isEmpty() ? printer_->printerName() : QDir::toNativeSeparators(jobFile_);
        jobFile_.clear();
        throw Error(platformTexts().cannotStartPrinting.arg(where));
    }
    painter_->setFont(font_);
    painter_->setPen(Qt::black);
}

void QtPrinterDevice::endJob() {
    if (!active())
        throw Error(notPrinting());
    const bool finished = painter_->end();
    painter_.reset();
    const QString file = jobFile_;
    jobFile_.clear();
    if (!finished)
        throw Error(platformTexts().jobNotFinished);
    lastOutput_ = file;
    if (ownPdf_)
        ShowMessage(DlgKind::Information, platformTexts().printoutSaved.arg(QDir::toNativeSeparators(file)));
}

void QtPrinterDevice::abortJob() {
    if (!active())
        return;
    printer_->abort();
    if (painter_->isActive())
        painter_->end();
    painter_.reset();
    // Half a document is no printout: a file written so far goes away, as a cancelled job
    // leaves no paper.
    if (!jobFile_.isEmpty())
        QFile::remove(jobFile_);
    jobFile_.clear();
}

void QtPrinterDevice::newPage() {
    if (!active())
        throw Error(notPrinting());
    if (aborted())
        return;
    if (!printer_->newPage())
        throw Error(platformTexts().pageNotStarted);
}

bool QtPrinterDevice::printing() const {
    return active();
}

bool QtPrinterDevice::aborted() const {
    return printer_->printerState() == QPrinter::Aborted;
}

int QtPrinterDevice::pageWidth() const {
    return printer_->width();
}

int QtPrinterDevice::pageHeight() const {
    return printer_->height();
}

int QtPrinterDevice::dpiX() const {
    return printer_->logicalDpiX();
}

int QtPrinterDevice::dpiY() const {
    return printer_->logicalDpiY();
}

void QtPrinterDevice::fontChanged() {
    metrics_.reset();
    if (active())
        painter_->setFont(font_);
}

void QtPrinterDevice::setFontSize(int points) {
    if (points <= 0 || points == font_.pointSize())
        return;
    font_.setPointSize(points);
    fontChanged();
}

int QtPrinterDevice::fontSize() const {
    return font_.pointSize();
}

void QtPrinterDevice::setBold(bool bold) {
    if (bold == font_.bold())
        return;
    font_.setBold(bold);
    fontChanged();
}

bool QtPrinterDevice::bold() const {
    return font_.bold();
}

const QFontMetrics& QtPrinterDevice::metrics() const {
    // Measured against the printer itself, so that the sizes are in printer dots.
    if (!metrics_)
        metrics_.emplace(font_, printer_.get());
    return *metrics_;
}

int QtPrinterDevice::textWidth(const QString& text) const {
    return metrics().horizontalAdvance(text);
}

int QtPrinterDevice::textHeight(const QString&) const {
    return metrics().height();
}

int QtPrinterDevice::averageCharWidth() const {
    return metrics().averageCharWidth();
}

void QtPrinterDevice::textOut(int x, int y, const QString& text) {
    if (!active())
        throw Error(notPrinting());
    if (aborted())
        return;
    painter_->drawText(QPoint(x, y + metrics().ascent()), text);
}

void QtPrinterDevice::textRect(const QRect& clip, int x, int y, const QString& text) {
    if (!active())
        throw Error(notPrinting());
    if (aborted())
        return;
    painter_->save();
    painter_->fillRect(clip, Qt::white);
    painter_->setClipRect(clip);
    painter_->drawText(QPoint(x, y + metrics().ascent()), text);
    painter_->restore();
}

} // namespace vxg
