// The QApplication that widget tests need, made once for the whole test program before the
// first test and removed after the last.
#include <QApplication>
#include <gtest/gtest.h>
#include <memory>

namespace {

class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "quarnel-tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

// Registered while the test program starts, before main runs the tests.
[[maybe_unused]] const bool kRegistered =
    (::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment), true);

} // namespace
