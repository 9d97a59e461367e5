// A Qt generic plugin that the start-up benchmark loads into the program it
// measures, through QT_QPA_GENERIC_PLUGINS, so that the program itself stays
// exactly as shipped. It watches every event from outside the windows:
//
//   soranikaprobe:paint      when the first top-level QMainWindow has been
//                            painted and flushed, report and quit;
//   soranikaprobe:click=N    then also type a wage, 9, 17 and 5 into the main
//                            window and click 計算 N times, timing each click
//                            from the button's release to the end of the
//                            repaint of the results.
//
// The report goes to stdout, one "key values..." line each:
//   first-paint-ns  CLOCK_MONOTONIC when the first paint was flushed
//   cpu-ns          CPU time of the process (all threads) up to then
//   window-size     W H of the painted window, in logical pixels
//   platform        the Qt platform plugin in use
//   font            the application font's family and point size
//   peak-rss-kb     VmHWM of the process when it quits
//   click-ns        one value per click
//   click-cpu-ns    CPU time of the user-interface thread in each click
#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFont>
#include <QGenericPlugin>
#include <QLineEdit>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <vector>

namespace {

long long ClockNs(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return (long long)now.tv_sec * 1000000000LL + now.tv_nsec;
}

long long MonotonicNs() {
    return ClockNs(CLOCK_MONOTONIC);
}

long long PeakRssKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
        }
    }
    return -1;
}

class Probe : public QObject {
public:
    explicit Probe(int clicks) : clicks_(clicks) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() != QEvent::Paint || !object->isWidgetType()) {
            return false;
        }
        if (window_.isNull()) {
            auto* window = qobject_cast<QMainWindow*>(object);
            if (window != nullptr && window->isWindow()) {
                window_ = window;
                // Runs once the whole window has been painted and flushed:
                // the repaint is one synchronous pass.
                QMetaObject::invokeMethod(this, &Probe::FirstPaintDone, Qt::QueuedConnection);
            }
        } else if (waitingForResult_ && object->objectName() == QStringLiteral("日")) {
            waitingForResult_ = false;
            QMetaObject::invokeMethod(this, &Probe::ClickDone, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void FirstPaintDone() {
        std::printf("first-paint-ns %lld\n", MonotonicNs());
        std::printf("cpu-ns %lld\n", ClockNs(CLOCK_PROCESS_CPUTIME_ID));
        std::printf("window-size %d %d\n", window_->width(), window_->height());
        std::printf("platform %s\n", qPrintable(QGuiApplication::platformName()));
        const QFont font = QApplication::font();
        std::printf("font %s %g\n", qPrintable(QString(font.family()).remove(u' ')),
                    font.pointSizeF());
        if (clicks_ <= 0) {
            Finish();
            return;
        }
        const auto box = [this](const char* name) {
            return window_->findChild<QLineEdit*>(QString::fromUtf8(name));
        };
        wage_ = box("時給");
        button_ = window_->findChild<QAbstractButton*>(QStringLiteral("計算"));
        if (wage_ == nullptr || button_ == nullptr) {
            std::fprintf(stderr, "soranikaprobe: no 時給 box or 計算 button\n");
            Finish();
            return;
        }
        box("開始時間")->setText(QStringLiteral("9"));
        box("終了時間")->setText(QStringLiteral("17"));
        box("週")->setText(QStringLiteral("5"));
        QTimer::singleShot(kSettleMs, this, &Probe::Press);
    }

    void Press() {
        // A different wage each time, so the results change and repaint.
        wage_->setText(times_.size() % 2 == 0 ? QStringLiteral("700") : QStringLiteral("800"));
        SendMouse(QEvent::MouseButtonPress);
        // Let the typed text and the pressed button be painted first.
        QTimer::singleShot(kSettleMs, this, &Probe::Release);
    }

    void Release() {
        waitingForResult_ = true;
        clickStart_ = MonotonicNs();
        clickCpuStart_ = ClockNs(CLOCK_THREAD_CPUTIME_ID);
        SendMouse(QEvent::MouseButtonRelease);
    }

    void ClickDone() {
        times_.push_back(MonotonicNs() - clickStart_);
        cpuTimes_.push_back(ClockNs(CLOCK_THREAD_CPUTIME_ID) - clickCpuStart_);
        if (int(times_.size()) < clicks_) {
            QTimer::singleShot(kSettleMs, this, &Probe::Press);
            return;
        }
        std::printf("click-ns");
        for (long long t : times_) {
            std::printf(" %lld", t);
        }
        std::printf("\nclick-cpu-ns");
        for (long long t : cpuTimes_) {
            std::printf(" %lld", t);
        }
        std::printf("\n");
        Finish();
    }

    void SendMouse(QEvent::Type type) {
        const QPointF local = QRectF(button_->rect()).center();
        QMouseEvent event(type, local, button_->mapToGlobal(local), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(button_, &event);
    }

    void Finish() {
        std::printf("peak-rss-kb %lld\n", PeakRssKb());
        std::fflush(stdout);
        QCoreApplication::quit();
    }

    static constexpr int kSettleMs = 3;
    const int clicks_;
    QPointer<QMainWindow> window_;
    QPointer<QLineEdit> wage_;
    QPointer<QAbstractButton> button_;
    bool waitingForResult_ = false;
    long long clickStart_ = 0;
    long long clickCpuStart_ = 0;
    std::vector<long long> times_;
    std::vector<long long> cpuTimes_;
};

} // namespace

class ProbePlugin : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "probe.json")

public:
    QObject* create(const QString& key, const QString& options) override {
        if (key.compare(QStringLiteral("soranikaprobe"), Qt::CaseInsensitive) != 0) {
            return nullptr;
        }
        int clicks = 0;
        if (options.startsWith(QStringLiteral("click="))) {
            clicks = options.mid(6).toInt();
        }
        return new Probe(clicks);
    }
};

#include "probe.moc"
