#include <QCoreApplication>

#include <gtest/gtest.h>

// Socket notifiers need an application object and its event loop.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
