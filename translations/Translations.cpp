#include "translations/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <array>

namespace qv {

bool isChineseChina(const QLocale& locale) {
    return locale.language() == QLocale::Chinese && locale.territory() == QLocale::China;
}

void useChinese(bool chinese) {
    // Ours, embedded so it is always found, and Qt's own for its dialogs, buttons and the serial
    // port's error texts.
    static std::array<QTranslator, 3> translators;
    const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    const std::array<std::pair<QString, QString>, 3> files = {
        {{QStringLiteral("qv4120-settestdata_zh_CN"), QStringLiteral(":/translations")},
         {QStringLiteral("qtbase_zh_CN"), qtFolder},
         {QStringLiteral("qtserialport_zh_CN"), qtFolder}}};
    for (std::size_t k = 0; k < translators.size(); ++k) {
        QCoreApplication::removeTranslator(&translators[k]);
        if (chinese && translators[k].load(files[k].first, files[k].second)) {
            QCoreApplication::installTranslator(&translators[k]);
        }
    }
}

QString pageTitle(Page page) {
    switch (page) {
        case Page::Freq:
            return QCoreApplication::translate("qv::Pages", "FREQ");
        case Page::Other:
            return QCoreApplication::translate("qv::Pages", "OTHER");
        default: {
            const std::string_view caption = pageCaption(page);
            return QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size()));
        }
    }
}

}  // namespace qv
