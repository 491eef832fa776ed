#include "app/Startup.h"

#include "app/OneCopyMutex.h"
#include "core/AppInfo.h"
#include "core/storage/DataFolder.h"
#include "core/storage/Database.h"
#include "core/storage/DatabaseSchema.h"
#include "gui/common/KeyboardLayout.h"
#include "gui/common/MessageBox.h"
#include "gui/common/NiloApplication.h"
#include "gui/common/QtTranslations.h"
#include "gui/mainwindow/MainWindow.h"
#include "render/Fonts.h"

#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QTimer>
#include <memory>

int RunProgram(int argc, char** argv, const StartupHooks& hooks)
{
    // Taken before anything else, so a copy still starting up refuses a second one too.
    const OneCopyMutex oneCopy;
    if (oneCopy.heldByAnother()) {
        QApplication app(argc, argv);
        RegisterProgramFonts();
        ShowAppMessage(QStringLiteral("برنامه در حال اجراست"), MessageKind::Warning);
        return 0;
    }

    NiloApplication app(argc, argv);
    // The main window's pictures decode on worker threads while the database opens.
    PrepareMainWindowPictures();
    QCoreApplication::setApplicationName(ApplicationTitle());
    // Ties the windows to the installed desktop entry (its icon and name in the task bar).
    QGuiApplication::setDesktopFileName(QStringLiteral("NiloChequePrint"));
    QGuiApplication::setLayoutDirection(Qt::RightToLeft);
    InstallQtPersianTranslations(app);
    RegisterProgramFonts();

    // The data folder becomes the current folder: the database, the settings file and
    // everything the program writes live there.
    const QString startFolder = QDir::currentPath();
    const QString dataFolder = ChooseDataFolder();
    const QString databasePath = QDir(dataFolder).filePath(QString::fromLatin1(kDatabaseFileName));
    if (dataFolder != startFolder && QDir().mkpath(dataFolder)) {
        QDir::setCurrent(dataFolder);
        if (!QFileInfo::exists(databasePath) &&
            ShowAppMessage(QStringLiteral("بانك اطلاعات برنامه پيدا نشد.\n"
                                          "يك بانك اطلاعات خالي در اين پوشه ساخته شود؟\n") +
                               QDir::toNativeSeparators(databasePath),
                           MessageKind::Confirmation)) {
            const QString error = CreateDatabase(databasePath);
            if (!error.isEmpty()) {
                ShowAppMessage(error, MessageKind::Error);
                return 0;
            }
        }
    }

    // The settings file of the data folder can turn the keyboard switching off:
    // [Keyboard] FollowField=0.
    FollowFieldAsSet(app, QDir::currentPath(), RightToLeftKeyboardLayoutId());

    const auto mainDM = std::make_unique<Database>();
    if (!mainDM->isOpened()) {
        // The message's own words, then where the file was looked for.
        QString places = QDir::toNativeSeparators(
            QDir(startFolder).absoluteFilePath(QString::fromLatin1(kDatabaseFileName)));
        if (dataFolder != startFolder)
            places += u'\n' + QDir::toNativeSeparators(databasePath);
        ShowAppMessage(QStringLiteral("اشکال در ارتباط با بانک اطلاعات") + u'\n' + places,
                       MessageKind::Error);
        return 0;
    }

    const auto mainUI = std::make_unique<MainWindow>();
    // Sized to the screen first: without a window manager (a bare X server) a maximise
    // request does nothing, and the frame would open at its small default size.
    if (const QScreen* screen = mainUI->screen())
        mainUI->resize(screen->availableGeometry().size());
    mainUI->showMaximized();
    if (hooks.mainWindowShown)
        QTimer::singleShot(0, mainUI.get(), [&] { hooks.mainWindowShown(*mainUI); });
    QApplication::exec();
    return 0;
}
