#include "settings/FieldCheck.h"

#include <gtest/gtest.h>
#include <string>

namespace quarnel {
namespace {

struct FieldCase {
    Text field;
    std::string text;
    bool accepted;
};

class FieldCheckTest : public ::testing::TestWithParam<FieldCase> {};

TEST_P(FieldCheckTest, AcceptsOrRefusesAsTheRangeSays) {
    const auto& c = GetParam();
    const FieldCheck* refusal = refusalFor(c.field, c.text);
    EXPECT_EQ(refusal == nullptr, c.accepted) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, FieldCheckTest,
    ::testing::Values(
        FieldCase{Text::GamePort, "65000", true}, FieldCase{Text::GamePort, "65001", false},
        FieldCase{Text::GamePort, "0", false}, FieldCase{Text::GamePort, "1", true},
        FieldCase{Text::GamePort, "abc", false}, FieldCase{Text::GamePort, "", false},
        FieldCase{Text::GamePort, " 7777 ", true}, FieldCase{Text::GamePort, "+80", true},
        FieldCase{Text::GamePort, "0.5", false},    // rounds to 0
        FieldCase{Text::GamePort, "1.5", true},     // rounds to 2
        FieldCase{Text::GamePort, "65000.5", true}, // rounds to 65000, the even one
        FieldCase{Text::GamePort, "64999.5", true}, FieldCase{Text::GamePort, "-1", false},
        FieldCase{Text::GamePort, "1e3", false}, FieldCase{Text::GamePort, "12 34", false},
        FieldCase{Text::GamePort, ".", false},
        FieldCase{Text::WebAdminPort, "12345678901234567890", false},
        FieldCase{Text::NetSpeed, "7000.4", true}, FieldCase{Text::NetSpeed, "25000.6", false},
        FieldCase{Text::NetSpeed, "25000.5", true}, FieldCase{Text::LanTickRate, "abc", false},
        FieldCase{Text::LanTickRate, "", false}, FieldCase{Text::LanTickRate, "50", true},
        FieldCase{Text::NetTickRate, "51", false}, FieldCase{Text::LanSpeed, "25000", true},
        // Fields without a check accept anything.
        FieldCase{Text::TimeLimit, "abc", true}, FieldCase{Text::ServerName, "", true}));

TEST(FieldCheck, RefusalCarriesMessageTitleAndDefault) {
    const FieldCheck* refusal = refusalFor(Text::GamePort, "65001");
    ASSERT_NE(refusal, nullptr);
    EXPECT_EQ(refusal->message, "Must be a number between 1 and 65000");
    EXPECT_EQ(refusal->title, "Game Port");
    EXPECT_EQ(refusal->defaultText, "7777");
    const FieldCheck* lan = refusalFor(Text::LanTickRate, "");
    ASSERT_NE(lan, nullptr);
    EXPECT_EQ(lan->message, "Must be a number between 1 and 50");
    EXPECT_EQ(lan->title, "LAN Tick Rate");
    EXPECT_EQ(lan->defaultText, "35");
}

TEST(FieldCheck, DefaultsAreTheDesignTexts) {
    for (const auto& check : kFieldChecks)
        EXPECT_EQ(check.defaultText, control(check.field).designText) << check.title;
}

} // namespace
} // namespace quarnel
