#include "ui/resource_module.h"

#include <algorithm>
#include <atomic>
#include <map>

#include "base/program_path.h"
#include "res/resource.h"
#include "ui/app_globals.h"
#include "ui/settings.h"

namespace {

// The language module in use, and its code. Every module loaded stays loaded until the process
// ends: a text read on another thread while the user switches languages stays readable.
std::atomic<HMODULE> g_language{nullptr};
std::wstring g_languageCode;
std::map<std::wstring, HMODULE> g_loaded;

HINSTANCE Holder(HINSTANCE module, const wchar_t* type, const wchar_t* name) {
    return module && FindResourceW(module, name, type) ? module : nullptr;
}

// A string of one module, or nothing: a string is in the block of sixteen numbered id / 16 + 1.
bool StringOf(HINSTANCE module, UINT id, std::wstring& text) {
    if (!module || !Holder(module, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1))) return false;
    const wchar_t* start = nullptr;
    // With a length of 0 LoadString gives a pointer to the string inside the resource.
    const int length = LoadStringW(module, id, reinterpret_cast<wchar_t*>(&start), 0);
    if (length <= 0 || !start) return false;
    text.assign(start, static_cast<size_t>(length));
    return true;
}

}  // namespace

HINSTANCE ResourceModule() {
    HMODULE language = g_language.load();
    return language ? language : g_app.instance;
}

HINSTANCE ResourceModuleFor(const wchar_t* type, const wchar_t* name) {
    if (HINSTANCE found = Holder(g_language.load(), type, name)) return found;
    return Holder(g_app.instance, type, name);
}

std::wstring ResourceString(UINT id) {
    std::wstring text;
    if (!StringOf(g_language.load(), id, text)) StringOf(g_app.instance, id, text);
    return text;
}

std::wstring FillPlaceholders(const std::wstring& text, const std::vector<std::wstring>& values) {
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t next = i + 1 < text.size() ? text[i + 1] : L'\0';
        if (text[i] == L'%' && next == L'%') {
            out += L'%';
            ++i;
        } else if (text[i] == L'%' && next >= L'1' && next <= L'9' && static_cast<size_t>(next - L'1') < values.size()) {
            out += values[static_cast<size_t>(next - L'1')];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::wstring ResourceString(UINT id, const std::vector<std::wstring>& values) {
    return FillPlaceholders(ResourceString(id), values);
}

HMENU LoadResourceMenu(UINT id) {
    HINSTANCE module = ResourceModuleFor(RT_MENU, MAKEINTRESOURCEW(id));
    return module ? LoadMenuW(module, MAKEINTRESOURCEW(id)) : nullptr;
}

const DLGTEMPLATE* DialogTemplate(UINT id) {
    HINSTANCE module = ResourceModuleFor(RT_DIALOG, MAKEINTRESOURCEW(id));
    if (!module) return nullptr;
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), RT_DIALOG);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    return loaded ? static_cast<const DLGTEMPLATE*>(LockResource(loaded)) : nullptr;
}

std::wstring LanguageCodeOf(LANGID language) {
    switch (PRIMARYLANGID(language)) {
        case LANG_GERMAN: return L"de";
        case LANG_JAPANESE: return L"ja";
        default: return {};
    }
}

std::vector<std::wstring> LanguageModulesIn(const std::wstring& folder) {
    std::vector<std::wstring> codes;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"\\*.dll").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return codes;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        std::wstring name = found.cFileName;
        name.resize(name.size() - 4);  // ".dll"
        if (!name.empty()) codes.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(codes.begin(), codes.end());
    return codes;
}

std::wstring LanguageFolder() { return ProgramFolder() + L"\\lang"; }

bool UseLanguage(const std::wstring& code) {
    g_language = nullptr;
    g_languageCode.clear();
    if (code.empty() || code == L"en") return true;
    if (code.find_first_of(L"\\/:.") != std::wstring::npos) return false;
    HMODULE& module = g_loaded[code];
    if (!module) {
        const std::wstring path = LanguageFolder() + L"\\" + code + L".dll";
        module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    }
    if (!module) return false;
    g_languageCode = code;
    g_language = module;
    return true;
}

const std::wstring& LanguageInUse() { return g_languageCode; }

void UseStartLanguage() {
    const std::wstring chosen = LoadSettingText(kLanguageSetting);
    UseLanguage(chosen.empty() ? LanguageCodeOf(GetUserDefaultUILanguage()) : chosen);
}
