#include "shell/MainWindow.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include "fields/FieldEditor.h"
#include "ports/PresentPorts.h"
#include "ports/SettingsFile.h"
#include "shell/MessageBoxNotices.h"
#include "shell/Notices.h"
#include "shell/SystemLocale.h"
#include "workflow/Wording.h"

namespace qv {

namespace {

constexpr int kRescanInterval = 1000;
// One size for every button, whatever the language: the Chinese captions would otherwise make
// theirs taller.
constexpr int kButtonWidth = 97;
constexpr int kButtonHeight = 25;

// A caption as a screen reader speaks it: without its access key, "&Read" or "读出(&R)", which
// the reader names apart, and without a closing colon.
QString spokenCaption(QString caption) {
    static const QRegularExpression accessKeyInParentheses(QStringLiteral("\\(&.\\)"));
    static const QRegularExpression ampersand(QStringLiteral("&(.)"));
    static const QRegularExpression closingColon(QStringLiteral("[:：]$"));
    return caption.remove(accessKeyInParentheses)
        .replace(ampersand, QStringLiteral("\\1"))
        .remove(closingColon)
        .trimmed();
}

}  // namespace

MainWindow::MainWindow(ShellServices services, QWidget* parent)
    : QMainWindow(parent), services_(services) {
    setObjectName("mainWindow");
    setWindowTitle(kToolTitle);
    setFont(QFont("Arial", 9));
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    const SystemLocale* locale = &services.locale;
    pages_ = new FieldEditor(
        locale->format(), [locale] { return locale->shortDate(); }, central);
    column->addWidget(pages_, 1);
    column->addWidget(buildCommandRow());
    setCentralWidget(central);
    statusBar();

    answerTimer_ = new QTimer(this);
    answerTimer_->setObjectName("answerTimer");
    portRescanTimer_ = new QTimer(this);
    portRescanTimer_->setObjectName("portRescanTimer");
    portRescanTimer_->setInterval(kRescanInterval);
    connect(portRescanTimer_, &QTimer::timeout, this, &MainWindow::onPortRescan);
}

MainWindow::~MainWindow() = default;

QWidget* MainWindow::buildCommandRow() {
    auto* row = new QWidget;
    auto* grid = new QGridLayout(row);
    grid->setContentsMargins(0, 0, 0, 0);
    auto* caption = new QLabel(tr("&Comm Select："));
    caption->setObjectName("portListCaption");
    portList_ = new QComboBox;
    portList_->setObjectName("portList");
    portList_->setMinimumWidth(kButtonWidth);
    caption->setBuddy(portList_);
    portList_->setAccessibleName(spokenCaption(caption->text()));
    portList_->view()->setAccessibleName(tr("Ports present"));
    grid->addWidget(caption, 0, 0);
    grid->addWidget(portList_, 1, 0);
    connect(portList_, &QComboBox::activated, this, &MainWindow::onPortPicked);
    connect(portList_, &QComboBox::currentIndexChanged, this, &MainWindow::showChosenDevice);

    readButton_ = addButton("readButton", tr("&Read"));
    writeButton_ = addButton("writeButton", tr("&Write"));
    saveButton_ = addButton("saveButton", tr("Save &Data"));
    loadButton_ = addButton("loadButton", tr("&Load Data"));
    exitButton_ = addButton("exitButton", tr("E&xit"));
    int column = 1;
    for (QPushButton* button : {readButton_, writeButton_, saveButton_, loadButton_, exitButton_}) {
        grid->addWidget(button, 1, column++);
    }
    grid->setColumnStretch(column, 1);
    connect(exitButton_, &QPushButton::clicked, this, &MainWindow::close);
    return row;
}

QPushButton* MainWindow::addButton(const char* name, const QString& caption) {
    auto* button = new QPushButton(caption);
    button->setObjectName(name);
    button->setAccessibleName(spokenCaption(caption));
    button->setMinimumSize(kButtonWidth, kButtonHeight);
    button->setAutoDefault(false);
    return button;
}

// The port list is first filled with the ports present; a saved port that is gone gives way to
// the first one, which is saved in its place. When the reminder closes the window shows, active
// and with the focus in the first field, so that its keys work at once even where no window
// manager hands the focus over.
void MainWindow::startUp() {
    pages_->setCurrentIndex(0);
    portNumber_ = static_cast<std::int16_t>(services_.settings.readComPort());
    const int first = listPorts();
    if (!isPortListed(entries_, portNumber_)) {
        portNumber_ = static_cast<std::int16_t>(first);
    }
    if (portNumber_ != 0) {
        choosePort(portEntryText(portNumber_));
        services_.settings.writeComPort(portNumber_);
    }
    portRescanTimer_->start();
    if (const auto refusal = services_.settings.refusal()) {
        services_.notices.show(Wording::settingsRefused(*refusal).text().toStdString(),
                               NoticeIcon::Stop);
    }
    services_.notices.show(
        tr("Please READ and SAVE (backup) the calibration data before making any changes.")
            .toStdString(),
        NoticeIcon::Exclamation);
    show();
    raise();
    activateWindow();
    pages_->focusFirstField();
}

int MainWindow::listPorts() {
    PortListing listing = qv::listPorts(services_.ports.list());
    showEntries(listing.entries);
    return listing.first;
}

// A list that has not changed is left alone, so an open drop-down and the user's choice stay.
void MainWindow::showEntries(const std::vector<PortEntry>& entries) {
    if (entries == entries_ && portList_->count() == static_cast<int>(entries.size())) {
        return;
    }
    entries_ = entries;
    portList_->clear();
    for (const PortEntry& entry : entries_) {
        portList_->addItem(QString::fromStdString(entry.text));
        portList_->setItemData(portList_->count() - 1, QString::fromStdString(entry.device),
                               Qt::ToolTipRole);
    }
    portList_->setCurrentIndex(-1);
}

void MainWindow::choosePort(const std::string& text) {
    const std::string chosen = findEntryText(entries_, text);
    portList_->setCurrentIndex(portList_->findText(QString::fromStdString(chosen),
                                                   Qt::MatchExactly | Qt::MatchCaseSensitive));
}

void MainWindow::showChosenDevice() {
    // The status line names the device too; the list shows it on hovering.
    portList_->setToolTip(portList_->currentData(Qt::ToolTipRole).toString());
    emit portChosen();
}

// By number rather than by the chosen entry: after "No Com Port!" the number is known before
// the next re-scan chooses its entry.
std::string MainWindow::portDevice() const {
    const std::string text = portEntryText(portNumber_);
    for (const PortEntry& entry : entries_) {
        if (entry.text == text) {
            return entry.device;
        }
    }
    return {};
}

void MainWindow::onPortRescan() {
    const int first = listPorts();
    if (first <= 0) {
        portNumber_ = static_cast<std::int16_t>(first);
        portList_->setCurrentIndex(-1);
        return;
    }
    if (portList_->currentText().toStdString() != portEntryText(portNumber_)) {
        choosePort(portEntryText(portNumber_));
        portNumber_ =
            static_cast<std::int16_t>(portNumberOf(portList_->currentText().toStdString()));
        // As after a pick: the entry changed before its number did.
        emit portChosen();
    }
}

void MainWindow::onPortPicked(int index) {
    const std::string text = portList_->itemText(index).toStdString();
    if (text.size() > 3) {
        portNumber_ = static_cast<std::int16_t>(portNumberOf(text));
        services_.settings.writeComPort(portNumber_);
        // The entry changed before its number did: what shows the port shows it again.
        emit portChosen();
    }
}

FieldTexts& MainWindow::fields() {
    return *pages_;
}

std::string MainWindow::accessCodeText() const {
    return services_.settings.accessCode();
}

std::string MainWindow::modelText() const {
    return services_.settings.model();
}

const std::string& MainWindow::settingsPath() const {
    return services_.settings.path();
}

// Closing never waits for a transfer and never writes the settings file.
void MainWindow::closeEvent(QCloseEvent* event) {
    if (mayClose_ && !mayClose_()) {
        event->ignore();
        return;
    }
    portRescanTimer_->stop();
    emit closing();
    event->accept();
}

}  // namespace qv
