// The program's command line and the start of the toolkit. --version and
// --help are answered before the toolkit looks for a display, so both work
// without one; the toolkit's own options (-platform, -style, -reverse, ...)
// are left to it.
#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QApplication;

namespace soranika {

// What the command line asks of the program before it opens its window.
struct CommandLineAnswer {
    bool exit = false; // end the program with `status`, without a window
    int status = 0;
    QString output; // for standard output
    QString error;  // for standard error, one line
};

enum class UnknownOptions {
    Ignore, // the toolkit has not taken its own options out yet
    Reject,
};

// Reads the arguments, the program's name first.
CommandLineAnswer ReadCommandLine(const QStringList& arguments, UnknownOptions unknown);

// The arguments as main() received them.
QStringList ArgumentList(int argc, char* argv[]);

// Writes the answer's texts to standard output and standard error.
void Print(const CommandLineAnswer& answer);

// Creates the application, which connects to the display. Where no display
// can be reached, prints one line and ends the program with status 1.
std::unique_ptr<QApplication> StartApplication(int& argc, char* argv[]);

} // namespace soranika
