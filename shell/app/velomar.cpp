#include "archive/Session.h"
#include "settings/AppState.h"
#include "common/ImageList.h"
#include "common/ui/QtDialogService.h"
#include "printing/PrinterSelection.h"
#include "printing/ui/QtPrinter.h"
#include "settings/Settings.h"
#include "common/AppContext.h"
#include "shell/ui/frmMAIN.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("QZ"));
    QApplication::setApplicationName(QStringLiteral("Velomar"));
    QApplication::setApplicationVersion(QStringLiteral(VELOMAR_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("velomar"));
    QApplication::setWindowIcon(velomar::common::ImageList::programIcon());
    // The whole interface is Italian, whatever the machine's locale.
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    // Qt's own texts (file dialog columns, context menus) in Italian too.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    // Program-wide objects, alive for the whole run.
    velomar::settings::AppState state;
    velomar::common::ui::QtDialogService dialogs;
    velomar::settings::Settings settings;
    velomar::archive::Session session;
    velomar::printing::PrinterSelection printers;
    printers.addProvider(std::make_unique<velomar::printing::QtPrinterProvider>());
    printers.addProvider(std::make_unique<velomar::printing::PdfPrinterProvider>());
    velomar::common::AppContext context{state, dialogs, settings, session, printers};

    velomar::shell::ui::frmMAIN main(context);
    if (!main.load())
        return 1;
    dialogs.setOwner(&main);
    main.show();
    return app.exec();
}
