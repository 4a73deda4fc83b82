#include "translations.h"

#include "about/helpfiles.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

// The catalogue `name` for the locale from the first folder that has one, installed; its file,
// or empty when none was found.
QString install(QCoreApplication& app, const QLocale& locale, const QString& name,
                const QStringList& folders)
{
    for (const QString& folder : folders) {
        auto* translator = new QTranslator(&app);
        // Tries the locale's languages in order: "de_AT", then "de".
        if (translator->load(locale, name, QStringLiteral("_"), folder) &&
            QCoreApplication::installTranslator(translator))
            return translator->filePath();
        delete translator;
    }
    return {};
}

} // namespace

QStringList translationFolders(const QString& programDir, bool windows)
{
    QStringList folders;
    for (const QString& folder : helpFolders(programDir, windows))
        folders << folder + QStringLiteral("/translations");
    return folders;
}

QStringList installTranslations(QCoreApplication& app, const QLocale& locale,
                                const QStringList& folders)
{
    QStringList loaded;
    const QString ours = install(app, locale, QStringLiteral("scrawlix"), folders);
    if (!ours.isEmpty())
        loaded << ours;
    // A Qt shipped with the program (Windows) may have no translations of its own; ours may.
    const QString qt =
        install(app, locale, QStringLiteral("qtbase"),
                QStringList{QLibraryInfo::path(QLibraryInfo::TranslationsPath)} + folders);
    if (!qt.isEmpty())
        loaded << qt;
    return loaded;
}

QStringList installTranslations(QCoreApplication& app)
{
#if defined(Q_OS_WIN)
    const bool windows = true;
#else
    const bool windows = false;
#endif
    return installTranslations(app, QLocale::system(),
                               translationFolders(QCoreApplication::applicationDirPath(), windows));
}
