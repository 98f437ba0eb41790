#include "Exwr_MDI.h"

#include "Error.h"
#include "Globals.h"
#include "OptionsLayout.h"
#include "Registry.h"

#include <QMdiArea>

QString MainTitle;

namespace {
const QString kLangN = QStringLiteral("LangN");
constexpr quint16 kEnglish = 200;
} // namespace

TMDIForm::TMDIForm(QWidget* parent) : QMainWindow(parent), MdiArea(new QMdiArea(this)) {
    setCentralWidget(MdiArea);
    resize(591, 418);
    FormCreate();
}

void TMDIForm::FormCreate() {
    ReadLanguage();
    LoadLangStrings();
    ApplyLanguage();
}

void TMDIForm::FormDestroy() {
    LangStrings.clear();
    WriteLanguage();
}

void TMDIForm::ApplyLanguage() {
    MainTitle = lang(1);
    setWindowTitle(MainTitle);
}

bool TMDIForm::ReadLanguage() {
    LangOffset = kEnglish;
    bool keyFound = false;
    try {
        const vxg::Registry reg;
        keyFound = reg.keyExists(kEditorKey);
        if (keyFound && reg.valueExists(kEditorKey, kLangN))
            LangOffset = static_cast<quint16>(reg.readInteger(kEditorKey, kLangN));
    } catch (const vxg::Error&) {
        // A LangN of another type reads as no choice at all: English, without a word.
        LangOffset = kEnglish;
    }
    return keyFound;
}

void TMDIForm::WriteLanguage() {
    vxg::Registry reg;
    reg.writeInteger(kEditorKey, kLangN, LangOffset);
}
