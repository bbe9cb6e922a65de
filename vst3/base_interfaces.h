// Our declarations of the VST3 binary interface's base: basic types, 16-byte IDs, FUnknown with
// its reference counting, the byte stream, the plug-in base and the module's factory. Written
// from the interface's published numbers and layouts; only what this plug-in and its test host
// use. Every interface is a class of pure virtual functions with no destructor, so its table of
// functions is laid out as the interface's binary form demands.
#pragma once

#include <cstdint>
#include <cstring>

#include "vst3_abi.h"

namespace vst3 {

using int16 = std::int16_t;
using int32 = std::int32_t;
using int64 = std::int64_t;
using uint32 = std::uint32_t;
using uint64 = std::uint64_t;
using char16 = char16_t;
using TBool = std::uint8_t;
using FIDString = const char*;
using String128 = char16[128];

// A 16-byte interface or class ID as it lies in memory (TUID).
struct Uid {
    char bytes[16];
};

constexpr Uid makeUid(uint32 l1, uint32 l2, uint32 l3, uint32 l4) {
    Uid uid{};
    storeIdWords(uid.bytes, l1, l2, l3, l4);
    return uid;
}

inline bool sameUid(const char* a, const Uid& b) { return a && std::memcmp(a, b.bytes, sizeof b.bytes) == 0; }

class FUnknown {
public:
    virtual tresult VST3_API queryInterface(const char* iid, void** obj) = 0;
    virtual uint32 VST3_API addRef() = 0;
    virtual uint32 VST3_API release() = 0;
    static constexpr Uid iid = makeUid(0x00000000, 0x00000000, 0xC0000000, 0x00000046);
};

class IBStream : public FUnknown {
public:
    enum SeekMode : int32 { kSeekSet = 0, kSeekCur = 1, kSeekEnd = 2 };
    virtual tresult VST3_API read(void* buffer, int32 numBytes, int32* numBytesRead) = 0;
    virtual tresult VST3_API write(void* buffer, int32 numBytes, int32* numBytesWritten) = 0;
    virtual tresult VST3_API seek(int64 pos, int32 mode, int64* result) = 0;
    virtual tresult VST3_API tell(int64* pos) = 0;
    static constexpr Uid iid = makeUid(0xC3BF6EA2, 0x30994752, 0x9B6BF990, 0x1EE33E9B);
};

class IPluginBase : public FUnknown {
public:
    virtual tresult VST3_API initialize(FUnknown* context) = 0;
    virtual tresult VST3_API terminate() = 0;
    static constexpr Uid iid = makeUid(0x22888DDB, 0x156E45AE, 0x8358B348, 0x08190625);
};

struct PFactoryInfo {
    enum : int32 { kNoFlags = 0, kClassesDiscardable = 1 << 0, kComponentNonDiscardable = 1 << 3, kUnicode = 1 << 4 };
    char vendor[64];
    char url[256];
    char email[128];
    int32 flags;
};

struct PClassInfo {
    enum : int32 { kManyInstances = 0x7FFFFFFF };
    char cid[16];
    int32 cardinality;
    char category[32];
    char name[64];
};

struct PClassInfo2 {
    char cid[16];
    int32 cardinality;
    char category[32];
    char name[64];
    uint32 classFlags;
    char subCategories[128];
    char vendor[64];
    char version[64];
    char sdkVersion[64];
};

struct PClassInfoW {
    char cid[16];
    int32 cardinality;
    char category[32];
    char16 name[64];
    uint32 classFlags;
    char subCategories[128];
    char16 vendor[64];
    char16 version[64];
    char16 sdkVersion[64];
};

class IPluginFactory : public FUnknown {
public:
    virtual tresult VST3_API getFactoryInfo(PFactoryInfo* info) = 0;
    virtual int32 VST3_API countClasses() = 0;
    virtual tresult VST3_API getClassInfo(int32 index, PClassInfo* info) = 0;
    virtual tresult VST3_API createInstance(FIDString cid, FIDString iid, void** obj) = 0;
    static constexpr Uid iid = makeUid(0x7A4D811C, 0x52114A1F, 0xAED9D2EE, 0x0B43BF9F);
};

class IPluginFactory2 : public IPluginFactory {
public:
    virtual tresult VST3_API getClassInfo2(int32 index, PClassInfo2* info) = 0;
    static constexpr Uid iid = makeUid(0x0007B650, 0xF24B4C0B, 0xA464EDB9, 0xF00B2ABB);
};

class IPluginFactory3 : public IPluginFactory2 {
public:
    virtual tresult VST3_API getClassInfoUnicode(int32 index, PClassInfoW* info) = 0;
    virtual tresult VST3_API setHostContext(FUnknown* context) = 0;
    static constexpr Uid iid = makeUid(0x4555A2AB, 0xC1234E57, 0x9B122910, 0x36878931);
};

// The category of audio effect classes.
inline constexpr const char* kAudioEffectClass = "Audio Module Class";

}  // namespace vst3
