// The subcommands of the tovrek command. Each command keeps its own entry
// (name, one-line summary, help text and entry function) beside its code;
// main.cpp lists the entries and answers --help, --version and mistakes in
// the command's name.
#pragma once

#include <string>

struct Tool_Command {
    const char* name;
    const char* summary;  // one line for the list of commands
    // "usage: tovrek NAME ...", a sentence on what it does, then every option
    // with one line of meaning.
    const char* help;
    // argv holds the words after the command's name; returns the exit status.
    int (*run)(int argc, char** argv);
};

// The exit status of a mistake on the command line.
constexpr int USAGE_STATUS = 2;

// Writes "tovrek NAME: PROBLEM" and the command's help on standard error;
// returns USAGE_STATUS.
int usage_error(const Tool_Command& command, const std::string& problem);

// Writes "tovrek NAME: PROBLEM" and "Try 'tovrek NAME --help'." on standard
// error, one line each; returns USAGE_STATUS.
int brief_usage_error(const Tool_Command& command, const std::string& problem);

// The problem with an argument the command did not take: an option that
// wants a value and has none, or a word the command does not know.
std::string argument_problem(const std::string& argument, bool takes_value);
