// The settings store in the Windows registry: the key, the kinds and bytes of its values as
// other programs see them, values of the wrong kind, and values that outlive their writer.
#include <gtest/gtest.h>

#include <windows.h>

#include <process.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/settings_store.h"
#include "settings_sandbox.h"
#include "settings_store_sample.h"

namespace {

using platform::SettingsStore;

const wchar_t* const kKey = L"SOFTWARE\\QZA-tonefold\\QZAChordwell";

struct RawValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
};

// The value as the registry holds it, read without the store.
RawValue raw(const wchar_t* name) {
    RawValue value;
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kKey, name, RRF_RT_ANY | RRF_NOEXPAND, &value.type, nullptr, &size) !=
        ERROR_SUCCESS) {
        return value;
    }
    value.bytes.resize(size);
    RegGetValueW(HKEY_CURRENT_USER, kKey, name, RRF_RT_ANY | RRF_NOEXPAND, &value.type, value.bytes.data(), &size);
    value.bytes.resize(size);
    return value;
}

void setRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kKey, name, type, data, size), ERROR_SUCCESS);
}

// Runs the client program beside this test program; its exit status.
int runClient(const SettingsSandbox& sandbox, const char* command) {
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring client(self, length);
    client = client.substr(0, client.find_last_of(L"\\/") + 1) + L"settings_store_client.exe";
    const std::wstring name(sandbox.name().begin(), sandbox.name().end());
    const std::wstring verb(command, command + std::strlen(command));
    return static_cast<int>(_wspawnl(_P_WAIT, client.c_str(), client.c_str(), name.c_str(), verb.c_str(), nullptr));
}

struct RegistryStore : ::testing::Test {
    SettingsSandbox sandbox;
};

TEST_F(RegistryStore, ValuesAreBinaryAndUtf16TextsUnderTheProductKey) {
    EXPECT_EQ(SettingsStore::location(), "HKEY_CURRENT_USER\\SOFTWARE\\QZA-tonefold\\QZAChordwell");
    const auto image = settingssample::image();
    ASSERT_TRUE(SettingsStore::write("DefaultPreset", image.data(), image.size()));
    const RawValue binary = raw(L"DefaultPreset");
    EXPECT_EQ(binary.type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(binary.bytes, std::vector<BYTE>(image.begin(), image.end()));

    ASSERT_TRUE(SettingsStore::writeText("CurrDir", "C:\\Zoë\\"));
    const RawValue text = raw(L"CurrDir");
    EXPECT_EQ(text.type, static_cast<DWORD>(REG_SZ));
    const wchar_t expected[] = L"C:\\Zo\u00EB\\";  // with its terminator
    ASSERT_EQ(text.bytes.size(), sizeof(expected));
    EXPECT_EQ(std::memcmp(text.bytes.data(), expected, sizeof(expected)), 0);
}

TEST_F(RegistryStore, ValuesOfAnotherKindAreIgnored) {
    const wchar_t name[] = L"Saiten.qza";
    setRaw(L"MemoA", REG_SZ, name, sizeof(name));
    unsigned char image[sizeof(name)] = {};
    EXPECT_FALSE(SettingsStore::read("MemoA", image, sizeof(image)));

    const unsigned char bytes[4] = {'a', 0, 'b', 0};
    setRaw(L"CurrBank", REG_BINARY, bytes, sizeof(bytes));
    EXPECT_FALSE(SettingsStore::readText("CurrBank", 256).has_value());

    // A text stored without its terminator by another program still reads whole.
    setRaw(L"CurrPreset", REG_SZ, L"Hall.qza", 8 * sizeof(wchar_t));
    EXPECT_EQ(SettingsStore::readText("CurrPreset", 256).value_or("?"), "Hall.qza");
}

// What one process writes, another reads, and the other way round; removals reach it too.
TEST_F(RegistryStore, ValuesOutliveTheProcessThatWroteThem) {
    ASSERT_EQ(runClient(sandbox, "write"), 0);
    const auto image = settingssample::image();
    auto back = decltype(image){};
    EXPECT_TRUE(SettingsStore::read("MemoB", back.data(), back.size()));
    EXPECT_EQ(back, image);
    EXPECT_EQ(SettingsStore::readText("CurrPreset", 256).value_or("?"), settingssample::kText);

    ASSERT_TRUE(SettingsStore::remove("MemoB"));
    EXPECT_EQ(runClient(sandbox, "check"), 1);
    ASSERT_TRUE(SettingsStore::write("MemoB", image.data(), image.size()));
    EXPECT_EQ(runClient(sandbox, "check"), 0);
}

}  // namespace
