#pragma once

#include <QString>
#include <memory>
#include <optional>

class QFileDialog;
class QWidget;

namespace qv {

// Shows one modal file dialog and returns the chosen path, or nothing when the user cancels.
// The window uses QFileDialog; tests script the answers.
class FilePicker {
public:
    enum class Kind { Save, Open };
    struct Request {
        Kind kind = Kind::Open;
        QString title;
        QString filter;         // as the platform writes it: "data file (*.bin)"
        QString fileName;       // the name the dialog starts with
        QString defaultSuffix;  // added to a name typed without one
        QString place;          // a folder offered beside the usual places
    };
    virtual ~FilePicker() = default;
    virtual std::optional<QString> pick(const Request& request) = 0;
};

// The file dialog of Save Data and Load Data: one object for the run, which keeps its file
// name from one use to the next.
class DataFileDialog {
public:
    explicit DataFileDialog(FilePicker& picker) : picker_(picker) {}

    QString fileName() const { return fileName_; }
    void setFileName(const QString& name) { fileName_ = name; }
    // Shows the dialog with the data file filter; true when a file was chosen (fileName()).
    bool show(FilePicker::Kind kind, const QString& title);

private:
    FilePicker& picker_;
    QString fileName_;
};

// The real dialog, modal over `parent`.
class QtFilePicker : public FilePicker {
public:
    explicit QtFilePicker(QWidget* parent) : parent_(parent) {}
    std::optional<QString> pick(const Request& request) override;

    // The dialog that pick shows, not yet shown.
    std::unique_ptr<QFileDialog> dialog(const Request& request) const;

private:
    QWidget* parent_;
};

}  // namespace qv
