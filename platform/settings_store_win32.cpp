// The settings store on Windows: the registry key "SOFTWARE\QZA-tonefold\QZAChordwell" under
// HKEY_CURRENT_USER, one registry value per value: binary values as REG_BINARY, texts as REG_SZ
// in UTF-16 with their terminator. Every operation opens the key, does its one job and closes
// it again, all through the wide-character calls.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/settings_store.h"
#include "platform/utf16_win32.h"

namespace platform {

namespace {

constexpr const wchar_t* kVendorKey = L"SOFTWARE\\QZA-tonefold\\";
constexpr const wchar_t* kProductKey = L"QZAChordwell";

std::wstring keyPath() { return std::wstring(kVendorKey) + kProductKey; }

class Key {
public:
    // Opens the key for the given access, or creates it first when `create` is set.
    Key(REGSAM access, bool create) {
        const std::wstring path = keyPath();
        const LONG result =
            create ? RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                     nullptr, &key_, nullptr)
                   : RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, access, &key_);
        if (result != ERROR_SUCCESS) {
            key_ = nullptr;
            status_ = result;
        }
    }
    ~Key() {
        if (key_) RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    HKEY get() const { return key_; }
    bool missing() const { return status_ == ERROR_FILE_NOT_FOUND; }
    // Why the key could not be opened or created.
    LONG status() const { return status_; }

private:
    HKEY key_ = nullptr;
    LONG status_ = ERROR_SUCCESS;
};

std::optional<std::wstring> valueName(const char* name) {
    if (!name || !*name) return std::nullopt;
    return toUtf16(name);
}

Outcome setValue(const char* name, DWORD type, const void* data, std::size_t size) {
    const auto wideName = valueName(name);
    if (!wideName || size > MAXDWORD) return systemFailure(ERROR_INVALID_PARAMETER);
    Key key(KEY_WRITE, true);
    if (!key.get()) return systemFailure(key.status());
    const LSTATUS result =
        RegSetValueExW(key.get(), wideName->c_str(), 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size));
    if (result != ERROR_SUCCESS) return systemFailure(result);
    return {};
}

// The value's bytes when it has this type and at most `size` bytes.
std::optional<std::vector<BYTE>> queryValue(const char* name, DWORD wantedType, std::size_t size) {
    const auto wideName = valueName(name);
    if (!wideName || size > MAXDWORD) return std::nullopt;
    Key key(KEY_QUERY_VALUE, false);
    if (!key.get()) return std::nullopt;
    std::vector<BYTE> bytes(size);
    DWORD type = REG_NONE;
    DWORD got = static_cast<DWORD>(size);
    if (RegQueryValueExW(key.get(), wideName->c_str(), nullptr, &type, bytes.data(), &got) != ERROR_SUCCESS ||
        type != wantedType) {
        return std::nullopt;
    }
    bytes.resize(got);
    return bytes;
}

}  // namespace

std::string SettingsStore::location() { return "HKEY_CURRENT_USER\\" + toUtf8(keyPath()).value_or(""); }

Outcome SettingsStore::write(const char* name, const void* data, std::size_t size) {
    return setValue(name, REG_BINARY, data, size);
}

Outcome SettingsStore::writeText(const char* name, const std::string& text) {
    const auto wide = toUtf16(text);
    if (!wide || wide->find(L'\0') != std::wstring::npos) return systemFailure(ERROR_NO_UNICODE_TRANSLATION);
    return setValue(name, REG_SZ, wide->c_str(), (wide->size() + 1) * sizeof(wchar_t));
}

bool SettingsStore::read(const char* name, void* data, std::size_t size) {
    // One byte more than wanted tells a longer value from one of the right size.
    const auto bytes = queryValue(name, REG_BINARY, size + 1);
    if (!bytes || bytes->size() != size) return false;
    std::copy(bytes->begin(), bytes->end(), static_cast<BYTE*>(data));
    return true;
}

std::optional<std::string> SettingsStore::readText(const char* name, std::size_t maxSize) {
    // A UTF-8 text of maxSize bytes has at most maxSize UTF-16 units; one more for the
    // terminator. A longer value does not fit the buffer and is refused by the query.
    const auto bytes = queryValue(name, REG_SZ, (maxSize + 1) * sizeof(wchar_t));
    if (!bytes) return std::nullopt;
    std::wstring wide(bytes->size() / sizeof(wchar_t), L'\0');
    std::copy(bytes->begin(), bytes->begin() + static_cast<std::ptrdiff_t>(wide.size() * sizeof(wchar_t)),
              reinterpret_cast<BYTE*>(wide.data()));
    // The stored terminator, or whatever follows an early one, is not part of the text.
    wide.resize(std::min(wide.size(), wide.find(L'\0')));
    auto text = toUtf8(wide);
    if (!text || text->size() > maxSize) return std::nullopt;
    return text;
}

Outcome SettingsStore::remove(const char* name) {
    const auto wideName = valueName(name);
    if (!wideName) return systemFailure(ERROR_INVALID_PARAMETER);
    Key key(KEY_SET_VALUE, false);
    if (!key.get()) return key.missing() ? Outcome() : Outcome(systemFailure(key.status()));
    const LONG result = RegDeleteValueW(key.get(), wideName->c_str());
    if (result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND) return {};
    return systemFailure(result);
}

}  // namespace platform
