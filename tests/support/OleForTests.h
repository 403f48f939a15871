#pragma once

// OLE for a test suite, with the tests' own controls (tests/doubles/OccTestControl.h) registered for the process:
// made once in a suite's SetUpTestSuite, let go in its TearDownTestSuite, and asked by each test whether it worked.

#include <gtest/gtest.h>

#include "framework/Scoped.h"
#include "tests/doubles/OccTestControl.h"

class COleForTests
{
public:
    COleForTests() : m_registered(m_ole.Ok() ? occtest::RegisterControls() : E_FAIL) {}
    ~COleForTests()
    {
        if (SUCCEEDED(m_registered))
            occtest::RevokeControls();
    }
    COleForTests(const COleForTests&) = delete;
    COleForTests& operator=(const COleForTests&) = delete;

    // Success, or which of the two failed.
    ::testing::AssertionResult Ok() const
    {
        if (!m_ole.Ok())
            return ::testing::AssertionFailure() << "OLE did not start";
        if (FAILED(m_registered))
            return ::testing::AssertionFailure() << "the test controls were not registered: 0x" << std::hex
                                                 << static_cast<unsigned long>(m_registered);
        return ::testing::AssertionSuccess();
    }

private:
    CScopedOle m_ole;
    HRESULT m_registered;
};
