// The pages of the field editor, laid out from the catalogue: every field with its caption at
// its left and its spin button at its right, at its place on its page; the fields of a frame in
// a group box of their own, frames side by side; and the note beside the close levels.
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <vector>

#include "fields/FieldEditor.h"
#include "fields/SpinButton.h"
#include "translations/Translations.h"

namespace qv {

namespace {

// Grid columns of one field column: caption, box, spin button, gap.
constexpr int kCellsPerColumn = 4;
constexpr int kColumnGap = 24;

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel* makeCaption(const FieldInfo& info, QLineEdit* edit) {
    auto* caption = new QLabel(toQString(info.caption));
    caption->setObjectName(QStringLiteral("fieldCaption_%1").arg(info.index));
    caption->setBuddy(edit);
    return caption;
}

// The fields of a page that share a frame (or stand in none), in on-screen order.
std::vector<std::vector<int>> blocksOf(Page page) {
    std::vector<std::vector<int>> blocks;
    for (const int field : fieldsOnPage(page)) {
        if (blocks.empty() || fieldInfo(blocks.back().front()).frame != fieldInfo(field).frame) {
            blocks.emplace_back();
        }
        blocks.back().push_back(field);
    }
    return blocks;
}

// Places the fields of one block at their places, its leftmost column first; returns the grid.
QGridLayout* layOutFields(const FieldEditor& editor, const std::vector<int>& fields) {
    auto* grid = new QGridLayout;
    const int firstColumn = fieldInfo(fields.front()).place.column;
    int lastColumn = firstColumn;
    for (const int field : fields) {
        const Place place = fieldInfo(field).place;
        const int left = (place.column - firstColumn) * kCellsPerColumn;
        QLineEdit* edit = editor.fieldEdit(field);
        grid->addWidget(makeCaption(fieldInfo(field), edit), place.row, left);
        grid->addWidget(edit, place.row, left + 1);
        if (SpinButton* spinButton = editor.spinButton(field)) {
            grid->addWidget(spinButton, place.row, left + 2);
        }
        lastColumn = std::max(lastColumn, place.column);
    }
    for (int column = firstColumn; column < lastColumn; ++column) {
        grid->setColumnMinimumWidth((column - firstColumn) * kCellsPerColumn + 3, kColumnGap);
    }
    return grid;
}

// Spare room goes below and right of the fields, never between a caption and its field.
void keepToTheTopLeft(QGridLayout* grid) {
    grid->setRowStretch(grid->rowCount(), 1);
    grid->setColumnStretch(grid->columnCount(), 1);
}

// The note on the close levels stands to the right of them, over their rows.
void addCloseLevelNote(const FieldEditor& editor, const std::vector<int>& fields,
                       QGridLayout* grid) {
    std::vector<int> levels;
    std::ranges::copy_if(fields, std::back_inserter(levels),
                         [](int f) { return fieldInfo(f).rule == ValueRule::CloseLevel; });
    if (levels.empty()) {
        return;
    }
    int row = 0;
    int column = 0;
    int rowSpan = 0;
    int columnSpan = 0;
    grid->getItemPosition(grid->indexOf(editor.fieldEdit(levels.front())), &row, &column, &rowSpan,
                          &columnSpan);
    auto* note =
        new QLabel(FieldEditor::tr("***After entering ASQ and Squelch levels (N)\n"
                                   "and writing these to the radio, the\n"
                                   "radio will display level N+1."));
    note->setObjectName("closeLevelNote");
    grid->setColumnMinimumWidth(column + 2, kColumnGap);
    grid->addWidget(note, row, column + 3, static_cast<int>(levels.size()), 1);
}

QWidget* makePage(const FieldEditor& editor, Page pageOfFields) {
    auto* page = new QWidget;
    auto* row = new QHBoxLayout(page);
    for (const std::vector<int>& block : blocksOf(pageOfFields)) {
        QGridLayout* grid = layOutFields(editor, block);
        addCloseLevelNote(editor, block, grid);
        keepToTheTopLeft(grid);
        const std::string_view frameCaption = fieldInfo(block.front()).frame;
        if (frameCaption.empty()) {
            row->addLayout(grid);
            continue;
        }
        auto* frame = new QGroupBox(toQString(frameCaption));
        frame->setObjectName(QStringLiteral("frame_%1").arg(block.front()));
        frame->setLayout(grid);
        row->addWidget(frame);
    }
    row->addStretch();
    return page;
}

}  // namespace

void FieldEditor::addPages() {
    // The pages as a whole; their tab list speaks as its open tab.
    setAccessibleName(tr("Calibration fields"));
    for (const Page page : kShownPages) {
        addTab(makePage(*this, page), pageTitle(page));
    }
}

void FieldEditor::focusFirstField() {
    fieldEdit(fieldsOnPage(kShownPages.at(static_cast<std::size_t>(currentIndex()))).front())
        ->setFocus(Qt::OtherFocusReason);
}

}  // namespace qv
