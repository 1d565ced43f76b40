#include "shell/FrmMain.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "link/Notices.h"
#include "link/Transfer.h"
#include "record/FieldCatalogue.h"
#include "shell/FieldPages.h"
#include "shell/FieldTextBoxes.h"
#include "shell/MessageBoxNotices.h"
#include "shell/SettingsFile.h"
#include "shell/SystemLocale.h"

namespace qv {

namespace {

constexpr int kWaitInterval = 500;
constexpr int kReShowInterval = 1000;
// About 1455 × 375 twips at 96 dots per inch; the Chinese captions would otherwise make
// their buttons taller than the others.
constexpr int kButtonWidth = 97;
constexpr int kButtonHeight = 25;

}  // namespace

FrmMain::FrmMain(ShellServices services, QWidget* parent)
    : QMainWindow(parent), services_(services), boxes_(new FieldTextBoxes(services.locale, this)) {
    setObjectName("FrmMain");
    setWindowTitle(kToolTitle);
    setFont(QFont("Arial", 9));
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    ssTab1_ = buildFieldPages(*boxes_, central);
    column->addWidget(ssTab1_, 1);
    column->addWidget(buildCommandRow());
    setCentralWidget(central);
    statusBar();

    waitTimer_ = new QTimer(this);
    waitTimer_->setObjectName("WaitTimer");
    waitTimer_->setInterval(kWaitInterval);
    reShowComPortTimer_ = new QTimer(this);
    reShowComPortTimer_->setObjectName("ReShowComPortTimer");
    reShowComPortTimer_->setInterval(kReShowInterval);
    connect(reShowComPortTimer_, &QTimer::timeout, this, &FrmMain::ReShowComPortTimer_Timer);
}

FrmMain::~FrmMain() = default;

QWidget* FrmMain::buildCommandRow() {
    auto* row = new QWidget;
    auto* grid = new QGridLayout(row);
    grid->setContentsMargins(0, 0, 0, 0);
    auto* label3 = new QLabel(QStringLiteral("Comm Select："));
    label3->setObjectName("Label3");
    combo2_ = new QComboBox;
    combo2_->setObjectName("Combo2");
    combo2_->setMinimumWidth(kButtonWidth);
    comDevice_ = new QLabel;
    comDevice_->setObjectName("lblComDevice");
    label3->setBuddy(combo2_);
    grid->addWidget(label3, 0, 0);
    grid->addWidget(combo2_, 1, 0);
    grid->addWidget(comDevice_, 2, 0, 1, -1);
    connect(combo2_, &QComboBox::activated, this, &FrmMain::Combo2_Click);
    connect(combo2_, &QComboBox::currentIndexChanged, this, &FrmMain::showChosenDevice);

    command1_ = addButton("Command1", "Read");
    command2_ = addButton("Command2", "Write");
    cmd_ = addButton("cmd", "Save Data");
    command4_ = addButton("Command4", "Load Data");
    command3_ = addButton("Command3", "Exit");
    int column = 1;
    for (QPushButton* button : {command1_, command2_, cmd_, command4_, command3_}) {
        grid->addWidget(button, 1, column++);
    }
    grid->setColumnStretch(column, 1);
    connect(command3_, &QPushButton::clicked, this, &FrmMain::close);
    return row;
}

QPushButton* FrmMain::addButton(const char* name, const char* caption) {
    auto* button = new QPushButton(caption);
    button->setObjectName(name);
    button->setMinimumSize(kButtonWidth, kButtonHeight);
    button->setAutoDefault(false);
    return button;
}

void FrmMain::Form_Load() {
    // The transfer starts idle with the window. The operating-system check only chose a
    // fixed first filling of the port list on one Windows version; here the list is always
    // filled with the ports present.
    ssTab1_->setCurrentIndex(0);
    comPortNo_ = static_cast<std::int16_t>(services_.settings.readComPort());
    const int first = listPorts();
    if (!isPortListed(entries_, comPortNo_)) {
        comPortNo_ = static_cast<std::int16_t>(first);
    }
    if (comPortNo_ != 0) {
        choosePort(portEntryText(comPortNo_));
        services_.settings.writeComPort(comPortNo_);
    }
    setLanguage();
    reShowComPortTimer_->start();
    services_.notices.show(kReminder, NoticeIcon::Exclamation);
}

void FrmMain::setLanguage() {
    const bool chinese = services_.locale.localeId() == kChineseChinaLocaleId;
    languageId_ = chinese ? kLanguageChinese : kLanguageEnglish;
    command1_->setText(chinese ? QStringLiteral("读出(&R)") : QStringLiteral("&Read"));
    command2_->setText(chinese ? QStringLiteral("写入(&W)") : QStringLiteral("&Write"));
}

int FrmMain::listPorts() {
    PortListing listing = qv::listPorts(services_.ports.list());
    showEntries(listing.entries);
    return listing.first;
}

// A list that has not changed is left alone, so an open drop-down and the user's choice stay.
void FrmMain::showEntries(const std::vector<PortEntry>& entries) {
    if (entries == entries_ && combo2_->count() == static_cast<int>(entries.size())) {
        return;
    }
    entries_ = entries;
    combo2_->clear();
    for (const PortEntry& entry : entries_) {
        combo2_->addItem(QString::fromStdString(entry.text));
        combo2_->setItemData(combo2_->count() - 1, QString::fromStdString(entry.device),
                             Qt::ToolTipRole);
    }
    combo2_->setCurrentIndex(-1);
}

void FrmMain::choosePort(const std::string& text) {
    const std::string chosen = findEntryText(entries_, text);
    combo2_->setCurrentIndex(combo2_->findText(QString::fromStdString(chosen),
                                               Qt::MatchExactly | Qt::MatchCaseSensitive));
}

void FrmMain::showChosenDevice() {
    const QString device = combo2_->currentData(Qt::ToolTipRole).toString();
    comDevice_->setText(device);
    combo2_->setToolTip(device);
    emit portChosen();
}

// By number rather than by the chosen entry: after "No Com Port!" the number is known before
// the next re-scan chooses its entry.
std::string FrmMain::comPortDevice() const {
    const std::string text = portEntryText(comPortNo_);
    for (const PortEntry& entry : entries_) {
        if (entry.text == text) {
            return entry.device;
        }
    }
    return {};
}

void FrmMain::ReShowComPortTimer_Timer() {
    const int first = listPorts();
    if (first <= 0) {
        comPortNo_ = static_cast<std::int16_t>(first);
        combo2_->setCurrentIndex(-1);
        return;
    }
    if (combo2_->currentText().toStdString() != portEntryText(comPortNo_)) {
        choosePort(portEntryText(comPortNo_));
        comPortNo_ = static_cast<std::int16_t>(portNumberOf(combo2_->currentText().toStdString()));
    }
}

void FrmMain::Combo2_Click(int index) {
    const std::string text = combo2_->itemText(index).toStdString();
    if (text.size() > 3) {
        comPortNo_ = static_cast<std::int16_t>(portNumberOf(text));
        services_.settings.writeComPort(comPortNo_);
    }
}

FieldTexts& FrmMain::fields() {
    return *boxes_;
}

std::string FrmMain::accessCodeText() const {
    return services_.settings.accessCode();
}

std::string FrmMain::modelText() const {
    return services_.settings.model();
}

void FrmMain::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void FrmMain::Form_Unload() {
    reShowComPortTimer_->stop();
    emit unloading();
}

}  // namespace qv
