#include "platform/QtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>

namespace platform {

void loadQtRussianTexts() {
    auto *translator = new QTranslator(QCoreApplication::instance());
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (translator->load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                         folder)) {
        QCoreApplication::installTranslator(translator);
        return;
    }
    delete translator;
    std::fprintf(stderr,
                 "zarnik: Qt's Russian translation (qtbase_ru.qm) is not in %s; Qt's own "
                 "texts stay in English.\n",
                 qPrintable(folder));
}

} // namespace platform
