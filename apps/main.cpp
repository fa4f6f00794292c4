// Sigillo, the desktop program: Italian texts and standard buttons, the configuration file, one copy
// per base directory, the templates of a first start, then the main window and the data module.

#include "ground/config.h"
#include "ground/instancelock.h"
#include "app/mainw.h"
#include "ground/messages.h"
#include "ground/state.h"
#include "data/catalogue.h"
#include "data/engine/engineerror.h"
#include "data/tdm.h"
#include "registries/scegli_comunew.h"
#include "ui/application.h"
#include "ui/messageboxpresenter.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

int main(int argc, char *argv[])
{
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    Application app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Sigillo"));
    QCoreApplication::setApplicationVersion(QStringLiteral("4.02.2021"));

    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTranslator);

    MessageBoxPresenter presenter;
    Messages::setPresenter(&presenter);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Sigillo - gestione parco macchine"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption configOption(QStringLiteral("config"),
                                          QStringLiteral("File di configurazione da usare al posto di quello del programma."),
                                          QStringLiteral("file"));
    parser.addOption(configOption);
    parser.process(app);
    config::setFilePath(parser.isSet(configOption) ? QFileInfo(parser.value(configOption)).absoluteFilePath()
                                                   : config::defaultFilePath());

    // DirBase decides the lock and the templates; the main window reads the file again when it is made.
    AppState &state = appState();
    config::read(state);

    // A base directory that does not exist yet is made here, as the templates of a first start would
    // make it, so that the lock is held before anything is written there.
    QDir().mkpath(state.DirBase);
    InstanceLock lock(state.DirBase);
    if (!lock.tryLock()) {
        Messages::error(lock.errorMessage());
        return 1;
    }

    try {
        catalogue::ensureTemplates(state);
    } catch (const engine::EngineError &error) {
        Messages::error(error.message());
        return 1;
    }

    // The main window comes first: it completes the configuration file the data module relies on.
    TMainForm mainForm;
    // The older municipality list may be copied while the data module opens; a name it holds twice is
    // the user's choice.
    MunicipalityChoice municipalityChoice;
    Tdm::municipalityChooser = &municipalityChoice;
    std::unique_ptr<Tdm> dataModule;
    try {
        dataModule = std::make_unique<Tdm>();
    } catch (const engine::EngineError &error) {
        Messages::error(error.message());
        return 1;
    }
    mainForm.show();
    const int result = QApplication::exec();
    dataModule.reset();
    return result;
}
