// A fresh directory for one test's files, removed with everything in it when the test ends, and
// small helpers for whole-file bytes.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

class IoTempDir {
public:
    IoTempDir() {
        const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
        std::string name = info ? std::string(info->test_suite_name()) + "-" + info->name() : "test";
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '-';
        std::random_device random;
        auto base = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100; ++attempt) {
            path_ = base / ("ondrel-" + name + "-" + std::to_string(random()));
            if (std::filesystem::create_directory(path_)) return;
        }
        ADD_FAILURE() << "no temporary directory";
    }
    ~IoTempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    IoTempDir(const IoTempDir&) = delete;
    IoTempDir& operator=(const IoTempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // The full name of a file in the directory.
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    // Names of the files now in the directory, sorted.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path path_;
};

inline std::vector<uint8_t> ReadBytes(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> Bytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}
