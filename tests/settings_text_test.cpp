#include "rules/settings_text.h"

#include <gtest/gtest.h>

namespace orvanta {
namespace {

// A key set in a text: the text that results, and the value read back.
TEST(SettingsText, SetKeepsEverythingElse) {
    const struct {
        const char* before;
        const char* key;
        const char* value;
        const char* after;
    } cases[] = {
        {"", "countdown/target", "next", "[countdown]\ntarget=next\n"},
        {"; mine\n[countdown]\ntarget=2003\n\n[sky]\nname=Paris\n", "countdown/target", "next",
         "; mine\n[countdown]\ntarget=next\n\n[sky]\nname=Paris\n"},
        {"[countdown]\r\nother=1\r\n\r\n[sky]\n", "countdown/target", "2003",
         "[countdown]\r\nother=1\r\ntarget=2003\r\n\r\n[sky]\n"},
        // A CR that ends a line's bytes is no line end: given one, it stays in the line.
        {"[b]\r\r", "countdown/target", "next", "[b]\r\r\r\n\n[countdown]\ntarget=next\n"},
        {"[a]\r\nk=1", "a/k", "2", "[a]\r\nk=2"},
        {"[a]\r\nk=1", "a/j", "2", "[a]\r\nk=1\r\nj=2\r\n"},
        {"[a]\nk=x\ry\nj=1\n", "a/j", "2", "[a]\nk=x\ry\nj=2\n"},
        {"; c\r\n# d\r\n[s]\r\nq=\"a, b\"\r\n", "s/n", "v",
         "; c\r\n# d\r\n[s]\r\nq=\"a, b\"\r\nn=v\r\n"},
        {"[sky]\nlatitude=1\n", "sky/name", "52.5, 13.4",
         "[sky]\nlatitude=1\nname=\"52.5, 13.4\"\n"},
        {"[a]\nk=1\n", "b/k", " \"q\\ ", "[a]\nk=1\n\n[b]\nk=\" \\\"q\\\\ \"\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before);
        std::optional<SettingsText> text = SettingsText::parse(c.before);
        ASSERT_TRUE(text);
        text->set(c.key, c.value);
        EXPECT_EQ(text->text(), c.after);
        EXPECT_EQ(SettingsText::parse(text->text())->value(c.key), c.value);
    }
}

// Whatever key is set in whatever text, every other key reads as it did.
TEST(SettingsText, SetLeavesOtherKeysAlone) {
    const char* const texts[] = {"[b]\r\r", "[a]\r\nk=1\r\n[b]\r\r\nk=2",
                                 "k=0\r[a]\nk=1\r\n\r\n[a]\rk=3\n[b]\nk=\"x\\\r\"",
                                 "[a]\n k = \" 1 \" \n;[b]\n#k=2\n[b]\r\nk=3\r"};
    const char* const keys[] = {"General/k", "a/k", "b/k", "c/k", "a/j"};
    for (const char* before : texts) {
        for (const char* key : keys) {
            SCOPED_TRACE(testing::Message() << before << " with " << key);
            const std::optional<SettingsText> was = SettingsText::parse(before);
            ASSERT_TRUE(was);
            std::optional<SettingsText> text = was;
            text->set(key, "v\r");
            const std::optional<SettingsText> again = SettingsText::parse(text->text());
            ASSERT_TRUE(again);
            for (const char* other : keys) {
                EXPECT_EQ(again->value(other), other == key ? "v\r" : was->value(other)) << other;
            }
        }
    }
}

TEST(SettingsText, ValuesAsKept) {
    const auto text = SettingsText::parse("x=1\n[s]\n  k = a b \n;k=c\nk=\"d,e\"\n[t]\nk=f\n");
    ASSERT_TRUE(text);
    EXPECT_EQ(text->value("General/x"), "1");
    EXPECT_EQ(text->value("s/k"), "d,e") << "the last one holds, a comment is none";
    EXPECT_EQ(text->value("t/k"), "f");
    EXPECT_FALSE(text->value("s/x"));
    EXPECT_FALSE(SettingsText::parse(std::string_view("k=\0", 3)));
    EXPECT_FALSE(SettingsText::parse("k=\xff\xfe"));
    EXPECT_FALSE(SettingsText::parse("k=\xc3"));
    EXPECT_TRUE(SettingsText::parse("k=Troms\xc3\xb8"));
}

TEST(SettingsText, KeptValuesAreCheckedAsTyped) {
    EXPECT_EQ(settingFlag("true"), true);
    EXPECT_FALSE(settingFlag("1"));
    for (const char* bad : {"nan", "inf", "1e308", "abc", "", "52.5x", "-91"}) {
        EXPECT_FALSE(settingNumber(bad, -90, 90)) << bad;
    }
    EXPECT_EQ(settingNumber("-33.87", -90, 90), -33.87);
    using Record = std::optional<std::pair<double, int>>;
    EXPECT_EQ(settingReminderRecord("2461456.508950/1", 4), Record({2461456.50895, 1}));
    for (const char* bad : {"2461456.508950/-99999", "2461456.508950/4", "2461456.5/1",
                            "2461456.508950/1.0", "2461456.508950", "nan.000000/1", "/"}) {
        EXPECT_FALSE(settingReminderRecord(bad, 4)) << bad;
    }
}

} // namespace
} // namespace orvanta
