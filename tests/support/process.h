// Running a program as a child process and collecting what it printed, for
// tests of the command-line tools.
#pragma once

#include <string>
#include <vector>

struct Process_Result {
    int status = -1;  // the exit status; -1 when the child did not exit normally
    std::string output;
    std::string errors;
    long peak_kib = 0;  // the child's peak resident memory
};

// Runs arguments[0] with the given arguments and the test's environment,
// with `unset` naming variables removed for the child, and waits for it.
Process_Result run_process(const std::vector<std::string>& arguments, const std::vector<std::string>& unset = {});

// A fresh, empty folder under the system's temporary folder.
std::string make_temporary_folder();
