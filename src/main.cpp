#include "cli/commands.h"
#include "platform/qt_ui.h"
#include "platform/ui.h"
#include "platform/settings_store.h"
#include "window/icons.h"
#include "window/main_window.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <optional>

namespace {

using namespace Qt::StringLiterals;

struct CommandLine
{
    QString file;                  // empty: start with the default table
    std::optional<int> exitStatus; // set: end here, the answer printed
};

// Reads the command line, `mr640config [FILE]` or `mr640config COMMAND ...`. A command,
// help, the version and a wrong command line are answered on the terminal before any
// window system is needed, so they work without a display; Qt's own window-system options
// are therefore not taken here (its environment variables are).
CommandLine ReadCommandLine(int argc, char* argv[])
{
    // A plain start, as from the desktop's menu, has nothing to answer on the terminal.
    if (argc < 2)
        return {};
    // A command that sets text needs Qt Gui's fonts, still without a display.
    const mr640::Command* named = mr640::FindCommand(QString::fromLocal8Bit(argv[1]));
    std::unique_ptr<QCoreApplication> terminal;
    if (named && named->paints) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // Qt Gui's notes on its set-up (a missing XDG_RUNTIME_DIR) are not the command's
        // output, which scripts read line by line.
        QLoggingCategory::setFilterRules(u"default.warning=false"_s);
        terminal = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        terminal = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCommandLineParser parser;
    const QCommandLineOption help({u"h"_s, u"help"_s}, u"Displays this help."_s);
    parser.addOption(help);
    parser.addVersionOption();
    parser.addPositionalArgument(u"FILE"_s, u"A .dip or .csv site file to open."_s, u"[FILE]"_s);
    // What follows a command's name is the command's own, parsed by the command.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    if (!parser.parse(terminal->arguments()))
        return {{}, mr640::UsageError({}, parser.errorText())};
    const QStringList positional = parser.positionalArguments();
    if (const mr640::Command* command = mr640::FindCommand(positional.value(0)))
        return {{}, command->run(positional)};
    // A first argument that is neither a command nor a site file is a command mistyped.
    const QString first = positional.value(0);
    if (!first.isEmpty() && !mr640::EndsInOneOf(first, {u"dip"_s, u"csv"_s}) && !QFileInfo::exists(first))
        return {{}, mr640::UsageError({}, mr640::UnknownCommand(first))};
    if (positional.size() > 1)
        return {{}, mr640::UsageError({}, u"Too many arguments."_s)};
    if (parser.isSet(help)) {
        std::fputs(qPrintable(mr640::CommandLineHelp()), stdout);
        return {{}, EXIT_SUCCESS};
    }
    if (parser.isSet(u"version"_s)) {
        std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()), MR640_VERSION);
        return {{}, EXIT_SUCCESS};
    }
    return {positional.value(0), std::nullopt};
}

} // namespace

int main(int argc, char* argv[])
{
    // The program's own name, before any window exists: the window class, the desktop and
    // screen readers take it from here, and the settings store lives under it.
    QApplication::setApplicationName(QStringLiteral("MR640Config"));
    QApplication::setOrganizationName(QStringLiteral("MR640Config"));
    QApplication::setDesktopFileName(QStringLiteral("mr640config"));
    QApplication::setApplicationVersion(QString::fromLatin1(MR640_VERSION));
    const CommandLine commandLine = ReadCommandLine(argc, argv);
    if (commandLine.exitStatus)
        return *commandLine.exitStatus;

    QApplication app(argc, argv);
    QApplication::setStyle(mr640::StyleWithDeferredBarIcons());
    mr640::QtUi ui;
    mr640::SettingsStore settings;
    mr640::FrmDips window(ui, settings);
    ui.SetParent(&window);
    window.show();
    // Once the window is on screen, so its questions come up over it.
    QTimer::singleShot(0, &window, [&window, &commandLine] {
        window.OfferRecovery();
        if (!commandLine.file.isEmpty())
            window.OpenSiteFile(commandLine.file);
    });
    return app.exec();
}
