#pragma once

#include <QObject>
#include <array>

#include "record/FieldCatalogue.h"
#include "record/FieldTexts.h"
#include "shell/SystemLocale.h"

class QKeyEvent;
class QLineEdit;

namespace qv {

class UpDown;

// The 78 text boxes Text1(i) with their spin buttons, and the editing rules wired to them:
// the key filter, select-all (and the date) on focus, the change rule on every change.
class FieldTextBoxes : public QObject, public FieldTexts {
    Q_OBJECT
public:
    explicit FieldTextBoxes(const SystemLocale& locale, QObject* parent = nullptr);

    QLineEdit* text1(int field) const { return text1_.at(static_cast<std::size_t>(field)); }
    // The spin button of a field, nullptr when it has none.
    UpDown* spinner(int field) const { return spinners_.at(static_cast<std::size_t>(field)); }

    std::string text(int field) const override;
    void setText(int field, const std::string& text) override;
    NumberFormat format() const override;

    void Text1_Change(int field);
    void Text1_GotFocus(int field, Qt::FocusReason reason);
    // True when the key was taken here and must not reach the text box.
    bool Text1_KeyPress(int field, const QKeyEvent& event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* makeTextBox(const FieldInfo& info);
    bool exceedsLengthLimit(int field) const;

    const SystemLocale& locale_;
    NumberFormat format_;
    std::array<QLineEdit*, kFieldCount> text1_{};
    std::array<UpDown*, kFieldCount> spinners_{};
};

}  // namespace qv
