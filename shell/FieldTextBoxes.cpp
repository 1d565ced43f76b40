#include "shell/FieldTextBoxes.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>

#include "record/EditRules.h"
#include "shell/UpDown.h"

namespace qv {

namespace {

// Text box widths for about 960 and 1215 twips at 96 dots per inch.
constexpr int kFieldWidth = 64;
constexpr int kTwoDigitFieldWidth = 81;

constexpr int kNotACharacter = -1;

// The character code a key press would type, as the key filter sees it; keys that type
// nothing (arrows, Home, function keys) are not characters and pass untouched.
int characterCode(const QKeyEvent& event) {
    if (event.matches(QKeySequence::Copy)) {
        return kCtrlC;
    }
    if (event.matches(QKeySequence::Paste)) {
        return kCtrlV;
    }
    if (event.matches(QKeySequence::Cut)) {
        return kCtrlX;
    }
    if (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) {
        return kEnter;
    }
    const QString text = event.text();
    return text.size() == 1 ? text.front().unicode() : kNotACharacter;
}

bool isPrintable(int key) {
    return key >= ' ' && key != 127;
}

int stepOfKey(int key) {
    if (key == Qt::Key_Up) {
        return 1;
    }
    return key == Qt::Key_Down ? -1 : 0;
}

}  // namespace

FieldTextBoxes::FieldTextBoxes(const SystemLocale& locale, QObject* parent)
    : QObject(parent), locale_(locale), format_(locale.format()) {
    for (const FieldInfo& info : catalogue()) {
        if (info.readOnly()) {
            continue;
        }
        QLineEdit* box = makeTextBox(info);
        text1_.at(static_cast<std::size_t>(info.index)) = box;
        if (info.spinner != 0) {
            spinners_.at(static_cast<std::size_t>(info.index)) =
                new UpDown(info.spinner, info.spinnerMax(), box, format_);
        }
    }
}

QLineEdit* FieldTextBoxes::makeTextBox(const FieldInfo& info) {
    auto* box = new QLineEdit;
    box->setObjectName(QStringLiteral("Text1_%1").arg(info.index));
    box->setFixedWidth(info.maxChars == 2 ? kTwoDigitFieldWidth : kFieldWidth);
    // Digits only: an input method could otherwise compose any text into the field.
    box->setAttribute(Qt::WA_InputMethodEnabled, false);
    box->installEventFilter(this);
    connect(box, &QLineEdit::textChanged, this, [this, i = info.index] { Text1_Change(i); });
    return box;
}

std::string FieldTextBoxes::text(int field) const {
    return text1(field)->text().toStdString();
}

void FieldTextBoxes::setText(int field, const std::string& text) {
    text1(field)->setText(QString::fromStdString(text));
}

NumberFormat FieldTextBoxes::format() const {
    return format_;
}

void FieldTextBoxes::Text1_Change(int field) {
    const std::string text = this->text(field);
    const std::string ruled = applyChangeRule(editGroupOf(field), text, format_);
    if (ruled != text) {
        // Runs this rule once more, on a text that is now within range.
        setText(field, ruled);
    }
}

void FieldTextBoxes::Text1_GotFocus(int field, Qt::FocusReason reason) {
    QLineEdit* box = text1(field);
    if (fillsDateOnFocus(field) && box->text().isEmpty()) {
        setText(field, locale_.shortDate());
    }
    box->selectAll();
    if (reason == Qt::MouseFocusReason) {
        // The click that brought the focus would place the cursor after this handler.
        QTimer::singleShot(0, box, &QLineEdit::selectAll);
    }
}

bool FieldTextBoxes::Text1_KeyPress(int field, const QKeyEvent& event) {
    const int step = stepOfKey(event.key());
    if (step != 0 && spinner(field) != nullptr) {
        spinner(field)->stepBy(step);
        return true;
    }
    const int code = characterCode(event);
    if (code == kNotACharacter) {
        return false;
    }
    const KeyVerdict verdict = filterKey(code);
    if (verdict.moveFocus) {
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(text1(field), &tab);
        return true;
    }
    if (verdict.key == 0) {
        return true;
    }
    return isPrintable(verdict.key) && exceedsLengthLimit(field);
}

// The limit holds for typing only: the tool itself may show a longer text (a read-only
// field of two characters can hold 200).
bool FieldTextBoxes::exceedsLengthLimit(int field) const {
    const QLineEdit* box = text1(field);
    return box->text().size() - box->selectedText().size() + 1 > fieldInfo(field).maxChars;
}

bool FieldTextBoxes::eventFilter(QObject* watched, QEvent* event) {
    const auto found = std::find(text1_.begin(), text1_.end(), watched);
    if (found == text1_.end()) {
        return false;
    }
    const auto field = static_cast<int>(found - text1_.begin());
    if (event->type() == QEvent::KeyPress) {
        return Text1_KeyPress(field, static_cast<const QKeyEvent&>(*event));
    }
    if (event->type() == QEvent::FocusIn) {
        Text1_GotFocus(field, static_cast<const QFocusEvent&>(*event).reason());
    }
    return false;
}

}  // namespace qv
