// Each child writes its one-line JSON report into an unnamed temporary file
// (no pipe, so a child never blocks on a full one); its messages go straight
// to this process's standard error.
#include "viewer/view_batch.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>

#include "viewer/model_import.h"
#include "viewer/view_run.h"

namespace {

struct Model_Job {
    std::string path;
    std::FILE* report = nullptr;
    std::chrono::steady_clock::time_point start;
    double seconds = 0;
    int status = VIEW_FAILED;
    std::string json;
};

bool is_model_name(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    if (extension.size() < 2) return false;
    extension = extension.substr(1);
    for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
    const std::string formats = std::string(MODEL_FORMATS) + ",";
    return formats.find(" " + extension + ",") != std::string::npos || formats.rfind(extension + ",", 0) == 0;
}

// The model files the arguments name: files as given, folders as the
// model files in them and in their subfolders, sorted. False, with the reason, for a
// folder without one.
bool list_models(const std::vector<std::string>& arguments, std::vector<std::string>* models, std::string* error) {
    for (const std::string& argument : arguments) {
        std::error_code code;
        if (!std::filesystem::is_directory(argument, code)) {
            models->push_back(argument);
            continue;
        }
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(argument, code))
            if (entry.is_regular_file(code) && is_model_name(entry.path())) found.push_back(entry.path().string());
        if (found.empty()) {
            *error = argument + ": no model files (" + MODEL_FORMATS + ") in this folder";
            return false;
        }
        std::sort(found.begin(), found.end());
        models->insert(models->end(), found.begin(), found.end());
    }
    return true;
}

// The child's process id; -1 when it could not be started.
pid_t start_job(const View_Options& options, const std::string& program, Model_Job* job) {
    job->report = std::tmpfile();
    job->start = std::chrono::steady_clock::now();
    if (job->report == nullptr) return -1;
    std::vector<std::string> words = {program, "view", job->path};
    words.insert(words.end(), options.option_words.begin(), options.option_words.end());
    if (!options.json) words.push_back("--json");
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        dup2(fileno(job->report), STDOUT_FILENO);
        // Windows of models viewed at once would cover each other on one
        // display while they are captured: each takes a private X server.
        if (options.jobs > 1) unsetenv("DISPLAY");
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(&word[0]);
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(VIEW_FAILED);
    }
    return child;
}

void finish_job(int wait_status, Model_Job* job) {
    job->seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - job->start).count();
    job->status = wait_status >= 0 && WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : VIEW_FAILED;
    std::rewind(job->report);
    char* line = nullptr;
    size_t capacity = 0;
    while (getline(&line, &capacity, job->report) > 0)
        if (line[0] == '{') job->json = line;
    std::free(line);
    std::fclose(job->report);
    job->report = nullptr;
}

const char* result_name(int status) {
    switch (status) {
    case VIEW_DONE: return "done";
    case VIEW_TOO_DIFFERENT: return "differs";
    case VIEW_BAD_INPUT: return "bad model";
    default: return "failed";
    }
}

// The worst frame's percentage from a child's report; empty when it made
// no comparison.
std::string differing_of(const std::string& json) {
    const char* key = "\"differing_percent\":";
    const size_t at = json.find(key);
    if (at == std::string::npos) return "-";
    const double percent = std::atof(json.c_str() + at + std::strlen(key));
    char text[32];
    std::snprintf(text, sizeof text, "%.3f%%", percent);
    return text;
}

void print_table(const std::vector<Model_Job>& jobs) {
    size_t width = 4;
    for (const Model_Job& job : jobs) width = std::max(width, job.path.size());
    std::printf("%-*s  %-9s  %9s  %8s\n", int(width), "file", "result", "differing", "time");
    for (const Model_Job& job : jobs)
        std::printf("%-*s  %-9s  %9s  %6.2f s\n", int(width), job.path.c_str(), result_name(job.status),
                    differing_of(job.json).c_str(), job.seconds);
}

}  // namespace

int run_view_models(const View_Options& options, const std::string& module_path, const std::string& program) {
    std::vector<std::string> models;
    std::string error;
    if (!list_models(options.models, &models, &error)) {
        std::fprintf(stderr, "%s%s\n", VIEW_PREFIX, error.c_str());
        return VIEW_BAD_INPUT;
    }
    const bool one_file = options.models.size() == 1 && models.size() == 1 && models[0] == options.models[0];
    if (one_file) return run_view(options, models[0], module_path).status;
    for (const std::string* single : {&options.output, &options.diff, &options.record, &options.frames_out})
        if (!single->empty()) {
            std::fprintf(stderr,
                         "%s-o, --diff, --record and --frames-out take one model; %zu are given\n"
                         "Try 'tovrek view --help'.\n",
                         VIEW_PREFIX, models.size());
            return VIEW_BAD_INPUT;
        }

    std::vector<Model_Job> jobs(models.size());
    std::map<pid_t, size_t> running;
    size_t next = 0;
    while (next < jobs.size() || !running.empty()) {
        while (next < jobs.size() && running.size() < size_t(options.jobs)) {
            Model_Job& job = jobs[next];
            job.path = models[next];
            const pid_t child = start_job(options, program, &job);
            if (child > 0) {
                running[child] = next;
            } else {
                if (job.report != nullptr) std::fclose(job.report);
                job.report = nullptr;
                std::fprintf(stderr, "%s%s: no process could be started for it\n", VIEW_PREFIX, job.path.c_str());
            }
            ++next;
        }
        if (running.empty()) continue;
        int wait_status = 0;
        const pid_t ended = waitpid(-1, &wait_status, 0);
        if (ended < 0 && errno != EINTR) {
            // No child left to wait for: the running ones count as failed.
            for (const auto& [child, index] : running) finish_job(-1, &jobs[index]);
            running.clear();
        }
        const auto found = running.find(ended);
        if (found == running.end()) continue;
        finish_job(wait_status, &jobs[found->second]);
        running.erase(found);
    }
    int worst = VIEW_DONE;
    for (const Model_Job& job : jobs) {
        worst = std::max(worst, job.status);
        if (options.json && !job.json.empty()) std::fputs(job.json.c_str(), stdout);
    }
    if (!options.json) print_table(jobs);
    return worst;
}
