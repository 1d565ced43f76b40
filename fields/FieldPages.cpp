// The pages of the field editor: every field with its caption at its left and its spin button
// at its right, in the page's columns (top to bottom, left column first), the group frames of
// page "S-Meter" and the note of page "OTHER".
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <span>
#include <vector>

#include "fields/FieldEditor.h"
#include "fields/SpinButton.h"
#include "translations/Translations.h"

namespace qv {

namespace {

// Grid columns of one field column: caption, box, spin button, gap.
constexpr int kCellsPerColumn = 4;
constexpr int kColumnGap = 24;

// How many fields stand in each column of a block, left to right.
using ColumnHeights = std::vector<int>;

struct FrameLayout {
    std::string_view caption;
    const char* objectName;
    ColumnHeights columns;
};

struct PageLayout {
    Page page;
    ColumnHeights columns;            // when the page has no frames
    std::vector<FrameLayout> frames;  // side by side
};

const std::vector<PageLayout>& pageLayouts() {
    static const std::vector<PageLayout> layouts = {
        {Page::SMeter, {}, {{"AF SQ", "afSqFrame", {4, 4}}, {"UL SQ", "ulSqFrame", {4, 4}}}},
        {Page::Freq, {2}, {}},
        {Page::Other, {5, 6}, {}},
        {Page::Fm, {4, 3}, {}},
        {Page::Am, {6}, {}},
        {Page::Ssb, {4, 4}, {}},
    };
    return layouts;
}

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel* makeCaption(const FieldInfo& info, QLineEdit* edit) {
    auto* caption = new QLabel(toQString(info.caption));
    caption->setObjectName(QStringLiteral("fieldCaption_%1").arg(info.index));
    caption->setBuddy(edit);
    return caption;
}

// Places the fields in columns of the given heights; returns the grid.
QGridLayout* layOutFields(const FieldEditor& editor, std::span<const int> fields,
                          const ColumnHeights& columns) {
    auto* grid = new QGridLayout;
    std::size_t next = 0;
    for (std::size_t column = 0; column < columns.size(); ++column) {
        const int left = static_cast<int>(column) * kCellsPerColumn;
        for (int row = 0; row < columns[column] && next < fields.size(); ++row, ++next) {
            const int field = fields[next];
            QLineEdit* edit = editor.fieldEdit(field);
            grid->addWidget(makeCaption(fieldInfo(field), edit), row, left);
            grid->addWidget(edit, row, left + 1);
            if (SpinButton* spinButton = editor.spinButton(field)) {
                grid->addWidget(spinButton, row, left + 2);
            }
        }
        if (column + 1 < columns.size()) {
            grid->setColumnMinimumWidth(left + 3, kColumnGap);
        }
    }
    return grid;
}

// Spare room goes below and right of the fields, never between a caption and its field.
void keepToTheTopLeft(QGridLayout* grid) {
    grid->setRowStretch(grid->rowCount(), 1);
    grid->setColumnStretch(grid->columnCount(), 1);
}

std::vector<int> fieldsInFrame(Page page, std::string_view frame) {
    std::vector<int> fields;
    for (int field : fieldsOnPage(page)) {
        if (fieldInfo(field).frame == frame) {
            fields.push_back(field);
        }
    }
    return fields;
}

QWidget* makeFramedPage(const FieldEditor& editor, const PageLayout& layout) {
    auto* page = new QWidget;
    auto* row = new QHBoxLayout(page);
    for (const FrameLayout& frameLayout : layout.frames) {
        auto* frame = new QGroupBox(toQString(frameLayout.caption));
        frame->setObjectName(frameLayout.objectName);
        const std::vector<int> fields = fieldsInFrame(layout.page, frameLayout.caption);
        QGridLayout* grid = layOutFields(editor, fields, frameLayout.columns);
        keepToTheTopLeft(grid);
        frame->setLayout(grid);
        row->addWidget(frame);
    }
    row->addStretch();
    return page;
}

// The note on the close levels stands to the right of fields 20 and 26, over their two rows.
void addCloseLevelNote(const FieldEditor& editor, QGridLayout* grid) {
    int row = 0;
    int column = 0;
    int rowSpan = 0;
    int columnSpan = 0;
    grid->getItemPosition(grid->indexOf(editor.fieldEdit(20)), &row, &column, &rowSpan,
                          &columnSpan);
    auto* note =
        new QLabel(FieldEditor::tr("***After entering ASQ and Squelch levels (N)\n"
                                   "and writing these to the radio, the\n"
                                   "radio will display level N+1."));
    note->setObjectName("closeLevelNote");
    grid->setColumnMinimumWidth(column + 2, kColumnGap);
    grid->addWidget(note, row, column + 3, 2, 1);
}

QWidget* makePlainPage(const FieldEditor& editor, const PageLayout& layout) {
    auto* page = new QWidget;
    QGridLayout* grid = layOutFields(editor, fieldsOnPage(layout.page), layout.columns);
    if (layout.page == Page::Other) {
        addCloseLevelNote(editor, grid);
    }
    keepToTheTopLeft(grid);
    page->setLayout(grid);
    return page;
}

}  // namespace

void FieldEditor::addPages() {
    for (const PageLayout& layout : pageLayouts()) {
        QWidget* page =
            layout.frames.empty() ? makePlainPage(*this, layout) : makeFramedPage(*this, layout);
        addTab(page, pageTitle(layout.page));
    }
}

}  // namespace qv
