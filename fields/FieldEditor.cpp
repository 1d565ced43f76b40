#include "fields/FieldEditor.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <QTimer>
#include <QValidator>
#include <algorithm>
#include <optional>
#include <string>

#include "fields/SpinButton.h"
#include "record/EditRules.h"

namespace qv {

namespace {

// Room for five digits.
constexpr int kFieldWidth = 64;

// Holds a field to its length limit whatever way a text comes in but typing, which the key
// filter limits first: a paste from the context menu, a drop, the tool's own texts.
class LengthLimit final : public QValidator {
public:
    LengthLimit(int field, NumberFormat format, QObject* parent)
        : QValidator(parent), field_(field), format_(std::move(format)) {}

    State validate(QString& input, int& position) const override {
        const std::string text = input.toStdString();
        const std::optional<std::string> fitted = fitLengthLimit(field_, text, format_);
        if (!fitted) {
            return Invalid;
        }
        if (*fitted != text) {
            input = QString::fromStdString(*fitted);
            position = static_cast<int>(input.size());
        }
        return Acceptable;
    }

private:
    int field_;
    NumberFormat format_;
};

bool isShortcutDropped(const QKeyEvent& event) {
    return event.matches(QKeySequence::Copy) || event.matches(QKeySequence::Paste) ||
           event.matches(QKeySequence::Cut);
}

int stepOfKey(int key) {
    if (key == Qt::Key_Up) {
        return 1;
    }
    return key == Qt::Key_Down ? -1 : 0;
}

}  // namespace

FieldEditor::FieldEditor(NumberFormat format, DateSource today, QWidget* parent)
    : QTabWidget(parent), format_(std::move(format)), today_(std::move(today)) {
    setObjectName("pages");
    setStyleSheet(QStringLiteral(
        "QLineEdit[changed=\"true\"] { font-weight: bold; border: 2px solid palette(text); }"));
    for (const FieldInfo& info : catalogue()) {
        if (info.readOnly()) {
            continue;
        }
        QLineEdit* edit = makeFieldEdit(info);
        edits_.at(static_cast<std::size_t>(info.index)) = edit;
        auto* spinButton = new SpinButton(info.memberMax(), edit, format_);
        spinButton->setObjectName(QStringLiteral("spinButton_%1").arg(info.index));
        spinButtons_.at(static_cast<std::size_t>(info.index)) = spinButton;
    }
    addPages();
}

QLineEdit* FieldEditor::makeFieldEdit(const FieldInfo& info) {
    auto* edit = new QLineEdit;
    edit->setObjectName(QStringLiteral("fieldEdit_%1").arg(info.index));
    // Spoken as a person says it: the caption alone would name several fields alike ("1").
    edit->setAccessibleName(QString::fromStdString(fieldName(info.index)));
    edit->setAccessibleDescription(describe(info.index, false));
    edit->setFixedWidth(kFieldWidth);
    // Numbers read best with their digits lined up on the right.
    edit->setAlignment(Qt::AlignRight);
    // Digits only: an input method could otherwise compose any text into the field.
    edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    edit->setValidator(new LengthLimit(info.index, format_, edit));
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textChanged, this, [this, i = info.index] { onFieldChanged(i); });
    return edit;
}

std::string FieldEditor::text(int field) const {
    return fieldEdit(field)->text().toStdString();
}

void FieldEditor::setText(int field, const std::string& text) {
    fieldEdit(field)->setText(QString::fromStdString(text));
}

NumberFormat FieldEditor::format() const {
    return format_;
}

void FieldEditor::onFieldChanged(int field) {
    const std::string text = this->text(field);
    const std::string ruled = applyChangeRule(field, text, format_);
    if (ruled != text) {
        // Runs this rule once more, on a text that is now within range.
        setText(field, ruled);
        return;
    }
    markChanged(field);
}

void FieldEditor::keepAsUnchanged() {
    keep([this](const FieldInfo& info) { return readNumber(text(info.index), format_); });
}

void FieldEditor::keepAsUnchanged(const FieldRecord& values) {
    keep([&values](const FieldInfo& info) {
        return std::optional<std::int32_t>(values.member(info.offset, info.size));
    });
}

void FieldEditor::keep(
    const std::function<std::optional<std::int32_t>(const FieldInfo&)>& valueOf) {
    kept_.emplace();
    for (const FieldInfo& info : catalogue()) {
        if (!info.readOnly()) {
            (*kept_)[static_cast<std::size_t>(info.index)] = valueOf(info);
            markChanged(info.index);
        }
    }
}

bool FieldEditor::differsFromKept(int field) const {
    return kept_ && (*kept_)[static_cast<std::size_t>(field)] != readNumber(text(field), format_);
}

// A changed field shows its digits bold in a thick frame: a mark that needs neither colour nor
// words, so it reads the same in every language and in grey.
void FieldEditor::markChanged(int field) {
    QLineEdit* edit = fieldEdit(field);
    const bool changed = differsFromKept(field);
    if (edit->property("changed").toBool() == changed) {
        return;
    }
    edit->setProperty("changed", changed);
    edit->setAccessibleDescription(describe(field, changed));
    edit->style()->unpolish(edit);
    edit->style()->polish(edit);
    changedCount_ += changed ? 1 : -1;
    emit changedCountChanged(changedCount_);
}

// What a screen reader says after the name: the range the field keeps and whether it is marked.
QString FieldEditor::describe(int field, bool changed) {
    const QString range = tr("0 to %1").arg(fieldInfo(field).rangeMax);
    return changed ? tr("%1, changed").arg(range) : range;
}

void FieldEditor::onFieldFocused(int field, Qt::FocusReason reason) {
    QLineEdit* edit = fieldEdit(field);
    if (fieldInfo(field).takesDateOnFocus && edit->text().isEmpty()) {
        setText(field, today_());
    }
    edit->selectAll();
    if (reason == Qt::MouseFocusReason) {
        // The click that brought the focus would place the cursor after this handler.
        QTimer::singleShot(0, edit, &QLineEdit::selectAll);
    }
}

bool FieldEditor::onFieldKey(int field, const QKeyEvent& event) {
    const int step = stepOfKey(event.key());
    if (step != 0 && spinButton(field) != nullptr) {
        spinButton(field)->stepBy(step);
        return true;
    }
    // Copy, paste and cut by keyboard do nothing in a field.
    if (isShortcutDropped(event)) {
        return true;
    }
    // Enter moves the focus on as Tab does, inserting nothing.
    if (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) {
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(fieldEdit(field), &tab);
        return true;
    }
    // Keys that type nothing (arrows, Home, function keys) pass untouched. A text of more than
    // one character (a composed sequence) is no digit.
    const std::u32string typed = event.text().toStdU32String();
    if (typed.empty()) {
        return false;
    }
    if (typed.size() != 1 || !typedCharacterPasses(typed.front())) {
        return true;
    }
    return QChar::isPrint(typed.front()) && exceedsLengthLimit(field);
}

// A typed digit past the limit is refused; other ways in are held by the LengthLimit validator.
bool FieldEditor::exceedsLengthLimit(int field) const {
    const QLineEdit* edit = fieldEdit(field);
    return edit->text().size() - edit->selectedText().size() + 1 > fieldInfo(field).lengthLimit;
}

bool FieldEditor::eventFilter(QObject* watched, QEvent* event) {
    const auto found = std::find(edits_.begin(), edits_.end(), watched);
    if (found == edits_.end()) {
        return QTabWidget::eventFilter(watched, event);
    }
    const auto field = static_cast<int>(found - edits_.begin());
    if (event->type() == QEvent::KeyPress) {
        return onFieldKey(field, static_cast<const QKeyEvent&>(*event));
    }
    if (event->type() == QEvent::FocusIn) {
        onFieldFocused(field, static_cast<const QFocusEvent&>(*event).reason());
    }
    return false;
}

}  // namespace qv
