#include "ui/language_menu.h"

#include <vector>

#include "res/resource.h"
#include "ui/resource_module.h"
#include "ui/settings.h"

namespace {

std::vector<std::wstring> Choices() {
    std::vector<std::wstring> codes{L"en"};
    for (const std::wstring& code : LanguageModulesIn(LanguageFolder())) {
        if (codes.size() > ID_LANGUAGE_LAST - ID_LANGUAGE_FIRST) break;
        if (code != L"en") codes.push_back(code);
    }
    return codes;
}

// The name a module gives its language ("Deutsch"), else its code.
std::wstring NameOf(const std::wstring& code) {
    if (code == L"en") return L"English";
    const std::wstring path = LanguageFolder() + L"\\" + code + L".dll";
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) return code;
    const wchar_t* start = nullptr;
    const int length = LoadStringW(module, IDS_LANGUAGE_NAME, reinterpret_cast<wchar_t*>(&start), 0);
    std::wstring name = length > 0 && start ? std::wstring(start, static_cast<size_t>(length)) : code;
    FreeLibrary(module);
    return name;
}

}  // namespace

bool IsLanguageCommand(UINT id) { return id >= ID_LANGUAGE_FIRST && id <= ID_LANGUAGE_LAST; }

std::wstring LanguageOfCommand(UINT id) {
    if (!IsLanguageCommand(id)) return {};
    const std::vector<std::wstring> codes = Choices();
    const size_t index = id - ID_LANGUAGE_FIRST;
    return index < codes.size() ? codes[index] : std::wstring();
}

void FillLanguageMenu(HMENU menu) {
    while (GetMenuItemCount(menu) > 0) DeleteMenu(menu, 0, MF_BYPOSITION);
    const std::vector<std::wstring> codes = Choices();
    const std::wstring inUse = LanguageInUse().empty() ? L"en" : LanguageInUse();
    for (size_t i = 0; i < codes.size(); ++i) {
        const UINT flags = MF_STRING | (codes[i] == inUse ? MF_CHECKED : MF_UNCHECKED);
        AppendMenuW(menu, flags, ID_LANGUAGE_FIRST + static_cast<UINT>(i), NameOf(codes[i]).c_str());
    }
}

bool ChooseLanguage(const std::wstring& code) {
    if (code.empty()) return false;
    const bool loaded = UseLanguage(code);
    if (loaded) SaveSettingText(kLanguageSetting, code);
    return loaded;
}
