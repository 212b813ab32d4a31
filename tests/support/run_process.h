// Runs a program with arguments and a given standard input and collects what it wrote and its
// exit code: the tests of tolvexc drive the real executable this way, natively and under Wine.
#pragma once

#include <string>
#include <vector>

struct ProcessResult {
    int exitCode; // -1 when the program could not be started or did not end normally
    std::string out;
    std::string err;
};

// Standard input, output and error go through temporary files, so no pipe can fill up and stall.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& input);

// The path of the running test executable's own directory, with a trailing separator.
std::string OwnDirectory();
