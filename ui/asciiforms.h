// The ASCII forms of the full-width and typographic characters that reach the input line from an
// input method, a paste or a hand-written history line, so that "１２×３" is read as "12*3".
//
// Pure and free of platform headers, on Unicode code points; the input line converts its ANSI
// bytes to code points and back.
#pragma once

// The full-width block mirrors printable ASCII ("！" to "～") at this distance.
constexpr unsigned FullWidthFirst = 0xFF01;
constexpr unsigned FullWidthLast = 0xFF5E;
constexpr unsigned FullWidthOffset = 0xFF01 - 0x21;
constexpr unsigned IdeographicSpace = 0x3000;
// Signs that documents use for the operators: multiplication, division and minus.
constexpr unsigned MultiplicationSign = 0x00D7;
constexpr unsigned DivisionSign = 0x00F7;
constexpr unsigned MinusSign = 0x2212;
constexpr unsigned LastAscii = 0x7F;

// The ASCII character that codePoint is a form of: itself for ASCII, the folded form for the
// full-width block, the ideographic space and the three signs; 0 for every other character.
constexpr unsigned AsciiFormOf(unsigned codePoint) {
    if (codePoint <= LastAscii) {
        return codePoint;
    }
    if (codePoint >= FullWidthFirst && codePoint <= FullWidthLast) {
        return codePoint - FullWidthOffset;
    }
    switch (codePoint) {
    case IdeographicSpace: return ' ';
    case MultiplicationSign: return '*';
    case DivisionSign: return '/';
    case MinusSign: return '-';
    default: return 0;
    }
}
