#pragma once

// What the test programs do with a broken rule (TARN_ASSERT): the running
// test fails there, whatever thread broke it.
#include "framework/Assert.h"

#include <gtest/gtest.h>

namespace testsupport {

inline void failTheTest(const char* condition, const char* file, int line, const char* what)
{
    ADD_FAILURE_AT(file, line) << "broken rule: " << what << " (" << condition << ")";
}

inline void failTestsOnBrokenRules()
{
    fw::setAssertHandler(&failTheTest);
}

} // namespace testsupport
