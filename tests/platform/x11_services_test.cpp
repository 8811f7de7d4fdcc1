#include "platform/x11/x11_services.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

TEST(X11Services, ADisplayThatCannotBeOpenedGivesNoServicesAndSaysWhich)
{
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(openX11Services(":4242"), nullptr);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("cannot open the X display :4242"), std::string::npos);
}

}  // namespace
}  // namespace kivo
