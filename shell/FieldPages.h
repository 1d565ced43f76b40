#pragma once

class QTabWidget;
class QWidget;

namespace qv {

class FieldTextBoxes;

// Builds the tab control SSTab1 with its eight pages: every field with its caption at its
// left and its spin button at its right, in the page's columns (top to bottom, left column
// first), the group frames and the note of page "OTHER".
QTabWidget* buildFieldPages(const FieldTextBoxes& boxes, QWidget* parent);

}  // namespace qv
