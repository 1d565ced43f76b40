#include "fields/SpinButton.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace qv {

namespace {

constexpr int kArrowWidth = 17;

}  // namespace

std::string steppedText(const std::string& text, int delta, int maximum,
                        const NumberFormat& format) {
    const std::int64_t n = readNumber(text, format).value_or(0);
    return std::to_string(std::clamp<std::int64_t>(n + delta, 0, maximum));
}

SpinButton::SpinButton(int maximum, QLineEdit* field, NumberFormat format, QWidget* parent)
    : QWidget(parent), maximum_(maximum), field_(field), format_(std::move(format)) {
    auto* arrows = new QVBoxLayout(this);
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(0);
    const int half = field->sizeHint().height() / 2;
    // Named for a screen reader's pointer and its actions; the keyboard steps with Up and Down
    // in the field, so the arrows take no focus.
    const QString name = field->accessibleName();
    arrows->addWidget(addArrow(Qt::UpArrow, "stepUp", tr("Increase %1").arg(name), 1, half));
    arrows->addWidget(addArrow(Qt::DownArrow, "stepDown", tr("Decrease %1").arg(name), -1, half));
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QToolButton* SpinButton::addArrow(Qt::ArrowType arrow, const char* name, const QString& spokenName,
                                  int delta, int height) {
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setAccessibleName(spokenName);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(kArrowWidth, height);
    connect(button, &QToolButton::clicked, this, [this, delta] { stepBy(delta); });
    return button;
}

void SpinButton::stepBy(int delta) {
    field_->setText(QString::fromStdString(
        steppedText(field_->text().toStdString(), delta, maximum_, format_)));
}

}  // namespace qv
