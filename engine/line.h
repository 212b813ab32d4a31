// The pure logic of the input line: where a line's "=" is, which notation follows it, and what the
// line becomes once its expression is evaluated. Shared by the window's input line and tolvexc.
#pragma once

#include "engine/format.h"

// The input line holds at most MaxLineLength characters; its buffers have a byte more.
constexpr int MaxLineLength = 255;
constexpr int LineBufferSize = MaxLineLength + 1;

enum OutputBase { OutputDecimal, OutputHexadecimal, OutputBinary };

struct LineParse {
    int equalsAt;    // index of the first "="
    OutputBase base; // chosen by the character behind it
    int replaceFrom; // index from which the result replaces the rest of the line
};

// False when the line has fewer than 2 characters, no "=", or "=" as its first character; *parse
// is then left alone.
bool ParseLine(const char* text, LineParse* parse);

enum LineOutcome { LineNotApplicable, LineFailed, LineSucceeded };

struct LineUpdate {
    LineOutcome outcome;
    int replaceFrom;   // 0 when not applicable
    EvalStatus status; // the evaluator's, else the formatter's; EvalOk if not applicable
    char resultText[ResultTextSize]; // the formatted result, or "?"; empty when not applicable
};

// Evaluates the expression in front of the first "=" and formats it in the notation the line asks
// for, with hexBits (32 or 64) for hexadecimal and binary. Reads text only; allocates nothing.
// A result that would not fit wholly into the line (replaceFrom plus its length beyond
// MaxLineLength) fails with EvalOverflow and "?", rather than being shown cut to another number.
LineUpdate ComputeLineUpdate(const char* text, int hexBits);

// Enter completes a line with "=" at its end, unless the line is empty, already holds a "=", or
// is full (MaxLineLength characters leave the "=" no room; the line then stays as it is). text
// holds length characters; what stands behind them is not read.
bool EnterAppendsEquals(const char* text, int length);

// Writes the rewritten line (text up to replaceFrom, then the result) into out, a buffer of
// LineBufferSize bytes, cut to MaxLineLength characters. Copies text unchanged (cut likewise) when
// the update is not applicable. text and out must not overlap.
void ApplyLineUpdate(const char* text, const LineUpdate& update, char* out);
