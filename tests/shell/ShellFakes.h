#pragma once

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/Notices.h"
#include "shell/FrmMain.h"
#include "shell/PresentPorts.h"
#include "shell/SettingsFile.h"
#include "shell/SystemLocale.h"

namespace qv::test {

class FakeLocale : public SystemLocale {
public:
    int id = 0x0409;
    std::string decimalPoint = ".";
    std::string date = "12/06/2026";

    int localeId() const override { return id; }
    NumberFormat format() const override { return {.decimalPoint = decimalPoint}; }
    std::string shortDate() const override { return date; }
};

class FakePorts : public PresentPorts {
public:
    std::vector<PresentPort> present;

    std::vector<PresentPort> list() override { return present; }
};

// Records every message and question; `onShow` runs while a message is "open", and every
// question is answered with `confirmAnswer` (true: OK).
class ScriptedNotices : public Notices {
public:
    struct Shown {
        std::string text;
        NoticeIcon icon;
    };
    std::vector<Shown> shown;
    std::vector<std::string> asked;
    std::function<void()> onShow;
    bool confirmAnswer = true;

    void show(const std::string& text, NoticeIcon icon) override {
        shown.push_back({text, icon});
        if (onShow) {
            onShow();
        }
    }
    bool confirm(const std::string& text) override {
        asked.push_back(text);
        return confirmAnswer;
    }
};

inline PresentPort port(int n, const std::string& device = {}) {
    return {"COM" + std::to_string(n),
            device.empty() ? "/dev/ttyS" + std::to_string(n - 1) : device};
}

// Writes mysetup.ini into the folder (none when content is empty) and gives its path.
inline QString settingsIn(const QTemporaryDir& dir, const QByteArray& content) {
    const QString path = dir.filePath("mysetup.ini");
    QFile file(path);
    if (!content.isEmpty() && file.open(QIODevice::WriteOnly)) {
        file.write(content);
    }
    return path;
}

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A window over fakes, with its settings file in a fresh folder.
struct ShellFixture {
    QTemporaryDir dir;
    FakeLocale locale;
    FakePorts ports;
    ScriptedNotices notices;
    SettingsFile settings{dir.filePath("mysetup.ini").toStdString()};
    std::unique_ptr<FrmMain> window;

    FrmMain& make() {
        window = std::make_unique<FrmMain>(ShellServices{notices, locale, ports, settings});
        return *window;
    }
    FrmMain& load() {
        make().Form_Load();
        return *window;
    }
    template <typename T>
    T* find(const QString& name) const {
        return window->findChild<T*>(name);
    }
    QLineEdit* box(int field) const { return find<QLineEdit>(QString("Text1_%1").arg(field)); }
};

}  // namespace qv::test

// Tests run without a display unless one is asked for.
#define QV_OFFSCREEN_TEST_MAIN(TestClass)                     \
    int main(int argc, char** argv) {                         \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) { \
            qputenv("QT_QPA_PLATFORM", "offscreen");          \
        }                                                     \
        QApplication app(argc, argv);                         \
        TestClass test;                                       \
        return QTest::qExec(&test, argc, argv);               \
    }
