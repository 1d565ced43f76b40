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

const std::vector<PageLayout>& pageLayouts() {
    static const std::vector<PageLayout> layouts = {
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

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel* makeCaption(const FieldInfo& info, QLineEdit* box) {
    auto* caption = new QLabel(toQString(info.caption));
    caption->setObjectName(QStringLiteral("lbl_%1").arg(info.label));
    caption->setBuddy(box);
    return caption;
}

// Places the fields in columns of the given heights; returns the grid.
QGridLayout* layOutFields(const FieldTextBoxes& boxes, std::span<const int> fields,
                          const ColumnHeights& columns) {
    auto* grid = new QGridLayout;
    std::size_t next = 0;
    for (std::size_t column = 0; column < columns.size(); ++column) {
        const int left = static_cast<int>(column) * kCellsPerColumn;
        for (int row = 0; row < columns[column] && next < fields.size(); ++row, ++next) {
            const int field = fields[next];
            QLineEdit* box = boxes.text1(field);
            grid->addWidget(makeCaption(fieldInfo(field), box), row, left);
            grid->addWidget(box, row, left + 1);
            if (UpDown* spinner = boxes.spinner(field)) {
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

// The three-line note beside fields 20 and 26.
QLayout* makeCloseLevelNote() {
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

QWidget* makeFramedPage(const FieldTextBoxes& boxes, const PageLayout& layout) {
    auto* page = new QWidget;
    auto* row = new QHBoxLayout(page);
    for (const FrameLayout& frameLayout : layout.frames) {
        auto* frame = new QGroupBox(toQString(frameLayout.caption));
        frame->setObjectName(frameLayout.objectName);
        const std::vector<int> fields = fieldsInFrame(layout.page, frameLayout.caption);
        QGridLayout* grid = layOutFields(boxes, fields, frameLayout.columns);
        keepToTheTopLeft(grid);
        frame->setLayout(grid);
        row->addWidget(frame);
    }
    row->addStretch();
    return page;
}

// The note stands to the right of fields 20 and 26, over their two rows.
void addCloseLevelNote(const FieldTextBoxes& boxes, QGridLayout* grid) {
    int row = 0;
    int column = 0;
    int rowSpan = 0;
    int columnSpan = 0;
    grid->getItemPosition(grid->indexOf(boxes.text1(20)), &row, &column, &rowSpan, &columnSpan);
    grid->setColumnMinimumWidth(column + 2, kColumnGap);
    grid->addLayout(makeCloseLevelNote(), row, column + 3, 2, 1);
}

QWidget* makePlainPage(const FieldTextBoxes& boxes, const PageLayout& layout) {
    auto* page = new QWidget;
    QGridLayout* grid = layOutFields(boxes, fieldsOnPage(layout.page), layout.columns);
    if (layout.page == Page::Other) {
        addCloseLevelNote(boxes, grid);
    }
    keepToTheTopLeft(grid);
    page->setLayout(grid);
    return page;
}

}  // namespace

QTabWidget* buildFieldPages(const FieldTextBoxes& boxes, QWidget* parent) {
    auto* tabs = new QTabWidget(parent);
    tabs->setObjectName("SSTab1");
    for (const PageLayout& layout : pageLayouts()) {
        QWidget* page =
            layout.frames.empty() ? makePlainPage(boxes, layout) : makeFramedPage(boxes, layout);
        tabs->addTab(page, toQString(pageCaption(layout.page)));
    }
    return tabs;
}

}  // namespace qv
