// Starting a child process with redirected standard streams, on POSIX and on Windows.
#include "tests/support/run_process.h"

#include "tests/support/test_common.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

// A fresh, empty temporary file whose name starts with prefix; defined for each platform below.
std::string TempPath(const char* prefix);

// The files that stand in for a child's standard streams.
struct StreamFiles {
    std::string in, out, err;
};

// Three fresh files, the input already written to its own.
StreamFiles StreamFilesWith(const std::string& input) {
    StreamFiles files = {TempPath("tin"), TempPath("tou"), TempPath("ter")};
    WriteTextFile(files.in, input);
    return files;
}

// What the child wrote, read into result; then the three files are removed.
void CollectStreams(const StreamFiles& files, ProcessResult* result) {
    result->out = ReadTextFile(files.out);
    result->err = ReadTextFile(files.err);
    for (const std::string* path : {&files.in, &files.out, &files.err}) {
        std::remove(path->c_str());
    }
}

#ifdef _WIN32

// Quotes one argument so that the C runtime's command-line parser gives it back unchanged:
// backslashes are literal except in front of a quotation mark.
std::string QuoteArgument(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) {
        return argument;
    }
    std::string quoted = "\"";
    for (size_t i = 0;; ++i) {
        size_t backslashes = 0;
        while (i < argument.size() && argument[i] == '\\') {
            ++i;
            ++backslashes;
        }
        if (i == argument.size()) {
            quoted.append(backslashes * 2, '\\');
            break;
        }
        if (argument[i] == '"') {
            quoted.append(backslashes * 2 + 1, '\\');
        } else {
            quoted.append(backslashes, '\\');
        }
        quoted += argument[i];
    }
    return quoted + "\"";
}

std::string TempPath(const char* prefix) {
    char directory[MAX_PATH];
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, directory);
    GetTempFileNameA(directory, prefix, 0, path);
    return path;
}

HANDLE OpenInheritable(const std::string& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                       disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& input) {
    ProcessResult result = {-1, "", ""};
    StreamFiles files = StreamFilesWith(input);
    std::string commandLine = QuoteArgument(program);
    for (const std::string& argument : arguments) {
        commandLine += " " + QuoteArgument(argument);
    }
    HANDLE in = OpenInheritable(files.in, GENERIC_READ, OPEN_EXISTING);
    HANDLE out = OpenInheritable(files.out, GENERIC_WRITE, CREATE_ALWAYS);
    HANDLE err = OpenInheritable(files.err, GENERIC_WRITE, CREATE_ALWAYS);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process = {};
    std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back('\0');
    if (in == INVALID_HANDLE_VALUE || out == INVALID_HANDLE_VALUE || err == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "run_process: the standard streams of %s could not be opened in %s\n",
                     program.c_str(), files.in.c_str());
    }
    if (!CreateProcessA(program.c_str(), mutableLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        nullptr, &startup, &process)) {
        std::fprintf(stderr, "run_process: %s did not start: error %lu\n", commandLine.c_str(),
                     GetLastError());
    } else {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        result.exitCode = static_cast<int>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(in);
    CloseHandle(out);
    CloseHandle(err);
    CollectStreams(files, &result);
    return result;
}

std::string OwnDirectory() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string directory = path;
    return directory.substr(0, directory.find_last_of("\\/") + 1);
}

#else

std::string TempPath(const char* prefix) {
    std::string pattern = std::string("/tmp/tolvexc-") + prefix + "XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int descriptor = mkstemp(name.data());
    if (descriptor >= 0) {
        close(descriptor);
    }
    return name.data();
}

} // namespace

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& input) {
    ProcessResult result = {-1, "", ""};
    StreamFiles files = StreamFilesWith(input);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    fflush(nullptr);
    pid_t child = fork();
    if (child == 0) {
        int in = open(files.in.c_str(), O_RDONLY);
        int out = open(files.out.c_str(), O_WRONLY | O_TRUNC);
        int err = open(files.err.c_str(), O_WRONLY | O_TRUNC);
        if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 ||
            dup2(err, 2) < 0) {
            _exit(127);
        }
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
    }
    CollectStreams(files, &result);
    return result;
}

std::string OwnDirectory() {
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    std::string directory(path, length > 0 ? static_cast<size_t>(length) : 0);
    return directory.substr(0, directory.find_last_of('/') + 1);
}

#endif
