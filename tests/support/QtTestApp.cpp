// The QApplication that widget tests need, made before the first test, removed after the last.
#include <QApplication>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct QtApplicationEnvironment : ::testing::Environment {
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app.reset(); }

    int argc = 1;
    char name[16] = "quarnel-tests";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QApplication> app;
};

[[maybe_unused]] const bool kRegistered =
    (::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment), true);

} // namespace
