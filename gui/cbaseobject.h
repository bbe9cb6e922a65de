// Reference counting shared by views, bitmaps and fonts. An object starts with one
// reference, owned by whoever created it; forget() deletes it when the last one goes.
#pragma once

#include <cstdint>

class CBaseObject {
public:
    CBaseObject() = default;
    // A copy is a new object with its own single reference.
    CBaseObject(const CBaseObject&) : nbReference(1) {}
    CBaseObject& operator=(const CBaseObject&) { return *this; }
    virtual ~CBaseObject() = default;

    void remember() { ++nbReference; }
    void forget() {
        if (--nbReference == 0) delete this;
    }
    std::int32_t getNbReference() const { return nbReference; }

private:
    std::int32_t nbReference = 1;
};
