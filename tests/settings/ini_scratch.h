// Test support for the settings store: a fresh profile file per case, its raw text, and the real
// hidden main window with its combo box that SaveSettings and the history work on.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ui/lineview.h"
#include "settings/settings.h"
#include "tests/support/files.h"
#include "tests/support/test_common.h"

// The Settings record as the program starts, before the default GUI font is copied in.
const SettingsRecord& StartSettings();

// Each case gets Settings at its start values with the default GUI font, IniPath naming a file
// that does not exist yet in a directory of its own, a hidden top-level MainWindow and an empty
// drop-down InputCombo.
class IniFileTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Points IniPath at a new file of its own (Wine caches the profile files it has read, so a
    // file is never rewritten behind its back); returns the path.
    std::string UseNewIniFile(const std::string& text = std::string());
    std::string IniText() const { return ReadTextFile(IniPath); }
    void ResetSettings();
    void AddHistoryItems(const std::vector<std::string>& items);
    std::vector<std::string> HistoryItems() const;

    std::string directory;
    int filesMade = 0;
};
