#include "host/app/qttranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace quib::host {

bool LoadQtTranslations(QCoreApplication& app)
{
    auto* translator = new QTranslator(&app);  // the application owns it
    // qtbase_zh_CN.qm: the messages are the program's language, whatever the user's locale.
    if (!translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}  // namespace quib::host
