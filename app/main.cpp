#include "application.h"
#include "command_line.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    using namespace soranika;
    // --version and --help first: they need no display.
    if (const CommandLineAnswer answer =
            ReadCommandLine(ArgumentList(argc, argv), UnknownOptions::Ignore);
        answer.exit) {
        Print(answer);
        return answer.status;
    }
    const std::unique_ptr<QApplication> app = StartApplication(argc, argv);
    // The toolkit has taken its own options out: whatever is left that
    // looks like an option is a mistake.
    if (const CommandLineAnswer answer =
            ReadCommandLine(QApplication::arguments(), UnknownOptions::Reject);
        answer.exit) {
        Print(answer);
        return answer.status;
    }
    return RunApplication(*app);
}
