#include "UiLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace vxg {

namespace {

PlatformTexts& texts() {
    static PlatformTexts t;
    return t;
}

std::unique_ptr<QTranslator>& qtTranslator() {
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

} // namespace

bool SetQtLanguage(bool russian) {
    std::unique_ptr<QTranslator>& installed = qtTranslator();
    // Choosing the language in force again reads nothing and tells no window to relabel.
    if (russian == bool(installed))
        return true;
    if (installed) {
        QCoreApplication::removeTranslator(installed.get());
        installed.reset();
    }
    if (!russian)
        return true;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    if (!QCoreApplication::installTranslator(translator.get()))
        return false;
    installed = std::move(translator);
    return true;
}

void SetPlatformTexts(const PlatformTexts& t) {
    texts() = t;
}

const PlatformTexts& platformTexts() {
    return texts();
}

} // namespace vxg
