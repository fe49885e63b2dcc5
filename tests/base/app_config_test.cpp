#include "base/app_config.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

// A back end in test memory that records its lookups: values as bytes, or
// as text when it keeps text.
struct FakeNode {
    std::string bytes;
    std::wstring text;
    std::map<std::string, std::unique_ptr<FakeNode>> children;
};

class FakeConfig : public cApplicationConfig {
public:
    explicit FakeConfig(bool text) : keeps_text(text) {}

    FakeNode root;
    std::vector<std::string> lookups;

    void* GetRoot() override { return &root; }
    void* GetChild(const char* name, void* parent, bool create) override
    {
        lookups.push_back(name);
        auto& children = static_cast<FakeNode*>(parent)->children;
        auto found = children.find(name);
        if (found != children.end())
            return found->second.get();
        if (!create)
            return nullptr;
        return (children[name] = std::unique_ptr<FakeNode>(new FakeNode)).get();
    }
    bool GetValueSize(void* node, uint32_t& size) override
    {
        if (!node)
            return false;
        size = uint32_t(static_cast<FakeNode*>(node)->bytes.size());
        return true;
    }
    bool GetValue(void* destination, uint32_t capacity, void* node) override
    {
        if (!node || !destination)
            return false;
        const std::string& bytes = static_cast<FakeNode*>(node)->bytes;
        memcpy(destination, bytes.data(), std::min<size_t>(capacity, bytes.size()));
        return !bytes.empty();
    }
    bool SetValue(const void* data, uint32_t size, void* node) override
    {
        if (!node)
            return false;
        static_cast<FakeNode*>(node)->bytes.assign(static_cast<const char*>(data), size);
        return true;
    }
    bool GetValueText(_guardchar<wchar_t>& out, void* node) override
    {
        if (!keeps_text || !node)
            return false;
        out.Assign(static_cast<FakeNode*>(node)->text.c_str());
        return true;
    }
    bool SetValueText(const wchar_t* text, int32_t length, void* node) override
    {
        if (!keeps_text || !node)
            return false;
        static_cast<FakeNode*>(node)->text = length < 0 ? std::wstring(text) : std::wstring(text, size_t(length));
        return true;
    }
    bool KeepsText() override { return keeps_text; }
    bool OpenStore(const wchar_t*) override { return true; }

    FakeNode* Node(const char* key) { return static_cast<FakeNode*>(FindNode(key, false)); }

private:
    bool keeps_text;
};

TEST(AppConfigKeys, EachNameIsLookedUpInTurnAndEmptyNamesCount)
{
    FakeConfig config(false);
    EXPECT_EQ(config.FindNode(nullptr, true), &config.root);
    EXPECT_EQ(config.FindNode("", true), &config.root);
    EXPECT_TRUE(config.lookups.empty());

    EXPECT_NE(config.FindNode("a//b/", true), nullptr);
    EXPECT_EQ(config.lookups, (std::vector<std::string>{"a", "", "b", ""}));

    config.lookups.clear();
    EXPECT_EQ(config.FindNode("a/x/y", false), nullptr);
    EXPECT_EQ(config.lookups, (std::vector<std::string>{"a", "x"}));
}

TEST(AppConfigRaw, NumbersAreLittleEndianBytesOfTheirWidth)
{
    FakeConfig config(false);
    ASSERT_TRUE(config.WriteInt16("n/16", -2));
    ASSERT_TRUE(config.WriteInt32("n/32", 0x01020304));
    ASSERT_TRUE(config.WriteInt64("n/64", -0x0102030405060708ll));
    EXPECT_EQ(config.Node("n/16")->bytes, std::string("\xfe\xff", 2));
    EXPECT_EQ(config.Node("n/32")->bytes, std::string("\x04\x03\x02\x01", 4));
    EXPECT_EQ(config.Node("n/64")->bytes, std::string("\xf8\xf8\xf9\xfa\xfb\xfc\xfd\xfe", 8));
    EXPECT_EQ(config.GetInt16("n/16"), -2);
    EXPECT_EQ(config.GetInt32("n/32"), 0x01020304);
    EXPECT_EQ(config.GetInt64("n/64"), -0x0102030405060708ll);
}

TEST(AppConfigRaw, ShortValuesWidenWithoutSignAndOnlyOneToEightBytesRead)
{
    FakeConfig config(false);
    const struct {
        std::string bytes;
        bool ok;
        int64_t value;
    } cases[] = {
        {"", false, 0},
        {"\xff", true, 0xff},
        {"\xff\xff", true, 0xffff},
        {"\x01\x02\x03", true, 0x030201},
        {"\xff\xff\xff\xff\xff\xff\xff\xff", true, -1},
        {std::string(9, '\x01'), false, 0},
    };
    for (const auto& c : cases) {
        config.WriteBytes("v/x", c.bytes.data(), uint32_t(c.bytes.size()));
        int64_t value = 77;
        EXPECT_EQ(config.ReadInt64("v/x", value), c.ok) << c.bytes.size();
        EXPECT_EQ(value, c.ok ? c.value : 77);
        EXPECT_EQ(config.GetInt64("v/x"), c.value);
    }
    config.WriteBytes("v/x", "\xff\xff", 2);
    EXPECT_EQ(config.GetInt16("v/x"), -1);
    EXPECT_EQ(config.GetInt32("v/x"), 65535);
    EXPECT_EQ(config.GetInt32("v/missing"), 0);
}

TEST(AppConfigRaw, TextIsStoredAsUtf8WithoutTerminator)
{
    FakeConfig config(false);
    ASSERT_TRUE(config.WriteString("t/a", L"gr\u00f6\u00dfe \u65e5\u672c", -1));
    EXPECT_EQ(config.Node("t/a")->bytes, "gr\xc3\xb6\xc3\x9f" "e \xe6\x97\xa5\xe6\x9c\xac");
    ASSERT_TRUE(config.WriteString("t/b", L"abcdef", 3));
    EXPECT_EQ(config.Node("t/b")->bytes, "abc");

    _guardchar<wchar_t> text;
    ASSERT_TRUE(config.ReadString("t/a", text));
    EXPECT_STREQ(text.Text(), L"gr\u00f6\u00dfe \u65e5\u672c");

    ASSERT_TRUE(config.WriteString("t/a", L"", -1));
    EXPECT_EQ(config.Node("t/a")->bytes, "");
    ASSERT_TRUE(config.ReadString("t/a", text));
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_FALSE(config.ReadString("t/none", text));
}

TEST(AppConfigRaw, BytesReadBackWhole)
{
    FakeConfig config(false);
    std::string data(1000, '\0');
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = char(i * 13);
    ASSERT_TRUE(config.WriteBytes("b/x", data.data(), uint32_t(data.size())));
    _typebuf<uint8_t> out;
    ASSERT_TRUE(config.ReadBytes("b/x", out));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out.Data()), size_t(out.Count())), data);

    ASSERT_TRUE(config.WriteBytes("b/x", nullptr, 0));
    ASSERT_TRUE(config.ReadBytes("b/x", out));
    EXPECT_EQ(out.Count(), 0);
    EXPECT_FALSE(config.ReadBytes("b/none", out));
}

TEST(AppConfigText, NumbersAreDecimalTextAndTextIsParsed)
{
    FakeConfig config(true);
    ASSERT_TRUE(config.WriteInt16("n/16", -32768));
    ASSERT_TRUE(config.WriteInt32("n/32", -2147483647 - 1));
    ASSERT_TRUE(config.WriteInt64("n/64", -9223372036854775807ll - 1));
    EXPECT_EQ(config.Node("n/16")->text, L"-32768");
    EXPECT_EQ(config.Node("n/32")->text, L"-2147483648");
    EXPECT_EQ(config.Node("n/64")->text, L"-9223372036854775808");
    EXPECT_EQ(config.GetInt64("n/64"), -9223372036854775807ll - 1);

    const struct {
        const wchar_t* text;
        int64_t value;
    } cases[] = {{L"", 0}, {L" \t\r\n42", 42}, {L"0x1F", 31}, {L"0XfF", 255}, {L"-17", -17}};
    for (const auto& c : cases) {
        ASSERT_TRUE(config.WriteString("n/t", c.text, -1));
        int64_t value = 77;
        EXPECT_TRUE(config.ReadInt64("n/t", value));
        EXPECT_EQ(value, c.value);
    }
    _guardchar<wchar_t> text;
    ASSERT_TRUE(config.ReadString("n/t", text));
    EXPECT_STREQ(text.Text(), L"-17");
    EXPECT_FALSE(config.WriteBytes("n/b", "x", 1));
}

TEST(AppConfigDefaults, TheBaseAnswersFalseWhereABackEndHasNothingToSay)
{
    FakeConfig config(false);
    EXPECT_FALSE(config.cApplicationConfig::CreateStore(L"x"));
    EXPECT_FALSE(config.Save());
    EXPECT_FALSE(config.Revert());
    ASSERT_TRUE(config.WriteInt32("a/b", 1));
    EXPECT_FALSE(config.DeleteKey("a/b"));
    EXPECT_FALSE(config.HasKey("a/b"));
    EXPECT_FALSE(config.EnumChildren("a", [](const char*, void*) { return true; }, nullptr));
    _guardchar<wchar_t> text;
    EXPECT_FALSE(config.cApplicationConfig::GetValueText(text, config.Node("a/b")));
    EXPECT_FALSE(config.cApplicationConfig::SetValueText(L"x", -1, config.Node("a/b")));
    EXPECT_FALSE(config.cApplicationConfig::GetValue(&text, 1, config.Node("a/b")));
    EXPECT_FALSE(config.cApplicationConfig::SetValue("x", 1, config.Node("a/b")));
}

}  // namespace
