#include "about_window.h"

#include "design_font.h"
#include "guard.h"
#include "runtime.h"
#include "soranika_config.h"
#include "sysinfo.h"
#include "twips.h"
#include "wrap_label.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

namespace soranika {

namespace {

// The application's version record.
constexpr std::int16_t kVersionMajor = SORANIKA_VERSION_MAJOR;
constexpr std::int16_t kVersionMinor = SORANIKA_VERSION_MINOR;
constexpr std::int16_t kVersionRevision = SORANIKA_VERSION_REVISION;

// The face of a light dialog, on which the etched separator's white and
// grey lines show.
const QColor kDialogFace(0xF0, 0xF0, 0xF0);

Registry* registryInUse = nullptr;
const FileTest* filesInUse = nullptr;
Launcher* launcherInUse = nullptr;

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// One of the two lines of the etched separator, drawn from (x1, y) to
// (x2, y) in twips with the given colour and width in pixels.
class SeparatorLine : public QWidget {
public:
    SeparatorLine(int index, int x1, int x2, int y, QColor colour, int width, QWidget* parent)
        : QWidget(parent), colour_(colour) {
        setObjectName(QStringLiteral("Line1"));
        setProperty("index", index);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setGeometry(Twips(x1), Twips(y), Twips(x2) - Twips(x1), width);
    }
    QColor Colour() const { return colour_; }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), colour_); }

private:
    QColor colour_;
};

} // namespace

QString AboutWindow::ContactAddress() {
    return QStringLiteral(SORANIKA_CONTACT);
}

QString AboutWindow::DescriptionText() {
    return QStringLiteral("本ソフトを使用することで発生した") + QString(22, QChar(u' ')) +
           QStringLiteral("いかなる損害についても、\r\nソフト制作者は一切責任を負いません。");
}

QString AboutWindow::DisclaimerText() {
    return QStringLiteral("バグ報告などは、") + ContactAddress() +
           QStringLiteral("までお願いいたします。\r\nバグなどはどのような操作で生じたものかを") +
           QString(8, QChar(u' ')) + QStringLiteral("添えていただくとうれしいです。\r\n\r\n");
}

void AboutWindow::UseSystem(Registry* registry, const FileTest* files, Launcher* launcher) {
    registryInUse = registry;
    filesInUse = files;
    launcherInUse = launcher;
}

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setModal(false);
    setSizeGripEnabled(false);
    // The client area's top-left corner at a fixed place on the screen.
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QPoint origin = screen ? screen->geometry().topLeft() : QPoint();
    setGeometry(QRect(origin + TwipsPoint(2340, 1935), TwipsSize(5730, 3555)));
    setFixedSize(TwipsSize(5730, 3555));
    setFont(DesignFont());
    // The disclaimer and the request for reports are black, so the window
    // stays light whatever the desktop's palette: a palette of its own,
    // derived from the light grey of a dialog face, black text on it.
    QPalette light(kDialogFace);
    light.setColor(QPalette::WindowText, Qt::black);
    setPalette(light);

    const auto label = [this](const char* name, QRect geometry, QFont font) {
        auto* l = new WrapLabel(name, QString(), geometry, this);
        l->setFont(font);
        return l;
    };
    auto* title = label("lblTitle", TwipsRect(1065, 210, 4425, 480), DesignFont(18, true));
    auto* version = label("lblVersion", TwipsRect(1050, 780, 3885, 225), DesignFont(11.25, true));
    version->setAlignment(Qt::AlignRight | Qt::AlignTop);
    auto* description = label("lblDescription", TwipsRect(1050, 1125, 3885, 1170), DesignFont(9));
    description->setText(DescriptionText());
    new SeparatorLine(0, 105, 5654, 2460, Qt::white, 2, this);
    new SeparatorLine(1, 90, 5654, 2445, QColor(0x80, 0x80, 0x80), 1, this);
    auto* disclaimer = label("lblDisclaimer", TwipsRect(255, 2625, 3870, 825), DesignFont(9));
    disclaimer->setText(DisclaimerText());

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setGeometry(TwipsRect(4245, 2625, 1380, 345));
    ok->setDefault(true);
    ok->setAutoDefault(true);
    auto* sysInfo = new QPushButton(QStringLiteral("ｼｽﾃﾑ情報(&S)..."), this);
    sysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    sysInfo->setGeometry(TwipsRect(4260, 3075, 1380, 345));
    // Enter presses the button that has the focus; OK is the default again
    // once the focus leaves ｼｽﾃﾑ情報.
    sysInfo->setAutoDefault(true);
    setTabOrder(ok, sysInfo);

    // OK and Esc end the dialog, which unloads it (it is deleted on close).
    connect(ok, &QPushButton::clicked, this, &QDialog::reject);
    connect(sysInfo, &QPushButton::clicked, this,
            [this] { Guarded(this, [this] { StartSysInfo(); }); });

    // Load: the caption, the version and the title.
    const QString product = ApplicationTitle();
    setWindowTitle(product + QStringLiteral("のﾊﾞｰｼﾞｮﾝ情報"));
    version->setText(QStringLiteral("ﾊﾞｰｼﾞｮﾝ ") + Text(IntegerToText(kVersionMajor)) + u'.' +
                     Text(IntegerToText(kVersionMinor)) + u'.' +
                     Text(IntegerToText(kVersionRevision)));
    title->setText(product);
    ok->setFocus();
}

void AboutWindow::StartSysInfo() {
    Registry& registry = registryInUse ? *registryInUse : SystemRegistry();
    const FileTest& files = filesInUse ? *filesInUse : SystemFileTest();
    Launcher& launcher = launcherInUse ? *launcherInUse : SystemLauncher();
    soranika::StartSysInfo(registry, files, launcher, [this](std::u16string_view message) {
        ShowMessage(this, QString::fromUtf16(message.data(), qsizetype(message.size())));
    });
}

} // namespace soranika
