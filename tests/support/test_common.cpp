// Helpers every test suite may use: the running test's name and whole files.
#include "tests/support/test_common.h"

#include <cstdio>

#include <gtest/gtest.h>

std::string TestName() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string(info->test_suite_name()) + "." + info->name();
}

// Through the C library rather than streams: on Windows its narrow paths are in the ANSI code
// page, which the double-byte directory names of the settings tests need.
void WriteTextFile(const std::string& path, const std::string& text) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        ADD_FAILURE() << "cannot write " << path;
        return;
    }
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}

std::string ReadTextFile(const std::string& path) {
    std::string text;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return text;
    }
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        text.append(chunk, got);
    }
    std::fclose(file);
    return text;
}

std::string SettingsFile(const std::string& lines) {
    return "[Settings]\r\n" + lines;
}

namespace {

std::vector<std::string> TextLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool IsSectionHeader(const std::string& line) {
    return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

} // namespace

std::vector<std::string> SectionNames(const std::string& text) {
    std::vector<std::string> names;
    for (const std::string& line : TextLines(text)) {
        if (IsSectionHeader(line)) {
            names.push_back(line.substr(1, line.size() - 2));
        }
    }
    return names;
}

std::vector<std::string> SectionLines(const std::string& text, const std::string& section) {
    std::vector<std::string> lines;
    bool inside = false;
    for (const std::string& line : TextLines(text)) {
        if (IsSectionHeader(line)) {
            inside = line.substr(1, line.size() - 2) == section;
        } else if (inside && !line.empty()) {
            lines.push_back(line);
        }
    }
    return lines;
}
