// Time from process start to the login window shown, on the offscreen platform. Each
// measurement starts this same program again as a child that does what the program's entry
// point does up to the login window, reports the moment the window first paints on the
// system-wide monotonic clock, and exits.
#include "benchsupport.h"
#include "config/config.h"
#include "config/useraccount.h"
#include "link/serialportmanager.h"
#include "ui/startup.h"
#include "ui/welcomescreen.h"

#include <QApplication>
#include <QEvent>
#include <QTemporaryDir>

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr const char* ChildVariable = "R58_BENCH_STARTUP_CHILD";

// Reports the first paint of the window it watches and ends the event loop.
class FirstPaint : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            std::printf("%lld\n", static_cast<long long>(Bench::monotonicNs()));
            std::fflush(stdout);
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

// The program's own start, up to the login window.
int runChild(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Application::R58::StartUp startUp;
    QSharedPointer<Application::R58::SerialPortManager> manager(
        new Application::R58::SerialPortManager(nullptr));
    auto account = QSharedPointer<Application::R58::UserAccount>::create();
    auto config = QSharedPointer<Application::R58::Config>::create();
    config->load();
    WelcomeScreen welcome(account, config);
    FirstPaint watcher;
    welcome.installEventFilter(&watcher);
    welcome.show();
    return QApplication::exec();
}

// Seconds from just before the child is spawned to its login window's first paint.
double timeOneStart(const char* program)
{
    int output[2];
    if (pipe(output) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, output[0]);
    char* arguments[] = {const_cast<char*>(program), nullptr};

    const std::int64_t start = Bench::monotonicNs();
    pid_t child = 0;
    const int spawned = posix_spawn(&child, program, &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(output[1]);
    if (spawned != 0) {
        close(output[0]);
        return -1;
    }
    std::string text;
    char buffer[64];
    for (ssize_t count; (count = read(output[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, std::size_t(count));
    close(output[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || text.empty())
        return -1;
    return double(std::atoll(text.c_str()) - start) / 1e9;
}

std::string g_program;

void BM_StartUpToLogin(benchmark::State& state)
{
    for (auto _ : state) {
        const double seconds = timeOneStart(g_program.c_str());
        if (seconds < 0) {
            state.SkipWithError("the login window was not shown");
            return;
        }
        state.SetIterationTime(seconds);
    }
}
BENCHMARK(BM_StartUpToLogin)
    ->Iterations(1)
    ->Repetitions(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", [](const std::vector<double>& values) {
        return *std::min_element(values.begin(), values.end());
    });

} // namespace

int main(int argc, char* argv[])
{
    if (std::getenv(ChildVariable))
        return runChild(argc, argv);

    benchmark::Initialize(&argc, argv);
    // The children start offscreen, with an empty configuration folder of their own: what a
    // first start on a fresh account sees, and nothing of the user's is read or written.
    QTemporaryDir configHome;
    if (!configHome.isValid())
        return 1;
    setenv(ChildVariable, "1", 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit().constData(), 1);
    char path[4096] = {};
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return 1;
    g_program.assign(path, std::size_t(length));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
