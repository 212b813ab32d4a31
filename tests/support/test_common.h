// Helpers every test suite may use, natively and under Wine: the running test's name and whole
// files read and written as bytes.
#pragma once

#include <string>
#include <vector>

// "Suite.Case" of the running GoogleTest case, for names of scratch files and directories.
std::string TestName();

// Writes text to path byte for byte, replacing the file; a file that cannot be written fails the
// running test.
void WriteTextFile(const std::string& path, const std::string& text);
// The bytes of the file; empty when it cannot be read.
std::string ReadTextFile(const std::string& path);

// The section names of a profile text in file order.
std::vector<std::string> SectionNames(const std::string& text);
// The non-blank lines of one section of a profile text, in file order.
std::vector<std::string> SectionLines(const std::string& text, const std::string& section);

// A profile text of the section "Settings" holding lines (each ended by "\r\n").
std::string SettingsFile(const std::string& lines);
