#include "AboutProgram.h"

#include "AboutVelmora.h"
#include "ErrorGuard.h"
#include "Globals.h"
#include "LinkLabel.h"
#include "Shell.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

TProgramAboutBox::TProgramAboutBox(const TProgramAboutTexts& texts, const QPixmap& icon, int height,
                                   QWidget* parent)
    : QDialog(parent), texts_(texts) {
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(298, height);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);

    QFont base = font();
    base.setPixelSize(11);
    setFont(base);

    Panel = new QFrame(this);
    Panel->setFrameShape(QFrame::Panel);
    Panel->setFrameShadow(QFrame::Sunken);
    Panel->setGeometry(8, 8, 282, height - 54);

    ProgramIcon = new QLabel(Panel);
    ProgramIcon->setGeometry(10, 10, 32, 32);
    ProgramIcon->setPixmap(icon);

    ProductName = new QLabel(Panel);
    QFont nameFont = base;
    nameFont.setBold(true);
    nameFont.setPixelSize(19);
    ProductName->setFont(nameFont);
    ProductName->setGeometry(52, 8, 222, 26);

    Version = new QLabel(Panel);
    Version->setGeometry(52, 38, 222, 16);

    Comments = new QLabel(Panel);
    Comments->setWordWrap(true);
    Comments->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Comments->setGeometry(10, 60, 262, 44);

    Label3 = new QLabel(QStringLiteral("Tallowen"), Panel);
    QFont seriesFont = base;
    seriesFont.setFamily(QStringLiteral("Lucida Handwriting"));
    seriesFont.setStyleHint(QFont::Cursive);
    seriesFont.setItalic(true);
    seriesFont.setPixelSize(15);
    Label3->setFont(seriesFont);
    // A box with the maker's notice gives it a line of its own between the series and the link.
    const bool withNotice = texts.noticeId != 0;
    const int seriesTop = withNotice ? 100 : 110;
    Label3->setGeometry(10, seriesTop, 110, 24);

    Label4 = new QLabel(QStringLiteral("series"), Panel);
    Label4->setGeometry(122, seriesTop + 4, 80, 18);

    if (withNotice) {
        MakerNotice = new QLabel(Panel);
        MakerNotice->setGeometry(10, 128, 262, 18);
    }

    Label6 = new TLinkLabel(QString::fromLatin1(kMakerWebAddress), Panel);
    Label6->setFont([&] {
        QFont f = base;
        f.setUnderline(true);
        return f;
    }());
    Label6->setGeometry(10, withNotice ? 150 : 146, 262, 20);
    connect(Label6, &TLinkLabel::clicked, this, vxg::Guarded([this] { HyperLinkLabelClick(Label6); }));

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setDefault(true);
    OKButton->setGeometry(111, height - 37, 75, 27);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TProgramAboutBox::FormShow() {
    ProductName->setText(texts_.productName);
    Version->setText(lang(texts_.versionId));
    Comments->setText(lang(texts_.commentsId));
    if (MakerNotice)
        MakerNotice->setText(lang(texts_.noticeId));
}

void TProgramAboutBox::HyperLinkLabelClick(QObject* sender) {
    const auto* label = qobject_cast<const QLabel*>(sender);
    if (!label)
        return;
    // What the browser does with it is not ours to check.
    vxg::ShellOpenUrl(label->text());
}

void TProgramAboutBox::showEvent(QShowEvent* event) {
    vxg::RunGuarded([this] { FormShow(); });
    QDialog::showEvent(event);
}
