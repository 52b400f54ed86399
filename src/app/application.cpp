#include "application.h"

#include "gentools/errorhandle.h"
#include "guitools/appversion.h"
#include "resources.h"

#include <QDir>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

App* g_app = nullptr;

#ifdef ORX_PACKAGED_LOG
const bool kInstalledBuild = true;
#else
const bool kInstalledBuild = false;
#endif

} // namespace

App::App(int& argc, char** argv) : BaseApp(argc, argv)
{
    // The pictures live in a static library and register only when asked.
    orx::initResources();
    // The toolkit's own buttons and dialogs (file dialogs, "Закрыть") speak
    // Russian like the rest of the program; without the translation files
    // they stay in English and nothing else changes.
    auto* toolkitTexts = new QTranslator(this);
    if (toolkitTexts->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                           QStringLiteral("_"), QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
        installTranslator(toolkitTexts);
}

App::~App()
{
    if (g_app == this)
        g_app = nullptr;
}

App* App::get()
{
    if (g_app)
        return g_app;
    App* p = qobject_cast<App*>(QCoreApplication::instance());
    if (!GEH_ASSERT(p))
        return nullptr;
    g_app = p;
    return g_app;
}

QString App::version()
{
    return orx::versionDate();
}

QString App::versionString()
{
    return orx::versionString();
}

QString App::logFileName(bool installed)
{
    const QString name = QStringLiteral("app.log");
    if (!installed)
        return name;
    // A relative state folder is no folder at all for the desktop's rules: the
    // default stands in for it.
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    const QString folder = state + QStringLiteral("/orimax-raschet");
    // Without the folder the log is lost, as it is for any log that cannot be
    // written; the program goes on either way.
    QDir().mkpath(folder);
    return folder + QLatin1Char('/') + name;
}

void App::initFont()
{
    QFont f = font();
    f.setFamily(QStringLiteral("MS Shell Dlg 2"));
    f.setPointSize(11);
    setFont(f);
}

void App::initAppInfo()
{
    setOrganizationName(QStringLiteral("Оримакстех"));
    setApplicationName(QStringLiteral("Оримакс-расчёт"));
    geh::ErrorHandler::instance()->setLogFileName(logFileName(kInstalledBuild));
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.png")));
}
