// Measures what one keystroke costs the input line, for a short line and a 255-character one:
// in process, the time of one EvaluateLine on the real window procedure and controls; across
// processes, a synchronous WM_CHAR to the real tolvex.exe's input line, with and without "=".
// A measurement, not a test: how to run it is beside its target in tests/gui/CMakeLists.txt.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/line.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "ui/lineview.h"
#include "ui/mainwnd.h"
#include "tests/support/driver.h"

namespace {

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The line "1+1+...+1=" whose result just fills it to 255 characters.
std::string LongLine() {
    std::string line;
    for (int i = 0; i < 125; ++i) {
        line += "1+";
    }
    return line + "1=";
}

void SetLine(HWND combo, HWND edit, const std::string& text, int caret) {
    SendMessageA(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageA(edit, EM_SETSEL, caret, caret);
}

// The pure part of EvaluateLine: parse, evaluate and format, without the controls.
double ComputeMicroseconds(const std::string& line) {
    std::vector<double> batches;
    const int perBatch = 2000;
    volatile int sink = 0;
    for (int batch = 0; batch < 25; ++batch) {
        double start = Now();
        for (int i = 0; i < perBatch; ++i) {
            sink = sink + ComputeLineUpdate(line.c_str(), 32).replaceFrom;
        }
        batches.push_back((Now() - start) / perBatch);
    }
    return Median(batches);
}

// The main window in this process, its procedure and controls the program's own.
double InProcessMicroseconds(const std::string& line) {
    SetLine(InputCombo, InputEdit, line, 1);
    EvaluateLine();
    std::vector<double> batches;
    const int perBatch = 200;
    for (int batch = 0; batch < 25; ++batch) {
        double start = Now();
        for (int i = 0; i < perBatch; ++i) {
            EvaluateLine();
        }
        batches.push_back((Now() - start) / perBatch);
    }
    return Median(batches);
}

void MeasureInProcess() {
    AppInstance = GetModuleHandleA(nullptr);
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof Settings.Font, &Settings.Font);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = MainWndProc;
    windowClass.hInstance = AppInstance;
    windowClass.lpszClassName = "tolvex measuring class";
    RegisterClassA(&windowClass);
    MainWindow = CreateWindowExA(0, windowClass.lpszClassName, "measure", WS_POPUP | WS_THICKFRAME,
                                 0, 100, 600, 26, nullptr, nullptr, AppInstance, nullptr);
    ShowWindow(MainWindow, SW_SHOWNOACTIVATE);
    UpdateWindow(MainWindow);
    std::printf("in process, the line logic alone (ComputeLineUpdate):\n");
    std::printf("  short line \"12*3=36\":      %8.1f us\n", ComputeMicroseconds("12*3=36"));
    std::printf("  255-character line:        %8.1f us\n", ComputeMicroseconds(LongLine()));
    std::printf("in process, one EvaluateLine (rewrite of the line through the edit control):\n");
    std::printf("  short line \"12*3=36\":      %8.1f us\n", InProcessMicroseconds("12*3=36"));
    std::string line = LongLine();
    std::printf("  %3u-character line:        %8.1f us\n", static_cast<unsigned>(line.size() + 3),
                InProcessMicroseconds(line));
    // The window is left to the end of the process: destroying it would save settings.
}

// One keystroke from another process: a digit typed and taken back, two sent WM_CHAR messages.
double CrossProcessMicroseconds(const gui::Tolvex& tolvex, const std::string& line, int caret) {
    SetLine(tolvex.combo, tolvex.edit, line, caret);
    std::vector<double> batches;
    const int perBatch = 50;
    for (int batch = 0; batch < 15; ++batch) {
        double start = Now();
        for (int i = 0; i < perBatch; ++i) {
            SendMessageA(tolvex.edit, WM_CHAR, '1', 1);
            SendMessageA(tolvex.edit, WM_CHAR, '\b', 1);
        }
        batches.push_back((Now() - start) / (2 * perBatch));
    }
    return Median(batches);
}

void MeasureCrossProcess() {
    std::string dir = gui::FreshDirectory("keystroke-cost");
    WriteTextFile(dir + "tolvex.ini", "[Settings]\r\nSingleInstance=0\r\n");
    gui::Tolvex tolvex;
    if (!gui::StartTolvex(dir, &tolvex)) {
        std::printf("tolvex.exe did not start\n");
        return;
    }
    std::string longLine = LongLine();
    std::string longPlain = std::string(longLine.size() - 1, '1'); // no "="
    std::printf("from another process, one synchronous WM_CHAR to the input line:\n");
    std::printf("  short line without \"=\":    %8.1f us\n",
                CrossProcessMicroseconds(tolvex, "12*3", 1));
    std::printf("  short line with \"=\":       %8.1f us\n",
                CrossProcessMicroseconds(tolvex, "12*3=36", 1));
    std::printf("  long line without \"=\":     %8.1f us\n",
                CrossProcessMicroseconds(tolvex, longPlain, 1));
    std::printf("  255-character line with \"=\": %6.1f us\n",
                CrossProcessMicroseconds(tolvex, longLine, 1));
    gui::SendCommand(tolvex, IDM_EXIT);
    DWORD code;
    gui::WaitForExit(&tolvex, &code);
}

} // namespace

int main() {
    MeasureInProcess();
    MeasureCrossProcess();
    return 0;
}
