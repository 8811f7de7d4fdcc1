#include "platform/x11/x11_services.h"

#include "support/captured_stderr.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

TEST(X11Services, ADisplayThatCannotBeOpenedGivesNoServicesAndSaysWhich)
{
    const test_support::CapturedStderr errors;
    EXPECT_EQ(openX11Services(":4242"), nullptr);
    EXPECT_NE(errors.text().find("cannot open the X display :4242"), std::string::npos);
}

}  // namespace
}  // namespace kivo
