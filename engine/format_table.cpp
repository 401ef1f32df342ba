#include "engine/format_table.h"

#include <cwctype>

#include "engine/archive_listing.h"
#include "engine/engine_interfaces.h"
#include "engine/engine_property.h"

namespace {

std::wstring TextOf(const EngineProperty& value) {
    if (value.type() != VT_BSTR || !value.get().bstrVal) return {};
    return std::wstring(value.get().bstrVal, SysStringLen(value.get().bstrVal));
}

std::string BytesOf(const EngineProperty& value) {
    if (value.type() != VT_BSTR || !value.get().bstrVal) return {};
    return std::string(reinterpret_cast<const char*>(value.get().bstrVal), SysStringByteLen(value.get().bstrVal));
}

template <typename Func>
Func Export(HMODULE library, const char* name) {
    return reinterpret_cast<Func>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

std::vector<std::wstring> ReadEncoders(HMODULE library) {
    std::vector<std::wstring> encoders;
    const auto count = Export<GetNumberOfMethodsFunc>(library, "GetNumberOfMethods");
    const auto property = Export<GetMethodPropertyFunc>(library, "GetMethodProperty");
    UINT32 methods = 0;
    if (!count || !property || count(&methods) != S_OK) return encoders;
    EngineProperty value;
    for (UINT32 index = 0; index < methods; ++index) {
        if (property(index, kMethodEncoderAssigned, value.put()) != S_OK || value.type() != VT_BOOL ||
            value.get().boolVal == VARIANT_FALSE)
            continue;
        if (property(index, kMethodName, value.put()) == S_OK) encoders.push_back(TextOf(value));
    }
    return encoders;
}

struct Capabilities {
    std::vector<EngineFormat> formats;
    std::vector<std::wstring> encoders;
};

const Capabilities& LibraryCapabilities() {
    static const Capabilities capabilities = [] {
        Capabilities read;
        EngineLibrary library;
        if (library.load(engineLibraryPath())) {
            read.formats = readEngineFormats(library.module());
            read.encoders = ReadEncoders(library.module());
        }
        return read;
    }();
    return capabilities;
}

}  // namespace

bool equalsIgnoringCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (towlower(a[i]) != towlower(b[i])) return false;
    return true;
}

std::vector<std::wstring> splitExtensionList(std::wstring_view text) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find(L' ', start);
        const size_t stop = end == std::wstring_view::npos ? text.size() : end;
        if (stop > start) parts.emplace_back(text.substr(start, stop - start));
        start = stop + 1;
    }
    return parts;
}

std::vector<std::string> splitMultiSignature(std::string_view bytes) {
    std::vector<std::string> signatures;
    size_t at = 0;
    while (at < bytes.size()) {
        const size_t length = static_cast<unsigned char>(bytes[at]);
        if (length == 0 || at + 1 + length > bytes.size()) break;
        signatures.emplace_back(bytes.substr(at + 1, length));
        at += 1 + length;
    }
    return signatures;
}

std::vector<EngineFormat> readEngineFormats(HMODULE library) {
    std::vector<EngineFormat> formats;
    const auto count = Export<GetNumberOfFormatsFunc>(library, "GetNumberOfFormats");
    const auto property = Export<GetHandlerPropertyFunc>(library, "GetHandlerProperty2");
    UINT32 total = 0;
    if (!count || !property || count(&total) != S_OK) return formats;
    EngineProperty value;
    for (UINT32 index = 0; index < total; ++index) {
        EngineFormat format;
        if (property(index, kFormatName, value.put()) != S_OK) continue;
        format.name = TextOf(value);
        if (property(index, kFormatClassId, value.put()) != S_OK) continue;
        const std::string id = BytesOf(value);
        if (format.name.empty() || id.size() != sizeof(GUID)) continue;
        memcpy(&format.classId, id.data(), sizeof(GUID));
        if (property(index, kFormatExtensions, value.put()) == S_OK) format.extensions = splitExtensionList(TextOf(value));
        if (property(index, kFormatAddExtensions, value.put()) == S_OK)
            format.addExtensions = splitExtensionList(TextOf(value));
        if (property(index, kFormatUpdate, value.put()) == S_OK && value.type() == VT_BOOL)
            format.writable = value.get().boolVal != VARIANT_FALSE;
        if (property(index, kFormatSignature, value.put()) == S_OK && !BytesOf(value).empty())
            format.signatures.push_back(BytesOf(value));
        if (property(index, kFormatMultiSignature, value.put()) == S_OK)
            for (std::string& signature : splitMultiSignature(BytesOf(value))) format.signatures.push_back(signature);
        if (property(index, kFormatSignatureOffset, value.put()) == S_OK && value.type() == VT_UI4)
            format.signatureOffset = value.get().ulVal;
        if (property(index, kFormatFlags, value.put()) == S_OK && value.type() == VT_UI4)
            format.flags = value.get().ulVal;
        formats.push_back(std::move(format));
    }
    return formats;
}

const std::vector<EngineFormat>& engineFormats() { return LibraryCapabilities().formats; }

const EngineFormat* findEngineFormat(std::wstring_view name) {
    for (const EngineFormat& format : engineFormats())
        if (equalsIgnoringCase(format.name, name)) return &format;
    return nullptr;
}

const std::vector<std::wstring>& engineEncoders() { return LibraryCapabilities().encoders; }
