// The topic window's text fields: what the user may type, paste or drop into a question text,
// and the beep for what a field could not take.
#include "TopicU.h"

#include "Cp1251.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <algorithm>
#include <functional>

namespace {

// A character the user may put into a question text.
bool holdable(QChar c) {
    return c != u'$' && c.category() != QChar::Other_Control && vxg::cp1251::holds(c);
}

// What an edit from before to after put in: after without the start and the end it shares
// with before.
QStringView addedPart(const QString& before, const QString& after) {
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype head = 0;
    while (head < shorter && before[head] == after[head])
        ++head;
    qsizetype tail = 0;
    while (tail < shorter - head && before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    return QStringView(after).mid(head, after.size() - head - tail);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// What the text fields accept.

QValidator::State TQuestionTextValidator::validate(QString& input, int& /*pos*/) const {
    // Judged by what the edit adds, so that what a file brought in (a long text, a "$") stays
    // until the user takes it out, and nothing of the kind comes in by the user's hand.
    const QStringView added = addedPart(shown_, input);
    if (judging_ && !added.isEmpty() &&
        (input.size() > kTypingLimit || !std::all_of(added.begin(), added.end(), holdable))) {
        ++refusals_;
        return Invalid;
    }
    return Acceptable;
}

QString TQuestionTextValidator::Admissible(const QString& entered, qsizetype replaced, bool& lost) const {
    QString out;
    for (qsizetype i = 0; i < entered.size(); ++i) {
        const QChar c = entered[i];
        if (c.category() == QChar::Other_Control) {
            const bool crBeforeLf = c == u'\r' && i + 1 < entered.size() && entered[i + 1] == u'\n';
            if (!crBeforeLf)
                out += u' ';
        } else if (holdable(c)) {
            out += c;
        } else {
            lost = true;
        }
    }
    const qsizetype room = std::max<qsizetype>(0, kTypingLimit - (shown_.size() - replaced));
    if (out.size() > room) {
        out.truncate(room);
        lost = true;
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// A question text field.

TQuestionEdit::TQuestionEdit(QWidget* parent) : QLineEdit(parent) {
    rules_ = new TQuestionTextValidator(this);
    setValidator(rules_);
    connect(this, &QLineEdit::textChanged, rules_, &TQuestionTextValidator::SetShownText);
    connect(this, &TQuestionEdit::InputRefused, this, [] { QApplication::beep(); });
}

void TQuestionEdit::ShowText(const QString& text) {
    rules_->SetShownText(text);
    setText(text);
    setModified(false);
    // A text read from the file shows from its start.
    setCursorPosition(0);
}

void TQuestionEdit::InsertAdmissible(const QString& entered) {
    bool lost = false;
    const QString fitted = rules_->Admissible(entered, selectedText().size(), lost);
    if (!fitted.isEmpty())
        insert(fitted);
    if (lost)
        emit InputRefused();
}

void TQuestionEdit::PasteAdmissible() {
    if (!isReadOnly())
        InsertAdmissible(QGuiApplication::clipboard()->text());
}

void TQuestionEdit::Unjudged(void (QLineEdit::*edit)()) {
    rules_->SetJudging(false);
    (this->*edit)();
    rules_->SetJudging(true);
}

bool TQuestionEdit::event(QEvent* event) {
    // Whatever way an input came (a key, an input method, the X11 selection), a refused one
    // is heard.
    if (!rules_) // the field is still being made
        return QLineEdit::event(event);
    const int refusals = rules_->Refusals();
    const bool handled = QLineEdit::event(event);
    if (rules_->Refusals() != refusals)
        emit InputRefused();
    return handled;
}

void TQuestionEdit::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste))
        PasteAdmissible();
    else if (event->matches(QKeySequence::Undo))
        Unjudged(&QLineEdit::undo);
    else if (event->matches(QKeySequence::Redo))
        Unjudged(&QLineEdit::redo);
    else
        return QLineEdit::keyPressEvent(event);
    event->accept();
}

void TQuestionEdit::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The menu's own commands, known by the texts the line edit gives them, go the field's way.
    const std::pair<const char*, std::function<void()>> own[] = {
        {"&Undo", [this] { Unjudged(&QLineEdit::undo); }},
        {"&Redo", [this] { Unjudged(&QLineEdit::redo); }},
        {"&Paste", [this] { PasteAdmissible(); }},
    };
    for (QAction* a : menu->actions())
        for (const auto& [text, run] : own)
            if (a->text().section(u'\t', 0, 0) == QLineEdit::tr(text)) {
                a->disconnect(this);
                connect(a, &QAction::triggered, this, run);
            }
    menu->popup(event->globalPos());
}

void TQuestionEdit::dropEvent(QDropEvent* event) {
    // A drag within the field moves what it holds; a drop from elsewhere comes in as a paste.
    if (event->source() == this || !event->mimeData()->hasText() || isReadOnly())
        return QLineEdit::dropEvent(event);
    bool lost = false;
    QMimeData fitted;
    fitted.setText(rules_->Admissible(event->mimeData()->text(), 0, lost));
    QDropEvent drop(event->position(), event->possibleActions(), &fitted, event->buttons(),
                    event->modifiers());
    QLineEdit::dropEvent(&drop);
    event->setAccepted(drop.isAccepted());
    event->setDropAction(drop.dropAction());
    if (lost)
        emit InputRefused();
}
