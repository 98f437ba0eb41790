#include "AboutVelmora.h"

#include "ErrorGuard.h"
#include "Globals.h"
#include "LinkLabel.h"
#include "Shell.h"
#include "VelmoraArt.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

const char* const kMakerWebAddress = "https://velmora.example.org";

namespace {

QFont pixelFont(const QStringList& families, int pixelSize) {
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(pixelSize);
    return font;
}

QLabel* makeLabel(QWidget* parent, const QRect& geometry, const QString& text = QString()) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

} // namespace

TAboutVXG::TAboutVXG(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Velmora"));
    setFixedSize(298, 281);
    setFont(pixelFont({QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans")}, 11));

    Panel1 = new QFrame(this);
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Sunken);
    Panel1->setGeometry(8, 8, 281, 225);

    ProgramIcon = makeLabel(Panel1, QRect(8, 8, 32, 32));
    ProgramIcon->setPixmap(VelmoraEmblem(32));

    Label3 = makeLabel(Panel1, QRect(150, 6, 84, 22), QStringLiteral("Tallowen"));
    Label3->setFont(pixelFont({QStringLiteral("Lucida Handwriting"), QStringLiteral("URW Chancery L"),
                               QStringLiteral("DejaVu Serif")},
                              15));
    Label4 = makeLabel(Panel1, QRect(236, 12, 40, 16), QStringLiteral("series"));

    ProductName = makeLabel(Panel1, QRect(48, 28, 225, 32));
    QFont productFont = font();
    productFont.setPixelSize(24);
    productFont.setBold(true);
    productFont.setItalic(true);
    ProductName->setFont(productFont);

    Label2 = makeLabel(Panel1, QRect(8, 62, 265, 16));
    QFont boldFont = font();
    boldFont.setBold(true);
    Label2->setFont(boldFont);

    Version = makeLabel(Panel1, QRect(8, 80, 265, 16));

    // Room for three lines: the Russian description needs them in the fonts found here.
    Comments = makeLabel(Panel1, QRect(8, 98, 249, 44));
    Comments->setWordWrap(true);

    Label1 = makeLabel(Panel1, QRect(8, 144, 129, 58));
    Label1->setWordWrap(true);

    Label6 = new TLinkLabel(QString::fromLatin1(kMakerWebAddress), Panel1);
    Label6->setGeometry(8, 204, 265, 16);
    Label6->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    connect(Label6, &TLinkLabel::clicked, this, [this] { HyperLinkLabelClick(); });

    OkBtn = new QPushButton(QStringLiteral("OK"), this);
    OkBtn->setGeometry(111, 244, 75, 25);
    OkBtn->setDefault(true);
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutVXG::FormShow() {
    Label1->setText(lang(74));
    ProductName->setText(QStringLiteral("Velmora"));
    Version->setText(lang(70));
    Comments->setText(lang(73));
    Label2->setText(lang(72));
}

void TAboutVXG::HyperLinkLabelClick() {
    // Headless or without a browser nothing opens; the box has nothing to say about it.
    vxg::RunGuarded([this] { vxg::ShellOpenUrl(Label6->text()); });
}

void TAboutVXG::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}
