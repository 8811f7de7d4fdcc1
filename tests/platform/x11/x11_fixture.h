#pragma once

#include "platform/x11/x11_services.h"
#include "support/private_xvfb.h"
#include "support/waits.h"

#include <gtest/gtest.h>

#include <memory>

namespace kivo {

// One private X server per test suite; each test gets Kivo's services on it.
class X11Test : public ::testing::Test {
protected:
    static void SetUpTestSuite() { xvfb_ = std::make_unique<test_support::PrivateXvfb>(); }
    static void TearDownTestSuite() { xvfb_.reset(); }

    void openServices()
    {
        services_ = openX11Services(displayName());
        ASSERT_NE(services_, nullptr);
    }

    static const std::string& displayName() { return xvfb_->displayName(); }

    inline static std::unique_ptr<test_support::PrivateXvfb> xvfb_;
    std::unique_ptr<X11Services> services_;
};

// Asks until the answer is the expected one or the wait gives up, and returns the last answer:
// the services learn of changes from events, which arrive a moment later.
template <typename Read, typename Value>
Value settled(Read read, const Value& expected)
{
    Value value = read();
    test_support::waitFor([&] {
        value = read();
        return value == expected;
    });
    return value;
}

}  // namespace kivo
