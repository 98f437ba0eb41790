#pragma once
// The examiner's own About box: product, version, description, series and the maker's address.
#include <QDialog>

class QFrame;
class QLabel;
class TLinkLabel;
class QPushButton;

class TAboutVerirozaz : public QDialog {
    Q_OBJECT
public:
    explicit TAboutVerirozaz(QWidget* parent = nullptr);

    // Fills the texts that follow the language; runs at every showing.
    void FormShow();
    // Opens the link label's address in the web browser.
    void HyperLinkLabelClick(QObject* sender);

    QFrame* Panel = nullptr;
    QLabel* ProgramIcon = nullptr;
    QLabel* ProductName = nullptr;
    QLabel* Version = nullptr;
    QLabel* Comments = nullptr;
    QLabel* Label3 = nullptr; // series name
    QLabel* Label4 = nullptr; // "series"
    TLinkLabel* Label6 = nullptr; // the maker's web address, a link
    QPushButton* OKButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};
