// Renders every visible page of the main window, in English and in Chinese, to PNG files
// <folder>/<language>-<page>.png, with sample values in every field.
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QTabWidget>
#include <cstdio>

#include "ShellFakes.h"
#include "record/FieldCatalogue.h"

namespace {

void fillSampleValues(qv::FrmMain& window) {
    for (const qv::FieldInfo& field : qv::catalogue()) {
        window.fields().setText(field.index, std::to_string(field.index == 20 || field.index == 26
                                                                ? 3
                                                                : field.rangeMax - field.index));
    }
}

bool renderLanguage(const QDir& folder, const QString& language, int localeId) {
    qv::test::ShellFixture shell;
    shell.locale.id = localeId;
    shell.ports.present = {qv::test::port(1), qv::test::port(33, "/dev/ttyUSB0")};
    qv::FrmMain& window = shell.load();
    fillSampleValues(window);
    window.show();
    auto* tabs = shell.find<QTabWidget>("SSTab1");
    for (int page = 0; page < tabs->count(); ++page) {
        if (!tabs->isTabVisible(page)) {
            continue;
        }
        tabs->setCurrentIndex(page);
        QCoreApplication::processEvents();
        const QString name = folder.filePath(language + "-" + tabs->tabText(page) + ".png");
        // A palette of 256 colours keeps the files small enough to commit.
        const QImage image = window.grab().toImage().convertToFormat(QImage::Format_Indexed8);
        if (!image.save(name)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
            return false;
        }
        std::printf("%s\n", qPrintable(name));
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(".")) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    const bool ok = renderLanguage(folder, "en", 0x0409) && renderLanguage(folder, "zh", 0x0804);
    return ok ? 0 : 1;
}
