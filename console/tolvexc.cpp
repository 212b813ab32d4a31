// tolvexc, the console calculator: rewrites each line as the window's Enter key does and prints it.
#include "engine/line.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
// Expressions are full of "*": the runtime must not expand arguments against file names, whatever
// default the toolchain was built with.
extern "C" {
int _dowildcard = 0;
}
#else
#include <unistd.h>
#endif

namespace {

constexpr int ExitAllEvaluated = 0;
constexpr int ExitSomeLineFailed = 1;
constexpr int ExitUsageError = 2;

const char UsageText[] =
    "usage: tolvexc [--bits 32|64] [--status] [LINE ...]\n"
    "Handles each LINE, or else each line of standard input, as the calculator's input line\n"
    "handles Enter: a missing \"=\" is appended, the line is evaluated and printed rewritten.\n"
    "  --bits 32|64  width of hexadecimal (=x, =X, =$) and binary (=b, =B) results; default 32\n"
    "  --status      prefix each line with its evaluation status and a tab (- if not evaluated)\n"
    "  --            end of the options: later arguments are lines even when they begin with -\n"
    "  --help        show this text\n"
    "Exit status: 0 when every evaluated line succeeded, 1 when a line showed \"?\" or was\n"
    "refused for being longer than 255 characters, 2 for a usage error.\n";

// Raw bytes of one input line that are kept: the longest line that is evaluated, plus its CR.
constexpr int RawLineCapacity = MaxLineLength + 1;
constexpr int ReadChunkSize = 1 << 16;
constexpr int OutputBufferSize = 1 << 16;

// HexBits for "x", "$" and "b" results, set once by --bits.
int HexBits = 32;
// True with --status: every output line starts with its status and a tab.
bool ShowStatus = false;
// True when standard output is a terminal: a person is waiting for each line, so it is flushed
// at once; in a pipe the lines are collected and written in large blocks.
bool OutputIsTerminal = false;

// Output is gathered here rather than in stdio's buffer so that a pipe sees few large writes.
char OutputBuffer[OutputBufferSize];
int OutputLength = 0;

void FlushOutput() {
    if (OutputLength > 0) {
        fwrite(OutputBuffer, 1, static_cast<size_t>(OutputLength), stdout);
        OutputLength = 0;
    }
    fflush(stdout);
}

// text is at most a line and a status, far below the buffer's size.
void EmitText(const char* text, int length) {
    if (OutputLength + length > OutputBufferSize) {
        FlushOutput();
    }
    memcpy(OutputBuffer + OutputLength, text, static_cast<size_t>(length));
    OutputLength += length;
}

void EmitLine(const char* status, const char* text) {
    if (ShowStatus) {
        EmitText(status, static_cast<int>(strlen(status)));
        EmitText("\t", 1);
    }
    EmitText(text, static_cast<int>(strlen(text)));
    EmitText("\n", 1);
    if (OutputIsTerminal) {
        FlushOutput();
    }
}

// A line that is not evaluated at all: reported on standard error, shown as a lone "?".
bool RefuseLine(unsigned long lineNumber, const char* reason) {
    EmitLine("-", "?");
    // Keep the order of the two streams when both go to the same terminal or file.
    FlushOutput();
    fprintf(stderr, "tolvexc: line %lu: %s\n", lineNumber, reason);
    return false;
}

// Rewrites one line as Enter does. line holds length characters and has room for one more and the
// terminator. Returns false when the line showed "?".
bool HandleLine(char* line, int length) {
    if (EnterAppendsEquals(line, length)) {
        line[length++] = '=';
    }
    line[length] = '\0';
    LineUpdate update = ComputeLineUpdate(line, HexBits);
    char rewritten[LineBufferSize];
    ApplyLineUpdate(line, update, rewritten);
    char status[16] = "-";
    if (update.outcome != LineNotApplicable) {
        snprintf(status, sizeof status, "%d", update.status);
    }
    EmitLine(status, rewritten);
    return update.outcome != LineFailed;
}

bool HandleArgument(const char* argument, unsigned long lineNumber) {
    size_t length = strlen(argument);
    if (length > static_cast<size_t>(MaxLineLength)) {
        return RefuseLine(lineNumber, "longer than 255 characters");
    }
    char line[LineBufferSize + 1];
    memcpy(line, argument, length);
    return HandleLine(line, static_cast<int>(length));
}

// The end of one line of standard input: rawLength bytes came in (RawLineCapacity + 1 standing for
// any more), the first of them (up to RawLineCapacity) are in line.
bool FinishInputLine(char* line, long rawLength, bool hasNul, unsigned long lineNumber) {
    if (rawLength > RawLineCapacity) {
        return RefuseLine(lineNumber, "longer than 255 characters");
    }
    int length = static_cast<int>(rawLength);
    if (length > 0 && line[length - 1] == '\r') {
        --length;
    }
    if (length > MaxLineLength) {
        return RefuseLine(lineNumber, "longer than 255 characters");
    }
    // The line would end at the NUL for the evaluator, and the rest would vanish unseen.
    if (hasNul) {
        return RefuseLine(lineNumber, "contains a NUL byte");
    }
    return HandleLine(line, length);
}

long ReadInput(char* buffer, int size) {
#ifdef _WIN32
    return _read(0, buffer, static_cast<unsigned>(size));
#else
    return static_cast<long>(read(0, buffer, static_cast<size_t>(size)));
#endif
}

// Reads standard input in chunks, so a line of any length passes without overflow; a line is only
// ever kept up to RawLineCapacity bytes, the rest merely counted. Returns false when some line
// failed or the input could not be read.
bool HandleStandardInput() {
    static char chunk[ReadChunkSize];
    char line[RawLineCapacity + 1];
    long rawLength = 0;
    bool hasNul = false;
    unsigned long lineNumber = 0;
    bool allSucceeded = true;
    for (;;) {
        long got = ReadInput(chunk, ReadChunkSize);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            FlushOutput();
            fprintf(stderr, "tolvexc: cannot read standard input: %s\n", strerror(errno));
            return false;
        }
        if (got == 0) {
            break;
        }
        const char* at = chunk;
        const char* end = chunk + got;
        while (at < end) {
            const char* newline = static_cast<const char*>(memchr(at, '\n', end - at));
            long piece = (newline != nullptr ? newline : end) - at;
            if (rawLength < RawLineCapacity) {
                long room = RawLineCapacity - rawLength;
                memcpy(line + rawLength, at, static_cast<size_t>(piece < room ? piece : room));
            }
            hasNul = hasNul || memchr(at, '\0', static_cast<size_t>(piece)) != nullptr;
            // Only "longer than the capacity" matters, so the count stops there and cannot wrap
            // however long the line (long has 32 bits on Windows).
            rawLength =
                piece > RawLineCapacity - rawLength ? RawLineCapacity + 1 : rawLength + piece;
            if (newline == nullptr) {
                break;
            }
            ++lineNumber;
            allSucceeded = FinishInputLine(line, rawLength, hasNul, lineNumber) && allSucceeded;
            rawLength = 0;
            hasNul = false;
            at = newline + 1;
        }
    }
    // A last line without its line feed still counts.
    if (rawLength > 0) {
        ++lineNumber;
        allSucceeded = FinishInputLine(line, rawLength, hasNul, lineNumber) && allSucceeded;
    }
    return allSucceeded;
}

int UsageError(const char* message, const char* argument) {
    fprintf(stderr, "tolvexc: %s%s\n%s", message, argument, UsageText);
    return ExitUsageError;
}

bool SetBits(const char* value) {
    if (strcmp(value, "32") == 0) {
        HexBits = 32;
    } else if (strcmp(value, "64") == 0) {
        HexBits = 64;
    } else {
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    // Options may stand anywhere before "--"; the LINE arguments are gathered at the front of argv
    // in their order (never ahead of the reading position, so nothing unread is overwritten).
    int lineCount = 0;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (optionsEnded || argument[0] != '-') {
            argv[lineCount++] = argv[i];
        } else if (strcmp(argument, "--") == 0) {
            optionsEnded = true;
        } else if (strcmp(argument, "--help") == 0) {
            fputs(UsageText, stdout);
            return ExitAllEvaluated;
        } else if (strcmp(argument, "--status") == 0) {
            ShowStatus = true;
        } else if (strcmp(argument, "--bits") == 0) {
            if (i + 1 >= argc) {
                return UsageError("--bits needs 32 or 64", "");
            }
            ++i;
            if (!SetBits(argv[i])) {
                return UsageError("--bits takes 32 or 64, not ", argv[i]);
            }
        } else if (strncmp(argument, "--bits=", 7) == 0) {
            if (!SetBits(argument + 7)) {
                return UsageError("--bits takes 32 or 64, not ", argument + 7);
            }
        } else {
            return UsageError("unknown option ", argument);
        }
    }

#ifdef _WIN32
    // CR LF is taken apart here, not by the C library, so both line ends behave alike.
    _setmode(_fileno(stdin), _O_BINARY);
    OutputIsTerminal = _isatty(_fileno(stdout)) != 0;
#else
    OutputIsTerminal = isatty(fileno(stdout)) != 0;
#endif

    bool allSucceeded = true;
    if (lineCount > 0) {
        for (int i = 0; i < lineCount; ++i) {
            allSucceeded = HandleArgument(argv[i], i + 1) && allSucceeded;
        }
    } else {
        allSucceeded = HandleStandardInput();
    }
    FlushOutput();
    if (ferror(stdout)) {
        fprintf(stderr, "tolvexc: cannot write standard output\n");
        return ExitSomeLineFailed;
    }
    return allSucceeded ? ExitAllEvaluated : ExitSomeLineFailed;
}
