// The benchmark main: starts a private X server when there is no $DISPLAY,
// runs the benchmarks, and prints each registered ratio against its
// baseline with the machine's core count. Started with the frame server's
// argument, it is that server instead (bench/glthread_frames.h).
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/baseline.h"
#include "bench/direct_gl.h"
#include "bench/glthread_frames.h"
#include "platform/gl.h"
#include "platform/winx.h"

namespace bench {
namespace {

std::vector<std::pair<std::string, std::string>>& pairs() {
    static std::vector<std::pair<std::string, std::string>> registered;
    return registered;
}

// Keeps the items per second of every run while the console shows it.
class Recording_Reporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            auto rate = run.counters.find("items_per_second");
            if (rate != run.counters.end()) rates[run.benchmark_name()] = rate->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> rates;
};

// The OpenGL the figures are taken on, for the header and the JSON output.
void describe_opengl() {
    Direct_Gl_Window probe;
    std::string error;
    if (!probe.start(16, 16, 16, &error)) return;
    const auto text = [](GLenum name) {
        const GLubyte* value = glGetString(name);
        return value != nullptr ? std::string(reinterpret_cast<const char*>(value)) : std::string("?");
    };
    benchmark::AddCustomContext("opengl", text(GL_RENDERER) + ", OpenGL " + text(GL_VERSION));
}

}  // namespace

bool compare_with_baseline(const char* benchmark, const char* baseline) {
    pairs().emplace_back(benchmark, baseline);
    return true;
}

}  // namespace bench

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == bench::GLTHREAD_SERVER_ARGUMENT)
        return bench::serve_glthread_model_frames();
    // Mesa's threaded dispatch is a baseline of its own, in its own process:
    // every other figure is taken without it.
    unsetenv("mesa_glthread");
    benchmark::Initialize(&argc, argv);
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        std::string error;
        if (!winx::start_private_display(1280, 1024, 24, &error)) {
            std::fprintf(stderr, "cannot start a private X server: %s\n", error.c_str());
            return 1;
        }
    }
    bench::describe_opengl();
    bench::Recording_Reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nratios (items per second, same run, %u cores):\n",
                std::thread::hardware_concurrency());
    // With --benchmark_repetitions the medians are compared too.
    for (const auto& pair : bench::pairs()) {
        for (const std::string suffix : {"", "_median"}) {
            const std::string first = pair.first + suffix, second = pair.second + suffix;
            auto measured = reporter.rates.find(first);
            auto baseline = reporter.rates.find(second);
            if (measured == reporter.rates.end() || baseline == reporter.rates.end()) continue;
            std::printf("  %-44s / %-44s = %.3f\n", first.c_str(), second.c_str(),
                        measured->second / baseline->second);
        }
    }
    benchmark::Shutdown();
    winx::stop_private_display();
    return 0;
}
