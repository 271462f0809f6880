// Child processes with their output caught in temporary files (no pipes, so a
// child that prints much never blocks).
#include "tests/support/process.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string read_whole_file(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string temporary_file() {
    char name[] = "/tmp/tovrek-process-XXXXXX";
    int descriptor = mkstemp(name);
    if (descriptor >= 0) close(descriptor);
    return name;
}

}  // namespace

Process_Result run_process(const std::vector<std::string>& arguments, const std::vector<std::string>& unset) {
    Process_Result result;
    std::string output_path = temporary_file(), errors_path = temporary_file();
    pid_t child = fork();
    if (child == 0) {
        int output = open(output_path.c_str(), O_WRONLY | O_TRUNC);
        int errors = open(errors_path.c_str(), O_WRONLY | O_TRUNC);
        dup2(output, 1);
        dup2(errors, 2);
        for (const std::string& name : unset) unsetenv(name.c_str());
        std::vector<char*> argv;
        for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    if (child > 0 && wait4(child, &status, 0, &usage) == child) {
        if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
        result.peak_kib = usage.ru_maxrss;
    }
    result.output = read_whole_file(output_path);
    result.errors = read_whole_file(errors_path);
    std::remove(output_path.c_str());
    std::remove(errors_path.c_str());
    return result;
}

std::string make_temporary_folder() {
    char name[] = "/tmp/tovrek-test-XXXXXX";
    return mkdtemp(name) != nullptr ? name : "";
}
