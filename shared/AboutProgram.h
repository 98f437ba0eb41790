#pragma once
// The About box of one program of the suite (the examiner's and the editor's are alike): product,
// version, description, series, the maker's notice where the box carries one, and the maker's
// address. Each program gives its own name, icon and the ids of its texts.
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
    int noticeId = 0; // the maker's notice; 0: the box carries none
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
    QLabel* Label3 = nullptr;      // series name
    QLabel* Label4 = nullptr;      // "series"
    QLabel* MakerNotice = nullptr; // the maker's notice, in a box that carries one
    TLinkLabel* Label6 = nullptr;  // the maker's web address, a link
    QPushButton* OKButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    TProgramAboutTexts texts_;
};
