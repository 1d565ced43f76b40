#pragma once

#include <QWidget>
#include <string>

#include "record/NumberText.h"

class QLineEdit;
class QToolButton;

namespace qv {

// The text a spin button writes into its field after one step: the field's number plus delta,
// kept within 0 and the maximum (no wrap); a text that is not a number counts as 0.
std::string steppedText(const std::string& text, int delta, int maximum,
                        const NumberFormat& format);

// Up and down arrows beside a field that step the field's number by one. Writing the new text
// into the field runs the field's change rule like any other change. The arrows are spoken as
// "Increase" and "Decrease" with the field's accessible name, which must be set first.
class SpinButton : public QWidget {
    Q_OBJECT
public:
    SpinButton(int maximum, QLineEdit* field, NumberFormat format, QWidget* parent = nullptr);

    int maximum() const { return maximum_; }
    QLineEdit* field() const { return field_; }
    void stepBy(int delta);

private:
    QToolButton* addArrow(Qt::ArrowType arrow, const char* name, const QString& spokenName,
                          int delta, int height);

    int maximum_;
    QLineEdit* field_;
    NumberFormat format_;
};

}  // namespace qv
