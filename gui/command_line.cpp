#include "command_line.h"

#include "guard.h"
#include "soranika_config.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <cstdlib>

namespace soranika {

namespace {

const QString kProgram = QStringLiteral("soranika");

QString Version() {
    return QStringLiteral("%1.%2.%3")
        .arg(SORANIKA_VERSION_MAJOR)
        .arg(SORANIKA_VERSION_MINOR)
        .arg(SORANIKA_VERSION_REVISION);
}

// The line printed when the toolkit cannot reach a display.
QByteArray NoDisplayLine() {
    const QByteArray x11 = qgetenv("DISPLAY");
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    if (x11.isEmpty() && wayland.isEmpty()) {
        return "soranika: no display to open the window on (DISPLAY is not set); "
               "start it from a desktop session\n";
    }
    return "soranika: cannot open the window on the display \"" + (x11.isEmpty() ? wayland : x11) +
           "\"\n";
}

// While the toolkit starts, its messages are held back: a start that fails
// prints one line of ours instead of the toolkit's warnings and its
// abort, and a start that succeeds passes them on unchanged.
struct HeldMessage {
    QtMsgType type;
    QByteArray file;
    int line;
    QByteArray function;
    QByteArray category;
    QString text;
};
QList<HeldMessage>* heldMessages = nullptr;

void HoldMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        // The toolkit ends the program when no platform plugin could
        // connect to a display; that is a user's situation, not a crash.
        // No destructor may run on the half-made application.
        std::fputs(NoDisplayLine().constData(), stderr);
        std::fflush(stderr);
        std::_Exit(1);
    }
    heldMessages->append(
        {type, context.file, context.line, context.function, context.category, text});
}

} // namespace

CommandLineAnswer ReadCommandLine(const QStringList& arguments, UnknownOptions unknown) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        ApplicationTitle() + QStringLiteral(": a pay calculator for young part-time workers."));
    // "-reverse" is one option of the toolkit's, not -r -e -v ...
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    parser.addOption(help);
    parser.addOption(version);
    const bool parsed = parser.parse(arguments);

    CommandLineAnswer answer;
    if (parser.isSet(help)) {
        answer.exit = true;
        // The usage names the program as it is installed, not by the path
        // it was started from.
        const QString text = parser.helpText();
        answer.output = QStringLiteral("Usage: soranika [options]") + text.mid(text.indexOf(u'\n'));
    } else if (parser.isSet(version)) {
        answer.exit = true;
        answer.output = kProgram + u' ' + Version() + u'\n';
    } else if (!parsed && unknown == UnknownOptions::Reject) {
        answer.exit = true;
        answer.status = 1;
        QString error = parser.errorText();
        if (error.endsWith(u'.')) {
            error.chop(1);
        }
        answer.error =
            kProgram + QStringLiteral(": ") + error + QStringLiteral("; see soranika --help\n");
    }
    return answer;
}

QStringList ArgumentList(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    return arguments;
}

void Print(const CommandLineAnswer& answer) {
    std::fputs(answer.output.toLocal8Bit().constData(), stdout);
    std::fputs(answer.error.toLocal8Bit().constData(), stderr);
    std::fflush(stdout);
}

// Only the platform plugin knows whether it can reach a display, and the
// toolkit gives no way to ask it first: when no plugin connects, it logs a
// fatal message and aborts. Guessing beforehand from DISPLAY and
// WAYLAND_DISPLAY would miss a display that is named but unreachable, a
// plugin chosen with -platform or QT_QPA_PLATFORM, and the toolkit's own
// fallbacks. So the plugin tries, as always, and a fatal message while the
// application is being made becomes our one line and status 1.
std::unique_ptr<QApplication> StartApplication(int& argc, char* argv[]) {
    QList<HeldMessage> held;
    heldMessages = &held;
    const QtMessageHandler previous = qInstallMessageHandler(HoldMessage);
    auto app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previous);
    heldMessages = nullptr;
    const auto text = [](const QByteArray& b) { return b.isNull() ? nullptr : b.constData(); };
    for (const HeldMessage& m : held) {
        const QMessageLogContext context(text(m.file), m.line, text(m.function), text(m.category));
        previous(m.type, context, m.text);
    }
    return app;
}

} // namespace soranika
