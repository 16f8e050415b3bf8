#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "Glyphtool.h"

namespace testing_glyphtool {

// A run refused as a failed command is: status 1 and one line of error
// holding `reason`.
inline void ExpectRefusal(const Result& run, const std::string& reason) {
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
}

}  // namespace testing_glyphtool
