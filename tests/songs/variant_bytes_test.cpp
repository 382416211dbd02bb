// The VARIANT that the WinHttp object's "ResponseBody" yields, as bytes.
#include "songs/request_object_win32.h"

#include <gtest/gtest.h>

#include <oleauto.h>

#include <memory>
#include <vector>

namespace tavenro {
namespace {

struct ArrayFree {
    void operator()(SAFEARRAY* array) const { ::SafeArrayDestroy(array); }
};
using Array = std::unique_ptr<SAFEARRAY, ArrayFree>;

// An array of the element type with the given extents (first dimension
// first, lower bounds 1), filled with 1, 2, 3 ... in storage order.
Array MakeArray(VARTYPE element, std::vector<ULONG> extents) {
    std::vector<SAFEARRAYBOUND> bounds;
    for (ULONG extent : extents)
        bounds.push_back({extent, 1});
    Array array(::SafeArrayCreate(element, static_cast<UINT>(bounds.size()), bounds.data()));
    void* data = nullptr;
    if (array && SUCCEEDED(::SafeArrayAccessData(array.get(), &data))) {
        const ULONG size = ::SafeArrayGetElemsize(array.get());
        ULONG count = 1;
        for (ULONG extent : extents)
            count *= extent;
        for (ULONG i = 0; i < count * size; ++i)
            static_cast<std::uint8_t*>(data)[i] = static_cast<std::uint8_t>(i / size + 1);
        ::SafeArrayUnaccessData(array.get());
    }
    return array;
}

VARIANT Holding(VARTYPE type, SAFEARRAY* array) {
    VARIANT value;
    ::VariantInit(&value);
    value.vt = type;
    value.parray = array;
    return value;
}

Bytes Counting(int n) {
    Bytes bytes;
    for (int i = 1; i <= n; ++i)
        bytes.push_back(static_cast<std::uint8_t>(i));
    return bytes;
}

TEST(BytesOfVariant, ByteArraysOfAnyShape) {
    struct Case {
        const char* name;
        VARTYPE element;
        std::vector<ULONG> extents;
        Bytes bytes;
    };
    const Case cases[] = {
        {"unsigned, one dimension", VT_UI1, {5}, Counting(5)},
        {"signed, one dimension", VT_I1, {3}, Counting(3)},
        {"two dimensions", VT_UI1, {3, 2}, Counting(6)},
        {"three dimensions", VT_UI1, {2, 2, 2}, Counting(8)},
        {"empty", VT_UI1, {0}, Bytes()},
        {"two-byte elements", VT_I2, {4}, Bytes()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Array array = MakeArray(c.element, c.extents);
        ASSERT_TRUE(array);
        EXPECT_EQ(BytesOfVariant(Holding(VT_ARRAY | c.element, array.get())), c.bytes);
    }
}

TEST(BytesOfVariant, ArrayByReference) {
    const Array array = MakeArray(VT_UI1, {4});
    SAFEARRAY* held = array.get();
    VARIANT value;
    ::VariantInit(&value);
    value.vt = VT_BYREF | VT_ARRAY | VT_UI1;
    value.pparray = &held;
    EXPECT_EQ(BytesOfVariant(value), Counting(4));
}

TEST(BytesOfVariant, AnythingElseIsEmpty) {
    VARIANT empty;
    ::VariantInit(&empty);
    EXPECT_EQ(BytesOfVariant(empty), Bytes());

    VARIANT text;
    ::VariantInit(&text);
    text.vt = VT_BSTR;
    text.bstrVal = ::SysAllocString(L"abc");
    EXPECT_EQ(BytesOfVariant(text), Bytes());
    ::VariantClear(&text);

    VARIANT number;
    ::VariantInit(&number);
    number.vt = VT_UI1;
    number.bVal = 7;
    EXPECT_EQ(BytesOfVariant(number), Bytes());

    EXPECT_EQ(BytesOfVariant(Holding(VT_ARRAY | VT_UI1, nullptr)), Bytes());
}

} // namespace
} // namespace tavenro
