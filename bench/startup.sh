#!/usr/bin/env bash
# Measures under Wine the time from process start to tolvex's window being visible, against the
# time Wine takes to start and end a trivial Windows program: bench/startup.sh BUILD_DIR [RUNS].
# BUILD_DIR is a Windows build whose test environment (tools/wine/test-display.sh start) is up.
set -eu
build=$(cd "$1" && pwd) runs=${2:-15}
here=$(cd "$(dirname "$0")" && pwd)
work=$build/bench-startup
rm -rf "$work" && mkdir -p "$work"
cp "$build/app/tolvex.exe" "$work/tolvex.exe"
printf '[Settings]\r\nSingleInstance=0\r\nSaveHistory=0\r\n' >"$work/tolvex.ini"

cat >"$work/trivial.c" <<'C'
#include <windows.h>
int WINAPI WinMain(HINSTANCE i, HINSTANCE p, LPSTR c, int s) { (void)i; (void)p; (void)c; (void)s; return 0; }
C
# A trivial program with one empty window of the same class, ended by the same command: what
# Wine and the X server cost for any window at all.
cat >"$work/window.c" <<'C'
#include <windows.h>
static LRESULT CALLBACK proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_COMMAND) { DestroyWindow(h); return 0; }
    if (m == WM_DESTROY) { PostQuitMessage(0); return 0; }
    return DefWindowProcA(h, m, w, l);
}
int WINAPI WinMain(HINSTANCE i, HINSTANCE p, LPSTR c, int s) {
    WNDCLASSA wc = {0}; MSG m; HWND h; (void)p; (void)c;
    wc.lpfnWndProc = proc; wc.hInstance = i; wc.lpszClassName = "tolvex class";
    RegisterClassA(&wc);
    h = CreateWindowExA(0, "tolvex class", "window", WS_POPUP | WS_THICKFRAME, 0, 0, 200, 25, 0, 0, i, 0);
    ShowWindow(h, s); UpdateWindow(h);
    while (GetMessageA(&m, 0, 0, 0) > 0) { TranslateMessage(&m); DispatchMessageA(&m); }
    return 0;
}
C
# The probe starts a program and times, with the performance counter, either its end or the
# first visible window of the class "tolvex class" that belongs to it, which it then closes.
cat >"$work/probe.c" <<'C'
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
static DWORD target;
static HWND found;
static BOOL CALLBACK check(HWND w, LPARAM l) {
    char name[32]; DWORD pid = 0; (void)l;
    GetClassNameA(w, name, sizeof name);
    GetWindowThreadProcessId(w, &pid);
    if (pid == target && lstrcmpA(name, "tolvex class") == 0 && IsWindowVisible(w)) { found = w; return FALSE; }
    return TRUE;
}
static int cmp(const void* a, const void* b) { double x = *(const double*)a, y = *(const double*)b; return x < y ? -1 : x > y; }
int main(int argc, char** argv) {
    int runs = atoi(argv[3]), window = argv[2][0] == 'w';
    double ms[100]; LARGE_INTEGER f, t0, t1;
    QueryPerformanceFrequency(&f);
    for (int r = 0; r < runs && r < 100; ++r) {
        STARTUPINFOA si = {sizeof si}; PROCESS_INFORMATION pi;
        QueryPerformanceCounter(&t0);
        if (!CreateProcessA(argv[1], NULL, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) {
            fprintf(stderr, "probe: %s did not start: error %lu\n", argv[1], GetLastError());
            return 1;
        }
        if (window) {
            target = pi.dwProcessId; found = NULL;
            while (!found) { EnumWindows(check, 0); if (!found) Sleep(0); }
        } else {
            WaitForSingleObject(pi.hProcess, INFINITE);
        }
        QueryPerformanceCounter(&t1);
        ms[r] = (t1.QuadPart - t0.QuadPart) * 1000.0 / f.QuadPart;
        if (window) { PostMessageA(found, WM_COMMAND, 113, 0); WaitForSingleObject(pi.hProcess, INFINITE); }
        CloseHandle(pi.hProcess); CloseHandle(pi.hThread);
    }
    qsort(ms, runs, sizeof ms[0], cmp);
    printf("%.1f\n", ms[runs / 2]);
    return 0;
}
C
# The helpers have the word size of the build, so they run wherever its tolvex.exe runs: with its
# own cross compiler.
cc=$(sed -n 's/^set(CMAKE_C_COMPILER "\(.*\)")$/\1/p' "$build"/CMakeFiles/*/CMakeCCompiler.cmake)
"$cc" -O2 -mwindows -o "$work/trivial.exe" "$work/trivial.c"
"$cc" -O2 -mwindows -o "$work/window.exe" "$work/window.c"
"$cc" -O2 -o "$work/probe.exe" "$work/probe.c"

run() { (cd "$work" && TOLVEX_BUILD_DIR=$build "$here/../tools/wine/run-test-program.sh" probe.exe "$@" | tr -d '\r'); }
trivial=$(run trivial.exe exit "$runs")
window=$(run window.exe window "$runs")
tolvex=$(run tolvex.exe window "$runs")
echo "median of $runs starts under Wine:"
echo "  trivial program, start to end:               $trivial ms"
echo "  trivial program with a window, to the window: $window ms"
echo "  tolvex.exe, start to its window:              $tolvex ms"
awk -v a="$tolvex" -v b="$trivial" -v c="$window" \
  'BEGIN { printf "  ratio to the trivial program: %.2f; to the trivial window: %.2f\n", a / b, a / c }'
