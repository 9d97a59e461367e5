// The start-up benchmark: starts ソラニカ, a bare Qt program that shows an
// empty QMainWindow of the same size, and the floor, in turn, many times;
// each quits once its window has been painted for the first time. The floor
// is the bare program with ソラニカ's menu bar of two Japanese commands, the
// 9-pt IPAPGothic application font and one line of Japanese text: what any
// Qt program with such a window costs before it does anything of its own.
// Prints the median time from the start of the process to that first paint
// with its spread, the CPU time and the peak resident memory of each, the
// instructions each runs up to its first paint (callgrind, once each), their
// ratios to the floor, then the time from a click of 計算 to the repaint of
// the results.
//
//   soranika-startup-bench [--runs N] [--clicks N] [--no-callgrind]
//                          [--program PATH]
//
//   --no-callgrind  leaves out the instruction counts (valgrind is slow).
//
// The first paint is seen by the probe plugin (probe.cpp), loaded into every
// program alike; the programs are not changed for the measurement. The
// platform is whatever QT_QPA_PLATFORM says (scripts/bench.sh runs offscreen
// and under Xvfb); the runner checks that every program used the same one and
// painted a window of the same size. Plain C++ without Qt, so that the runner
// stays small.
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
#include <utility>
#include <vector>

#include <csignal>
#include <ctime>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr int kTimeoutSeconds = 60;
constexpr int kCallgrindTimeoutSeconds = 600;
constexpr int kWarmUpRuns = 3;
// ソラニカ against the floor.
constexpr double kTimeTarget = 1.08;
constexpr double kMemoryTarget = 1.05;
constexpr double kInstructionTarget = 1.05;
constexpr double kClickTargetMs = 1.0;

long long MonotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (long long)now.tv_sec * 1000000000LL + now.tv_nsec;
}

struct Run {
    double startupMs = 0;
    double cpuMs = 0;
    long long peakKb = 0;
    int width = 0;
    int height = 0;
    std::string platform;
    std::string font;
    std::vector<long long> clickNs;
    std::vector<long long> clickCpuNs;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The environment of the child: ours, with the probe plugin added.
std::vector<std::string> ChildEnvironment(const std::string& probeDir, const std::string& options) {
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
    env.push_back("QT_QPA_GENERIC_PLUGINS=soranikaprobe:" + options);
    return env;
}

// Starts the program, waits for it to end and reads the probe's report.
// Exits the benchmark when the program fails.
Run Measure(const std::vector<std::string>& command, const std::string& probeDir,
            const std::string& options, int timeoutSeconds = kTimeoutSeconds) {
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

    const std::vector<std::string> env = ChildEnvironment(probeDir, options);
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
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(outFd);
    close(errFd);
    if (spawned != 0) {
        std::fprintf(stderr, "cannot start %s: %s\n", argv[0], std::strerror(spawned));
        unlink(outPath);
        unlink(errPath);
        std::exit(1);
    }

    // A program that never paints is ended after a while.
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    std::thread watchdog([&] {
        std::unique_lock lock(mutex);
        if (!ended.wait_for(lock, std::chrono::seconds(timeoutSeconds), [&] { return done; })) {
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
        } else if (key == "cpu-ns") {
            long long cpuNs = 0;
            fields >> cpuNs;
            run.cpuMs = double(cpuNs) / 1e6;
        } else if (key == "window-size") {
            fields >> run.width >> run.height;
        } else if (key == "platform") {
            fields >> run.platform;
        } else if (key == "font") {
            std::getline(fields >> std::ws, run.font);
        } else if (key == "peak-rss-kb") {
            fields >> run.peakKb;
        } else if (key == "click-ns") {
            for (long long t = 0; fields >> t;) {
                run.clickNs.push_back(t);
            }
        } else if (key == "click-cpu-ns") {
            for (long long t = 0; fields >> t;) {
                run.clickCpuNs.push_back(t);
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

// The instructions the program runs from its start until its first paint
// has been flushed, counted by callgrind: the probe's report of the paint
// ends the first part of the profile.
long long CountInstructions(const std::vector<std::string>& command, const std::string& probeDir) {
    char dir[] = "/tmp/soranika-bench-cg-XXXXXX";
    if (mkdtemp(dir) == nullptr) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    const std::string out = std::string(dir) + "/callgrind.out";
    std::vector<std::string> valgrind{"valgrind", "--tool=callgrind",
                                      "--dump-before=*Probe::FirstPaintDone*",
                                      "--callgrind-out-file=" + out};
    valgrind.insert(valgrind.end(), command.begin(), command.end());
    Measure(valgrind, probeDir, "paint", kCallgrindTimeoutSeconds);
    long long instructions = -1;
    std::istringstream lines(ReadFile(out + ".1"));
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("summary:", 0) == 0) {
            instructions = std::atoll(line.c_str() + 8);
        }
    }
    unlink((out + ".1").c_str());
    unlink(out.c_str());
    rmdir(dir);
    if (instructions <= 0) {
        std::fprintf(stderr, "callgrind counted no instructions up to the first paint of %s\n",
                     command[0].c_str());
        std::exit(1);
    }
    return instructions;
}

// The value below which a share q of the values lie (nearest rank).
template <typename T> double Quantile(std::vector<T> values, double q) {
    std::sort(values.begin(), values.end());
    const double rank = q * double(values.size() - 1);
    const auto below = size_t(rank);
    const double above = double(values[std::min(below + 1, values.size() - 1)]);
    return double(values[below]) + (rank - double(below)) * (above - double(values[below]));
}

template <typename T> double Median(const std::vector<T>& values) {
    return Quantile(values, 0.5);
}

struct Program {
    Program(std::string n, std::vector<std::string> c)
        : name(std::move(n)), command(std::move(c)) {}
    std::string name;
    std::vector<std::string> command;
    std::vector<double> ms;
    std::vector<double> cpuMs;
    std::vector<long long> kb;
    long long instructions = 0;
    std::string font;
};

void PrintRow(const Program& p, const Program& floor) {
    const auto [minMs, maxMs] = std::minmax_element(p.ms.begin(), p.ms.end());
    const auto [minKb, maxKb] = std::minmax_element(p.kb.begin(), p.kb.end());
    std::printf(
        "  %-16s %6.1f %6.1f %6.1f %6.1f %6.1f %6.3f | %6.1f %6.3f | %5.1f %4.1f-%-4.1f %6.3f",
        p.name.c_str(), Median(p.ms), *minMs, Quantile(p.ms, 0.1), Quantile(p.ms, 0.9), *maxMs,
        Median(p.ms) / Median(floor.ms), Median(p.cpuMs), Median(p.cpuMs) / Median(floor.cpuMs),
        Median(p.kb) / 1024.0, double(*minKb) / 1024.0, double(*maxKb) / 1024.0,
        Median(p.kb) / Median(floor.kb));
    if (p.instructions > 0 && floor.instructions > 0) {
        std::printf(" | %6.1f %6.3f", double(p.instructions) / 1e6,
                    double(p.instructions) / double(floor.instructions));
    }
    std::printf("\n");
}

const char* Verdict(bool met) {
    return met ? "met" : "NOT met";
}

[[noreturn]] void Usage() {
    std::fprintf(stderr, "usage: soranika-startup-bench [--runs N] [--clicks N] [--no-callgrind] "
                         "[--program PATH]\n");
    std::exit(2);
}

int PositiveArgument(int argc, char* argv[], int& i) {
    if (i + 1 >= argc) {
        Usage();
    }
    const int value = std::atoi(argv[++i]);
    if (value < 1) {
        Usage();
    }
    return value;
}

} // namespace

int main(int argc, char* argv[]) {
    int runs = 50;
    int clicks = 300;
    bool callgrind = true;
    std::string program = SORANIKA_PROGRAM;
    const std::string bare = SORANIKA_BARE_PROGRAM;
    const std::string probeDir = SORANIKA_PROBE_DIR;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs") {
            runs = PositiveArgument(argc, argv, i);
        } else if (arg == "--clicks") {
            clicks = PositiveArgument(argc, argv, i);
        } else if (arg == "--no-callgrind") {
            callgrind = false;
        } else if (arg == "--program" && i + 1 < argc) {
            program = argv[++i];
        } else {
            Usage();
        }
    }

    // The size of the main window, for the bare program and the floor.
    const Run first = Measure({program}, probeDir, "paint");
    const std::string width = std::to_string(first.width);
    const std::string height = std::to_string(first.height);
    std::vector<Program> programs{
        Program("soranika", {program}),
        Program("floor", {bare, width, height, "menu", "text"}),
        Program("bare QMainWindow", {bare, width, height}),
    };

    // A few runs of each to warm the page cache and the font caches, and to
    // check that the comparison is fair.
    for (Program& p : programs) {
        for (int i = 0; i < kWarmUpRuns; ++i) {
            const Run run = Measure(p.command, probeDir, "paint");
            if (run.platform != first.platform || run.width != first.width ||
                run.height != first.height) {
                std::fprintf(stderr, "%s painted %dx%d on %s; soranika painted %dx%d on %s\n",
                             p.name.c_str(), run.width, run.height, run.platform.c_str(),
                             first.width, first.height, first.platform.c_str());
                return 1;
            }
            p.font = run.font;
        }
    }

    // Round after round, each program once, starting with a different one
    // each round, so that anything else on the machine and the order itself
    // weigh on all alike.
    for (int round = 0; round < runs; ++round) {
        for (size_t k = 0; k < programs.size(); ++k) {
            Program& p = programs[(size_t(round) + k) % programs.size()];
            const Run run = Measure(p.command, probeDir, "paint");
            p.ms.push_back(run.startupMs);
            p.cpuMs.push_back(run.cpuMs);
            p.kb.push_back(run.peakKb);
        }
    }
    const Run clicked = Measure({program}, probeDir, "click=" + std::to_string(clicks));
    if (callgrind) {
        for (Program& p : programs) {
            p.instructions = CountInstructions(p.command, probeDir);
        }
    }

    const Program& real = programs[0];
    const Program& floorProgram = programs[1];
    const double timeRatio = Median(real.ms) / Median(floorProgram.ms);
    const double memoryRatio = Median(real.kb) / Median(floorProgram.kb);
    std::printf("Start-up to first paint: %d runs each, platform %s, window %dx%d, %s build\n",
                runs, first.platform.c_str(), first.width, first.height, SORANIKA_BUILD_TYPE);
    std::printf("  %-16s %-41s | %-13s | %-23s%s\n", "", "wall time to first paint, ms",
                "CPU time, ms", "peak RSS, MiB", callgrind ? " | instructions, M" : "");
    std::printf("  %-16s %6s %6s %6s %6s %6s %6s | %6s %6s | %5s %9s %6s%s\n", "", "median", "min",
                "p10", "p90", "max", "ratio", "median", "ratio", "med", "min-max", "ratio",
                callgrind ? " |  count  ratio" : "");
    for (const Program& p : programs) {
        PrintRow(p, floorProgram);
    }
    std::printf("  soranika / floor: time %.3f (target %.2f, %s), memory %.3f (target %.2f, %s)",
                timeRatio, kTimeTarget, Verdict(timeRatio <= kTimeTarget), memoryRatio,
                kMemoryTarget, Verdict(memoryRatio <= kMemoryTarget));
    if (callgrind) {
        const double ratio = double(real.instructions) / double(floorProgram.instructions);
        std::printf(", instructions %.3f (target %.2f, %s)", ratio, kInstructionTarget,
                    Verdict(ratio <= kInstructionTarget));
    }
    std::printf("\n");
    std::printf("  application font:");
    for (size_t i = 0; i < programs.size(); ++i) {
        std::printf("%s %s: %s", i == 0 ? "" : ",", programs[i].name.c_str(),
                    programs[i].font.c_str());
    }
    std::printf("\n");

    const std::vector<long long>& t = clicked.clickNs;
    const std::vector<long long>& cpu = clicked.clickCpuNs;
    if (t.empty() || cpu.size() != t.size()) {
        std::fprintf(stderr, "no click was timed\n");
        return 1;
    }
    const double p95 = Quantile(t, 0.95) / 1e6;
    std::printf("Click of 計算 to the repaint of the results: %zu clicks\n", t.size());
    std::printf("  wall: median %.3f ms, p95 %.3f ms, max %.3f ms, first click %.3f ms "
                "(target p95 under %.0f ms, %s)\n",
                Median(t) / 1e6, p95, double(*std::max_element(t.begin(), t.end())) / 1e6,
                double(t.front()) / 1e6, kClickTargetMs, Verdict(p95 < kClickTargetMs));
    std::printf("  CPU of the user-interface thread: median %.3f ms, p95 %.3f ms, max %.3f ms, "
                "first click %.3f ms\n",
                Median(cpu) / 1e6, Quantile(cpu, 0.95) / 1e6,
                double(*std::max_element(cpu.begin(), cpu.end())) / 1e6, double(cpu.front()) / 1e6);
    return 0;
}
