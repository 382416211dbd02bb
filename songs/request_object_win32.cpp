// The request object under Windows: "WinHttp.WinHttpRequest.5.1" created
// from its ProgID and called by member name through IDispatch, inside its
// own CoInitialize/CoUninitialize.
#include "songs/request_object_win32.h"
#include "songs/request_object.h"

#include <windows.h>

#include <objbase.h>
#include <oleauto.h>

#include <array>
#include <limits>
#include <string_view>

namespace tavenro {

namespace {

constexpr wchar_t kProgId[] = L"WinHttp.WinHttpRequest.5.1";

// COM for the calling thread while the object lives. Only a successful
// CoInitialize (S_FALSE included: COM was already up) is balanced: undoing
// a failed one would end the caller's own initialisation.
class ComLibrary {
  public:
    ComLibrary() : initialised_(SUCCEEDED(::CoInitialize(nullptr))) {}
    ComLibrary(const ComLibrary&) = delete;
    ComLibrary& operator=(const ComLibrary&) = delete;
    ~ComLibrary() {
        if (initialised_)
            ::CoUninitialize();
    }

  private:
    bool initialised_;
};

struct ComRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};
template <class Interface> using ComPtr = std::unique_ptr<Interface, ComRelease>;

// VARIANTs owned until the scope ends; VariantClear frees what they hold
// (a BSTR, a SAFEARRAY).
template <std::size_t Count> class Variants {
  public:
    Variants() {
        for (VARIANT& value : values_)
            ::VariantInit(&value);
    }
    Variants(const Variants&) = delete;
    Variants& operator=(const Variants&) = delete;
    ~Variants() {
        for (VARIANT& value : values_)
            ::VariantClear(&value);
    }

    VARIANT& operator[](std::size_t i) { return values_[i]; }
    VARIANT* data() { return values_.data(); }

  private:
    std::array<VARIANT, Count> values_;
};

// A BSTR of the text read in the ANSI code page; null (COM's empty string)
// when it cannot be made.
BSTR AnsiToBstr(std::string_view text) {
    if (text.empty())
        return ::SysAllocStringLen(nullptr, 0);
    const int length = static_cast<int>(text.size());
    const int wide = ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    if (wide <= 0)
        return nullptr;
    BSTR result = ::SysAllocStringLen(nullptr, static_cast<UINT>(wide));
    if (result != nullptr)
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, result, wide);
    return result;
}

void SetText(VARIANT& value, std::string_view text) {
    value.vt = VT_BSTR;
    value.bstrVal = AnsiToBstr(text);
}

void SetBool(VARIANT& value, bool flag) {
    value.vt = VT_BOOL;
    value.boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
}

ComPtr<IDispatch> CreateObject() {
    CLSID id;
    if (FAILED(::CLSIDFromProgID(kProgId, &id)))
        return nullptr;
    IDispatch* object = nullptr;
    if (FAILED(::CoCreateInstance(id, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                  reinterpret_cast<void**>(&object))))
        return nullptr;
    return ComPtr<IDispatch>(object);
}

// Calls the member by name; the arguments are in IDispatch's order, the
// last one first. The value shows in result; whether the call succeeded is
// returned.
bool CallMember(IDispatch* object, const wchar_t* member, WORD kind, VARIANT* arguments, UINT count,
                VARIANT* result) {
    if (object == nullptr)
        return false;
    LPOLESTR name = const_cast<LPOLESTR>(member);
    DISPID id = 0;
    if (FAILED(object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id)))
        return false;
    DISPPARAMS parameters{arguments, nullptr, count, 0};
    EXCEPINFO exception{};
    const HRESULT outcome = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &parameters,
                                           result, &exception, nullptr);
    ::SysFreeString(exception.bstrSource);
    ::SysFreeString(exception.bstrDescription);
    ::SysFreeString(exception.bstrHelpFile);
    return SUCCEEDED(outcome);
}

class WinHttpRequestObject final : public RequestObject {
  public:
    WinHttpRequestObject() : object_(CreateObject()) {}

    void Open(std::string_view method, std::string_view url, bool asynchronous) override {
        Variants<3> arguments;
        SetBool(arguments[0], asynchronous);
        SetText(arguments[1], url);
        SetText(arguments[2], method);
        Variants<1> ignored;
        CallMember(object_.get(), L"Open", DISPATCH_METHOD, arguments.data(), 3, ignored.data());
    }

    void Send() override {
        Variants<1> ignored;
        sendFailed_ =
            !CallMember(object_.get(), L"Send", DISPATCH_METHOD, nullptr, 0, ignored.data());
    }

    // After a failed send Windows' object has no body to give; Wine's, after
    // a receive time-out, crashes the process when asked for it. So it is
    // not asked.
    Bytes ResponseBody() override {
        if (sendFailed_)
            return {};
        Variants<1> body;
        CallMember(object_.get(), L"ResponseBody", DISPATCH_PROPERTYGET, nullptr, 0, body.data());
        return BytesOfVariant(body[0]);
    }

  private:
    // Declared first, so that it ends after the object is released.
    ComLibrary com_;
    ComPtr<IDispatch> object_;
    bool sendFailed_ = false;
};

} // namespace

Bytes BytesOfVariant(const VARIANT& value) {
    const VARTYPE element = value.vt & VT_TYPEMASK;
    if ((value.vt & VT_ARRAY) == 0 || (element != VT_UI1 && element != VT_I1))
        return {};
    SAFEARRAY* array = (value.vt & VT_BYREF) != 0
                           ? (value.pparray != nullptr ? *value.pparray : nullptr)
                           : value.parray;
    if (array == nullptr || ::SafeArrayGetElemsize(array) != 1 || array->cDims == 0)
        return {};
    std::size_t count = 1;
    for (USHORT i = 0; i < array->cDims; ++i) {
        const std::size_t extent = array->rgsabound[i].cElements;
        if (extent != 0 && count > std::numeric_limits<std::size_t>::max() / extent)
            return {};
        count *= extent;
    }
    void* data = nullptr;
    if (FAILED(::SafeArrayAccessData(array, &data)))
        return {};
    const auto* first = static_cast<const std::uint8_t*>(data);
    Bytes bytes(first, first + count);
    ::SafeArrayUnaccessData(array);
    return bytes;
}

std::unique_ptr<RequestObject> MakeRequestObject() {
    return std::make_unique<WinHttpRequestObject>();
}

} // namespace tavenro
