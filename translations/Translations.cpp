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

QString fieldProblem(const GatherError& error) {
    const FieldInfo& f = fieldInfo(error.field);
    const QString name = QString::fromStdString(fieldName(error.field));
    const QString page = pageTitle(f.page);
    const QString text = QString::fromStdString(error.text);
    switch (error.reason) {
        case GatherError::Reason::Empty:
            return QCoreApplication::translate("qv::Fields",
                                               "The field %1 \"%2\" on page \"%3\" is empty.")
                .arg(QString::number(error.field), name, page);
        case GatherError::Reason::NotANumber:
            return QCoreApplication::translate(
                       "qv::Fields",
                       "The field %1 \"%2\" on page \"%3\" holds \"%4\", which is not a number.")
                .arg(QString::number(error.field), name, page, text);
        case GatherError::Reason::OutOfRange:
            break;
    }
    return QCoreApplication::translate(
               "qv::Fields",
               "The field %1 \"%2\" on page \"%3\" holds %4, outside its range 0 to %5.")
        .arg(QString::number(error.field), name, page, text, QString::number(f.memberMax()));
}

QString restText(RestKind kind, int secondsLeft) {
    return (kind == RestKind::Storing
                ? QCoreApplication::translate("qv::Rest", "The radio is storing the data: %1 s")
                : QCoreApplication::translate("qv::Rest", "The radio rests: %1 s"))
        .arg(secondsLeft);
}

}  // namespace qv
