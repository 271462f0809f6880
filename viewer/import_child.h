// Running a model import in a child process of its own. The import library
// can crash, or loop for ever, on a crafted file, and nothing this program
// does can mend that inside the library; in a child, such a file kills only
// the child, and the import fails with a one-line reason like any other bad
// file. The child sends its model back over a pipe (viewer/model_stream.h),
// and the parent trusts nothing of that stream. The child runs under a limit
// of CPU time, and the parent gives up on it (and kills it) after five times
// that in wall-clock time, for an import that blocks without using the CPU
// (a material or texture "file" that is a pipe nobody writes to).
//
// It does not confine the child: it reads the files the model names with
// the program's rights, as an import in the program itself would. Its
// memory ceiling is the import's own (viewer/memory_ceiling.h).
//
// The child is made by fork and runs the import in a copy of this process:
// call it before the process starts any thread of its own, as the viewer
// does, since a lock that another thread held at the fork stays held in the
// child for ever.
#pragma once

#include <functional>
#include <string>

#include "viewer/model.h"

// Imports into `model`, or says why not in `reason`, in one line.
using Model_Import = std::function<bool(Model* model, std::string* reason)>;

// How a child's import ended, beside its reason.
enum class Child_Ending {
    imported,
    refused,        // the import said no, with its own reason
    not_started,    // no pipe or no child could be had
    crashed,        // killed by a signal other than the time limit's
    out_of_time,    // over its CPU time, or its wall-clock time
    stopped,        // exited with a non-zero status (a sanitizer's report)
    damaged_answer, // exited as it should but its stream does not hold
};

// Runs `import` in a child with `cpu_seconds` (at least 1) of CPU time, and
// returns what it returned. A child that crashed, ran out of time or sent a
// damaged stream makes it false, with a reason that says so; `ending`, when
// given, says which way it ended.
bool import_in_child(const Model_Import& import, int cpu_seconds, Model* model, std::string* reason,
                     Child_Ending* ending = nullptr);
