#pragma once

#include <QLocale>
#include <QString>

#include "record/FieldCatalogue.h"

namespace qv {

// Whether a locale is the language Chinese in the territory China: the one that gets Chinese.
bool isChineseChina(const QLocale& locale);

// From now on every text goes out in Chinese when `chinese`, else in English (the source
// texts). Qt's own dialogs and buttons follow.
void useChinese(bool chinese);

// A page's title on its tab; the technical names stay as they are.
QString pageTitle(Page page);

}  // namespace qv
