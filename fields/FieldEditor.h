#pragma once

#include <QTabWidget>
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "record/FieldCatalogue.h"
#include "record/FieldRecord.h"
#include "record/FieldTexts.h"

class QKeyEvent;
class QLineEdit;

namespace qv {

class SpinButton;

// The field editor: the six pages of editable fields, each field a one-line box with its
// caption at its left and, where it has one, a spin button at its right; and the editing
// rules wired to every box: the key filter, select-all (and the date) on focus, the change
// rule on every change. The read-only values have no box: they live in the records only.
class FieldEditor : public QTabWidget, public FieldTexts {
    Q_OBJECT
public:
    // Today's date in the system's short form, for the fields that take it on focus.
    using DateSource = std::function<std::string()>;

    FieldEditor(NumberFormat format, DateSource today, QWidget* parent = nullptr);

    // The box of an editable field; nullptr for a read-only one.
    QLineEdit* fieldEdit(int field) const { return edits_.at(static_cast<std::size_t>(field)); }
    // The spin button of a field; nullptr for a read-only one.
    SpinButton* spinButton(int field) const {
        return spinButtons_.at(static_cast<std::size_t>(field));
    }

    // Puts the keyboard focus in the first field of the open page.
    void focusFirstField();

    // Takes the fields as they are now as the values read or loaded: from now on a field whose
    // value differs is marked changed, until the next call.
    void keepAsUnchanged();
    // The same with these values, which a write sent, whatever the fields show now.
    void keepAsUnchanged(const FieldRecord& values);
    int changedCount() const { return changedCount_; }

    std::string text(int field) const override;
    void setText(int field, const std::string& text) override;
    NumberFormat format() const override;

signals:
    void changedCountChanged(int count);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* makeFieldEdit(const FieldInfo& info);
    static QString describe(int field, bool changed);
    void addPages();
    void onFieldChanged(int field);
    void onFieldFocused(int field, Qt::FocusReason reason);
    // True when the key was taken here and must not reach the box.
    bool onFieldKey(int field, const QKeyEvent& event);
    bool exceedsLengthLimit(int field) const;
    bool differsFromKept(int field) const;
    void markChanged(int field);
    void keep(const std::function<std::optional<std::int32_t>(const FieldInfo&)>& valueOf);

    NumberFormat format_;
    DateSource today_;
    std::array<QLineEdit*, kFieldCount> edits_{};
    std::array<SpinButton*, kFieldCount> spinButtons_{};
    // The values read or loaded, as numbers (none where the text was not one); empty until the
    // first read or load, when nothing counts as changed.
    std::optional<std::array<std::optional<std::int32_t>, kFieldCount>> kept_;
    int changedCount_ = 0;
};

}  // namespace qv
