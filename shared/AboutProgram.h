#pragma once
// The About box of one program of the suite (the examiner's and the editor's are alike): product,
// version, description, series and the maker's address. Each program gives its own name, icon
// and the ids of its version and description texts.
#include <QDialog>
#include <QPixmap>

class QFrame;
class QLabel;
class TLinkLabel;
class QPushButton;

struct TProgramAboutTexts {
    QString productName; // shown as it stands in both languages
    int versionId = 70;
    int commentsId = 71;
};

class TProgramAboutBox : public QDialog {
    Q_OBJECT
public:
    TProgramAboutBox(const TProgramAboutTexts& texts, const QPixmap& icon, int height,
                     QWidget* parent = nullptr);

    // Fills the texts that follow the language; runs at every showing.
    void FormShow();
    // Opens the link label's address in the web browser.
    void HyperLinkLabelClick(QObject* sender);

    QFrame* Panel = nullptr;
    QLabel* ProgramIcon = nullptr;
    QLabel* ProductName = nullptr;
    QLabel* Version = nullptr;
    QLabel* Comments = nullptr;
    QLabel* Label3 = nullptr;     // series name
    QLabel* Label4 = nullptr;     // "series"
    TLinkLabel* Label6 = nullptr; // the maker's web address, a link
    QPushButton* OKButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    TProgramAboutTexts texts_;
};
