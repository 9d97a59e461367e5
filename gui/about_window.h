// The About window: the title, the version, a disclaimer, and a button that
// starts the system-information tool.
#pragma once

#include <QDialog>

namespace soranika {

class Registry;
class FileTest;
class Launcher;

class AboutWindow : public QDialog {
    Q_OBJECT

public:
    explicit AboutWindow(QWidget* parent = nullptr);

    static QString DescriptionText();
    static QString DisclaimerText();
    static QString ContactAddress();

    // What cmdSysInfo uses of the operating system; the system's own unless
    // replaced (tests replace it). Passing null restores the system's.
    static void UseSystem(Registry* registry, const FileTest* files, Launcher* launcher);

private:
    void StartSysInfo();
};

} // namespace soranika
