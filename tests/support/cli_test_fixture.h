#pragma once
// A test of veltrane-cli on real files: a fresh temporary folder for each test, removed afterwards,
// and the built program run on it.

#include "support/cli_runner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdlib.h>
#include <string>
#include <system_error>
#include <vector>

namespace veltrane::testing {

// A whole file as bytes; empty when it cannot be read.
inline std::string slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class CliTestFixture : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "veltrane-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        if (!m_dir.empty())
            std::filesystem::remove_all(m_dir, ignored);
    }

    std::string file(const std::string& name) const { return (m_dir / name).string(); }

#ifdef VELTRANE_CLI
    RunResult cli(const std::vector<std::string>& args) const { return runCli(args); }
#endif

    // Parses JSON with Python's own parser and prints what the expression computes from it as `d`.
    RunResult python(const std::string& json, const std::string& expression) const {
        const std::string input = file("show.json");
        std::ofstream(input, std::ios::binary) << json;
        const std::string script = "import json, sys\n"
                                   "d = json.load(open(sys.argv[1], encoding='utf-8'))\n"
                                   "print(" +
                                   expression + ")\n";
        return runProgram("/usr/bin/python3", {"-c", script, input});
    }

    std::filesystem::path m_dir;
};

} // namespace veltrane::testing
