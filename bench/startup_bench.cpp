// The start-up benchmark: starts ソラニカ and a bare Qt program that shows an
// empty QMainWindow of the same size, in turn, many times; each quits once
// its window has been painted for the first time. Prints the median time
// from the start of the process to that first paint, the peak resident
// memory of each and their ratios, then the time from a click of 計算 to the
// repaint of the results.
//
//   soranika-startup-bench [--runs N] [--clicks N] [--program PATH]
//
// The first paint is seen by the probe plugin (probe.cpp), loaded into both
// programs alike; the programs are not changed for the measurement. The
// platform is whatever QT_QPA_PLATFORM says (bench/run.sh runs offscreen and
// under Xvfb). Plain C++ without Qt, so that the runner stays small.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <csignal>
#include <ctime>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr int kTimeoutSeconds = 60;

long long MonotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (long long)now.tv_sec * 1000000000LL + now.tv_nsec;
}

struct Run {
    double startupMs = 0;
    long long peakKb = 0;
    int width = 0;
    int height = 0;
    std::vector<long long> clickNs;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The environment of the child: ours, with the probe plugin added.
std::vector<std::string> ChildEnvironment(const std::string& probeDir, const std::string& spec) {
    std::vector<std::string> env;
    std::string pluginPath = probeDir;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        if (entry.rfind("QT_PLUGIN_PATH=", 0) == 0) {
            pluginPath.append(1, ':').append(entry, 15);
        } else if (entry.rfind("QT_QPA_GENERIC_PLUGINS=", 0) != 0) {
            env.push_back(entry);
        }
    }
    env.push_back("QT_PLUGIN_PATH=" + pluginPath);
    env.push_back("QT_QPA_GENERIC_PLUGINS=soranikaprobe:" + spec);
    return env;
}

// Starts the program, waits for it to end and reads the probe's report.
// Exits the benchmark when the program fails.
Run Measure(const std::vector<std::string>& command, const std::string& probeDir,
            const std::string& spec) {
    char outPath[] = "/tmp/soranika-bench-out-XXXXXX";
    char errPath[] = "/tmp/soranika-bench-err-XXXXXX";
    const int outFd = mkstemp(outPath);
    const int errFd = mkstemp(errPath);
    if (outFd < 0 || errFd < 0) {
        std::perror("mkstemp");
        std::exit(1);
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outFd, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errFd, STDERR_FILENO);

    const std::vector<std::string> env = ChildEnvironment(probeDir, spec);
    std::vector<char*> envp;
    for (const std::string& e : env) {
        envp.push_back(const_cast<char*>(e.c_str()));
    }
    envp.push_back(nullptr);
    std::vector<char*> argv;
    for (const std::string& a : command) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);

    pid_t pid = 0;
    const long long start = MonotonicNs();
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(outFd);
    close(errFd);
    if (spawned != 0) {
        std::fprintf(stderr, "cannot start %s: %s\n", argv[0], std::strerror(spawned));
        std::exit(1);
    }

    // A program that never paints is ended after a while.
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    std::thread watchdog([&] {
        std::unique_lock lock(mutex);
        if (!ended.wait_for(lock, std::chrono::seconds(kTimeoutSeconds), [&] { return done; })) {
            kill(pid, SIGKILL);
        }
    });
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    {
        std::lock_guard lock(mutex);
        done = true;
    }
    ended.notify_one();
    watchdog.join();

    const std::string out = ReadFile(outPath);
    const std::string err = ReadFile(errPath);
    unlink(outPath);
    unlink(errPath);

    Run run;
    long long paintNs = 0;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string key;
        fields >> key;
        if (key == "first-paint-ns") {
            fields >> paintNs;
        } else if (key == "window-size") {
            fields >> run.width >> run.height;
        } else if (key == "peak-rss-kb") {
            fields >> run.peakKb;
        } else if (key == "click-ns") {
            for (long long t = 0; fields >> t;) {
                run.clickNs.push_back(t);
            }
        }
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || paintNs == 0 || run.peakKb <= 0) {
        std::fprintf(stderr, "%s did not report a first paint (status %d)\n%s%s", argv[0], status,
                     out.c_str(), err.c_str());
        std::exit(1);
    }
    run.startupMs = double(paintNs - start) / 1e6;
    return run;
}

template <typename T> double Median(std::vector<T> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? double(values[n / 2]) : (double(values[n / 2 - 1]) + values[n / 2]) / 2;
}

template <typename T> double Quantile(std::vector<T> values, double q) {
    std::sort(values.begin(), values.end());
    return double(values[size_t(q * double(values.size() - 1) + 0.5)]);
}

struct Series {
    std::vector<double> ms;
    std::vector<long long> kb;
    void Add(const Run& run) {
        ms.push_back(run.startupMs);
        kb.push_back(run.peakKb);
    }
};

void PrintRow(const char* name, const Series& s) {
    std::printf("  %-18s %8.1f ms %8.1f ms %8.1f ms %9.1f MiB\n", name, Median(s.ms),
                *std::min_element(s.ms.begin(), s.ms.end()), Quantile(s.ms, 0.9),
                Median(s.kb) / 1024.0);
}

const char* Verdict(bool met) {
    return met ? "met" : "NOT met";
}

void Usage() {
    std::fprintf(stderr,
                 "usage: soranika-startup-bench [--runs N] [--clicks N] [--program PATH]\n");
    std::exit(2);
}

} // namespace

int main(int argc, char* argv[]) {
    int runs = 41;
    int clicks = 300;
    std::string program = SORANIKA_PROGRAM;
    const std::string bare = SORANIKA_BARE_PROGRAM;
    const std::string probeDir = SORANIKA_PROBE_DIR;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) {
            Usage();
        }
        if (arg == "--runs") {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--clicks") {
            clicks = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--program") {
            program = argv[++i];
        } else {
            Usage();
        }
    }
    const char* platform = std::getenv("QT_QPA_PLATFORM");

    // The size of the main window, for the bare program; then a few runs of
    // each to warm the page cache and the font caches.
    const Run first = Measure({program}, probeDir, "paint");
    const std::string width = std::to_string(first.width);
    const std::string height = std::to_string(first.height);
    const std::vector<std::string> bareCommand{bare, width, height};
    for (int i = 0; i < 3; ++i) {
        Measure({program}, probeDir, "paint");
        Measure(bareCommand, probeDir, "paint");
    }

    // In turn, so that anything else on the machine weighs on both alike.
    Series real;
    Series yardstick;
    for (int i = 0; i < runs; ++i) {
        real.Add(Measure({program}, probeDir, "paint"));
        yardstick.Add(Measure(bareCommand, probeDir, "paint"));
    }
    const Run clicked = Measure({program}, probeDir, "click=" + std::to_string(clicks));

    const double timeRatio = Median(real.ms) / Median(yardstick.ms);
    const double memoryRatio = Median(real.kb) / Median(yardstick.kb);
    const double clickMs = Median(clicked.clickNs) / 1e6;
    std::printf("Start-up to first paint, %d runs each, QT_QPA_PLATFORM=%s, window %dx%d\n", runs,
                platform != nullptr ? platform : "(default)", first.width, first.height);
    std::printf("  %-18s %11s %11s %11s %13s\n", "", "median", "min", "p90", "peak RSS");
    PrintRow(program.c_str() + program.rfind('/') + 1, real);
    PrintRow("bare QMainWindow", yardstick);
    std::printf("  ratio: time %.3f (target 1.15, %s), memory %.3f (target 1.10, %s)\n", timeRatio,
                Verdict(timeRatio <= 1.15), memoryRatio, Verdict(memoryRatio <= 1.10));
    std::printf("Click of 計算 to the repaint of the results, %zu clicks:\n",
                clicked.clickNs.size());
    std::printf("  median %.3f ms, p90 %.3f ms, max %.3f ms (target 1 ms, %s)\n", clickMs,
                Quantile(clicked.clickNs, 0.9) / 1e6,
                double(*std::max_element(clicked.clickNs.begin(), clicked.clickNs.end())) / 1e6,
                Verdict(clickMs < 1.0));
    return 0;
}
