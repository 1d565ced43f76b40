#include "shell/FieldPages.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>
#include <span>
#include <vector>

#include "record/FieldCatalogue.h"
#include "shell/FieldTextBoxes.h"
#include "shell/UpDown.h"

namespace qv {

namespace {

// Grid columns of one field column: caption, text box, spin button, gap.
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

const std::vector<PageLayout>& PageLayouts() {
    static const std::vector<PageLayout> layouts = {
        {Page::Tab0, {4}, {}},
        {Page::Tab1,
         {},
         {{"TestWorkRxFreq", "FraTestWorkRxFreq_0", {9, 3}},
          {"TestWorkTxFreq", "FraTestWorkRxFreq_1", {9, 3}}}},
        {Page::SMeter,
         {},
         {{"AF SQ", "FraAfSqRssi_0", {4, 4}}, {"UL SQ", "FraAfSqRssi_1", {4, 4}}}},
        {Page::Freq, {2}, {}},
        {Page::Other, {5, 6}, {}},
        {Page::Fm, {4, 3}, {}},
        {Page::Am, {6}, {}},
        {Page::Ssb, {4, 4}, {}},
    };
    return layouts;
}

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel* MakeCaption(const FieldInfo& info, QLineEdit* box) {
    auto* caption = new QLabel(ToQString(info.caption));
    caption->setObjectName(QStringLiteral("lbl_%1").arg(info.label));
    caption->setBuddy(box);
    return caption;
}

// Places the fields in columns of the given heights; returns the grid.
QGridLayout* LayOutFields(const FieldTextBoxes& boxes, std::span<const int> fields,
                          const ColumnHeights& columns) {
    auto* grid = new QGridLayout;
    std::size_t next = 0;
    for (std::size_t column = 0; column < columns.size(); ++column) {
        const int left = static_cast<int>(column) * kCellsPerColumn;
        for (int row = 0; row < columns[column] && next < fields.size(); ++row, ++next) {
            const int field = fields[next];
            QLineEdit* box = boxes.Text1(field);
            grid->addWidget(MakeCaption(Field(field), box), row, left);
            grid->addWidget(box, row, left + 1);
            if (UpDown* spinner = boxes.Spinner(field)) {
                grid->addWidget(spinner, row, left + 2);
            }
        }
        if (column + 1 < columns.size()) {
            grid->setColumnMinimumWidth(left + 3, kColumnGap);
        }
    }
    return grid;
}

// Spare room goes below and right of the fields, never between a caption and its field.
void KeepToTheTopLeft(QGridLayout* grid) {
    grid->setRowStretch(grid->rowCount(), 1);
    grid->setColumnStretch(grid->columnCount(), 1);
}

std::vector<int> FieldsInFrame(Page page, std::string_view frame) {
    std::vector<int> fields;
    for (int field : FieldsOnPage(page)) {
        if (Field(field).frame == frame) {
            fields.push_back(field);
        }
    }
    return fields;
}

// The three-line note beside fields 20 and 26.
QLayout* MakeCloseLevelNote() {
    auto* note = new QVBoxLayout;
    note->setSpacing(0);
    const std::pair<const char*, const char*> lines[] = {
        {"lblAfterEntering", "***After entering ASQ and Squelch levels (N)"},
        {"Label1", "and writing these to the radio, the"},
        {"lblTheWalkie", "radio will display level N+1."},
    };
    for (const auto& [name, text] : lines) {
        auto* line = new QLabel(text);
        line->setObjectName(name);
        note->addWidget(line);
    }
    return note;
}

QWidget* MakeFramedPage(const FieldTextBoxes& boxes, const PageLayout& layout) {
    auto* page = new QWidget;
    auto* row = new QHBoxLayout(page);
    for (const FrameLayout& frameLayout : layout.frames) {
        auto* frame = new QGroupBox(ToQString(frameLayout.caption));
        frame->setObjectName(frameLayout.objectName);
        const std::vector<int> fields = FieldsInFrame(layout.page, frameLayout.caption);
        QGridLayout* grid = LayOutFields(boxes, fields, frameLayout.columns);
        KeepToTheTopLeft(grid);
        frame->setLayout(grid);
        row->addWidget(frame);
    }
    row->addStretch();
    return page;
}

// The note stands to the right of fields 20 and 26, over their two rows.
void AddCloseLevelNote(const FieldTextBoxes& boxes, QGridLayout* grid) {
    int row = 0;
    int column = 0;
    int rowSpan = 0;
    int columnSpan = 0;
    grid->getItemPosition(grid->indexOf(boxes.Text1(20)), &row, &column, &rowSpan, &columnSpan);
    grid->setColumnMinimumWidth(column + 2, kColumnGap);
    grid->addLayout(MakeCloseLevelNote(), row, column + 3, 2, 1);
}

QWidget* MakePlainPage(const FieldTextBoxes& boxes, const PageLayout& layout) {
    auto* page = new QWidget;
    QGridLayout* grid = LayOutFields(boxes, FieldsOnPage(layout.page), layout.columns);
    if (layout.page == Page::Other) {
        AddCloseLevelNote(boxes, grid);
    }
    KeepToTheTopLeft(grid);
    page->setLayout(grid);
    return page;
}

}  // namespace

QTabWidget* BuildFieldPages(const FieldTextBoxes& boxes, QWidget* parent) {
    auto* tabs = new QTabWidget(parent);
    tabs->setObjectName("SSTab1");
    for (const PageLayout& layout : PageLayouts()) {
        QWidget* page =
            layout.frames.empty() ? MakePlainPage(boxes, layout) : MakeFramedPage(boxes, layout);
        tabs->addTab(page, ToQString(PageCaption(layout.page)));
    }
    return tabs;
}

}  // namespace qv
