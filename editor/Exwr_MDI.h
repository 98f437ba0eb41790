#pragma once
// The editor's main window: an MDI frame that will hold one topic window per question file.
#include <QMainWindow>
#include <QString>

class QMdiArea;

// The main window's title in the language in force.
extern QString MainTitle;

class TMDIForm : public QMainWindow {
    Q_OBJECT
public:
    // Runs FormCreate: reads the language, fills the language table, labels the window.
    explicit TMDIForm(QWidget* parent = nullptr);

    void FormCreate();
    // The exit steps: frees the language table and stores the language. Called once the
    // message loop has ended; a registry failure raises vxg::Error.
    void FormDestroy();

    void ApplyLanguage();
    // LangOffset from the editor's key; false (and English) when the key is missing. A key
    // without an integer LangN also gives English.
    bool ReadLanguage();
    void WriteLanguage();

    QMdiArea* MdiArea;
};
