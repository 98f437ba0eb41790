#pragma once
#include <QDialog>

class QFrame;
class QLabel;
class TLinkLabel;
class QPushButton;

// The About box of the whole suite, shown by both programs from their Help menus.
class TAboutVXG : public QDialog {
    Q_OBJECT
public:
    explicit TAboutVXG(QWidget* parent = nullptr);

    // Fills the texts from the language table; runs at every showing.
    void FormShow();
    void HyperLinkLabelClick();

    QFrame* Panel1;
    QLabel* ProgramIcon;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* ProductName;
    QLabel* Label2;
    QLabel* Version;
    QLabel* Comments;
    QLabel* Label1;
    TLinkLabel* Label6;
    QPushButton* OkBtn;

protected:
    void showEvent(QShowEvent* event) override;
};

// The maker's web address shown in the About boxes.
extern const char* const kMakerWebAddress;
