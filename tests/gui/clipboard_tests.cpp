// The clipboard held by someone else for a moment: the input line's paste, copy and cut try again
// and get it, or give up cleanly with a beep. In process, another thread holds the clipboard and
// the waits between attempts are counted through this executable's import of Sleep, the holder
// letting go at the first of them; end to end, this process holds it while the real program
// pastes and copies.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "res/resource.h"
#include "ui/clipboard.h"
#include "ui/inputline.h"
#include "tests/support/clipboard_text.h"
#include "tests/support/driver.h"
#include "tests/support/import_patch.h"

namespace {

// Holds the clipboard from a thread of its own, as another program would, until Release.
class ClipboardHolder {
  public:
    ClipboardHolder() {
        held_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        release_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, Hold, this, 0, nullptr);
        WaitForSingleObject(held_, gui::DefaultTimeoutMs);
    }
    ~ClipboardHolder() {
        Release();
        CloseHandle(thread_);
        CloseHandle(release_);
        CloseHandle(held_);
    }
    ClipboardHolder(const ClipboardHolder&) = delete;
    ClipboardHolder& operator=(const ClipboardHolder&) = delete;

    bool Holding() const { return holding_; }
    // Returns once the clipboard is free again.
    void Release() {
        SetEvent(release_);
        WaitForSingleObject(thread_, gui::DefaultTimeoutMs);
    }

  private:
    static DWORD WINAPI Hold(void* context) {
        auto* self = static_cast<ClipboardHolder*>(context);
        // The platform's own clipboard work may have it for a moment too.
        self->holding_ = gui::WaitUntil([] { return OpenClipboard(nullptr) != FALSE; });
        SetEvent(self->held_);
        WaitForSingleObject(self->release_, INFINITE);
        if (self->holding_) {
            CloseClipboard();
        }
        return 0;
    }

    HANDLE held_;
    HANDLE release_;
    HANDLE thread_;
    bool holding_ = false;
};

// The waits of the code under test, while Counting: counted, not slept; the first lets Holder go.
bool Counting;
int Waits;
DWORD WaitedMs;
ClipboardHolder* LetGoAtFirstWait;
decltype(&Sleep) RealSleep;
void WINAPI CountingSleep(DWORD ms) {
    if (!Counting) {
        RealSleep(ms);
        return;
    }
    ++Waits;
    WaitedMs += ms;
    if (LetGoAtFirstWait != nullptr) {
        LetGoAtFirstWait->Release();
        LetGoAtFirstWait = nullptr;
    }
}

int Beeps;
decltype(&MessageBeep) RealMessageBeep;
BOOL WINAPI CountingMessageBeep(UINT type) {
    ++Beeps;
    return RealMessageBeep(type);
}

std::wstring ClipboardText() {
    return gui::ClipboardTextIn(CF_UNICODETEXT, L"(held)");
}

// A single-line edit field with the input line's filter on it: its paste, copy and cut.
class HeldClipboard : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        gui::Hook("KERNEL32.dll", "Sleep", &CountingSleep, &RealSleep);
        gui::Hook("USER32.dll", "MessageBeep", &CountingMessageBeep, &RealMessageBeep);
    }
    static void TearDownTestSuite() {
        gui::Unhook("KERNEL32.dll", "Sleep", RealSleep);
        gui::Unhook("USER32.dll", "MessageBeep", RealMessageBeep);
    }
    void SetUp() override {
        edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP | ES_AUTOHSCROLL, 0, 0, 200, 20, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(edit, nullptr);
        InstallInputFilter(edit);
        Waits = 0;
        WaitedMs = 0;
        Beeps = 0;
    }
    void TearDown() override {
        Counting = false;
        LetGoAtFirstWait = nullptr;
        DestroyWindow(edit);
    }

    void SetField(const wchar_t* text, int start, int end) {
        SetWindowTextW(edit, text);
        SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(start), end);
    }
    std::wstring Field() {
        wchar_t text[512] = L"";
        GetWindowTextW(edit, text, 512);
        return text;
    }
    // message to the field while holder has the clipboard, letting go at the first wait or never.
    void WhileHeld(UINT message, bool letGo) {
        ClipboardHolder holder;
        ASSERT_TRUE(holder.Holding());
        LetGoAtFirstWait = letGo ? &holder : nullptr;
        Counting = true;
        SendMessageW(edit, message, 0, 0);
        Counting = false;
        LetGoAtFirstWait = nullptr;
    }

    HWND edit = nullptr;
};

TEST_F(HeldClipboard, APasteWaitsForTheClipboard) {
    // Taken as it is by the field's own paste, and folded to ASCII by the line's.
    const wchar_t* pastes[] = {L"7*6", L"７＊６"};
    for (const wchar_t* paste : pastes) {
        ASSERT_TRUE(gui::SetClipboardText(std::wstring(paste)));
        SetField(L"", 0, 0);
        Waits = 0;
        WhileHeld(WM_PASTE, true);
        EXPECT_EQ(Field(), L"7*6");
        EXPECT_EQ(Waits, 1);
    }
    EXPECT_EQ(Beeps, 0);
}

TEST_F(HeldClipboard, ACopyOrCutWaitsForTheClipboardAndTakesTheSelectionOnly) {
    const struct {
        UINT message;
        const wchar_t* text;
        int start, end;
        const wchar_t* copied;
        const wchar_t* left;
    } cases[] = {
        {WM_COPY, L"8-5", 0, 3, L"8-5", L"8-5"},
        {WM_COPY, L"12*3=36", 5, 7, L"36", L"12*3=36"},
        // A double-byte character in front of the selection: positions count characters.
        {WM_COPY, L"\x3042+1=?", 1, 3, L"+1", L"\x3042+1=?"},
        {WM_CUT, L"2^10=1024", 0, 4, L"2^10", L"=1024"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(gui::SetClipboardText(std::wstring(L"before")));
        SetField(c.text, c.start, c.end);
        WhileHeld(c.message, true);
        EXPECT_EQ(ClipboardText(), c.copied) << c.copied;
        EXPECT_EQ(Field(), c.left) << c.copied;
    }
    EXPECT_EQ(Beeps, 0);
}

TEST_F(HeldClipboard, AClipboardThatStaysHeldIsGivenUpWithABeepAndNothingChanged) {
    ASSERT_TRUE(gui::SetClipboardText(std::wstring(L"7*6")));
    const UINT messages[] = {WM_PASTE, WM_COPY, WM_CUT};
    for (UINT message : messages) {
        SetField(L"8-5", 0, 3);
        Waits = 0;
        WaitedMs = 0;
        Beeps = 0;
        DWORD sequence = GetClipboardSequenceNumber();
        WhileHeld(message, false);
        EXPECT_EQ(Field(), L"8-5") << message;
        EXPECT_EQ(GetClipboardSequenceNumber(), sequence) << message;
        EXPECT_EQ(Beeps, 1) << message;
        // A few attempts spread over about a tenth of a second.
        EXPECT_EQ(Waits, ClipboardAttempts - 1) << message;
        EXPECT_GE(WaitedMs, 50u);
        EXPECT_LE(WaitedMs, 200u);
    }
    EXPECT_EQ(ClipboardText(), L"7*6");
}

TEST_F(HeldClipboard, NothingSelectedCopiesNothing) {
    ASSERT_TRUE(gui::SetClipboardText(std::wstring(L"before")));
    SetField(L"8-5", 3, 3);
    Counting = true;
    SendMessageW(edit, WM_COPY, 0, 0);
    SendMessageW(edit, WM_CUT, 0, 0);
    Counting = false;
    EXPECT_EQ(ClipboardText(), L"before");
    EXPECT_EQ(Field(), L"8-5");
    EXPECT_EQ(Beeps, 0);
}

// End to end: this process holds the clipboard while the real program pastes or copies, and lets
// go once the program is seen waiting for it (it answers no message meanwhile).
class HeldByAnotherProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(gui::StartTolvex(gui::FreshDirectory(TestName()), &tolvex));
    }
    void TearDown() override {
        gui::SendCommand(tolvex, IDM_EXIT);
        EXPECT_TRUE(gui::Ends(&tolvex));
    }

    bool Answers() {
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(tolvex.window, WM_NULL, 0, 0, SMTO_NORMAL, 5, &result) != 0;
    }
    // Holds the clipboard while posted (a message to the program) is handled.
    void HoldDuring(HWND window, UINT message, WPARAM wParam) {
        ASSERT_TRUE(gui::WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }));
        PostMessageA(window, message, wParam, 0);
        bool waited = gui::WaitUntil([&] { return !Answers(); });
        CloseClipboard();
        EXPECT_TRUE(waited) << "the program was never seen waiting for the clipboard";
    }

    gui::Tolvex tolvex;
};

TEST_F(HeldByAnotherProgram, ThePasteArrives) {
    ASSERT_TRUE(gui::SetClipboardText(std::string("7*6=")));
    HoldDuring(tolvex.edit, WM_CHAR, 0x16); // Ctrl+V
    EXPECT_TRUE(gui::WaitUntil([&] { return gui::WindowText(tolvex.combo) == "7*6=42"; }));
}

TEST_F(HeldByAnotherProgram, TheCopyArrives) {
    SendMessageA(tolvex.combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("8-5=3"));
    SendMessageA(tolvex.edit, EM_SETSEL, 0, -1);
    ASSERT_TRUE(gui::SetClipboardText(std::string("before")));
    HoldDuring(tolvex.window, WM_COMMAND, IDM_COPY);
    EXPECT_TRUE(gui::WaitUntil([] { return ClipboardText() == L"8-5=3"; }));
}

} // namespace
