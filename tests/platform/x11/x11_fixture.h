#pragma once

#include "platform/x11/x11_services.h"
#include "support/private_xvfb.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

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

// Polls until the answer is the expected one or two seconds pass, and returns the last
// answer: the services learn of changes from events, which arrive a moment later.
template <typename Read, typename Value>
Value settled(Read read, const Value& expected)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    Value value = read();
    while (value != expected && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        value = read();
    }
    return value;
}

}  // namespace kivo
