#pragma once
// What the user chose about the program's place in Explorer: the file types it is the default
// program for, whether its context-menu items sit in one submenu, and which items the menu shows.
// Kept per user in HKEY_CURRENT_USER\Software\Tolvane Extractor\Integration; the registration
// of every start and the context-menu handler read them, Tools > Options writes them.
#include <cstdint>
#include <string>
#include <vector>

// The items of the context menu, as bits of `IntegrationChoices::menuItems`.
enum MenuItemBit : uint32_t {
    kMenuOpen = 1u << 0,             // Open
    kMenuExtractFiles = 1u << 1,     // Extract files...
    kMenuExtractHere = 1u << 2,      // Extract Here
    kMenuExtractToFolder = 1u << 3,  // Extract to "<name>\"
    kMenuExtractSmart = 1u << 4,     // Extract Here (Smart)
    kMenuTest = 1u << 5,             // Test archive
    kMenuChecksums = 1u << 6,        // Checksums
    kMenuAddDialog = 1u << 7,        // Add to archive...
    kMenuAdd7z = 1u << 8,            // Add to "<name>.7z"
    kMenuAddZip = 1u << 9,           // Add to "<name>.zip"
};
inline constexpr uint32_t kAllMenuItems = (1u << 10) - 1;

struct IntegrationChoices {
    // The extensions (lower case, without the dot) the program is made the default for. A
    // first start, before the user chose, holds "zip" and "rar".
    std::vector<std::wstring> defaultTypes{L"zip", L"rar"};
    bool cascaded = true;                // the items in one "Tolvane Extractor" submenu
    uint32_t menuItems = kAllMenuItems;  // MenuItemBit values
    // A copy run from the portable zip registers nothing until the user asks (in Options or by
    // "/Register"); this records that the user asked.
    bool registrationAsked = false;
    // The user was told once that machine-wide keys could not be written and the program
    // registered for this user only.
    bool toldPerUserOnly = false;
};

// The stored choices; the defaults above for what was never stored or cannot be read.
IntegrationChoices LoadIntegrationChoices();
// Stores `choices`; false when the key cannot be written.
bool SaveIntegrationChoices(const IntegrationChoices& choices);

// The stored text of the types ("zip rar 7z"), and back. Unknown characters are dropped, every
// extension lower-cased, repeats kept once.
std::wstring TypesText(const std::vector<std::wstring>& types);
std::vector<std::wstring> TypesFromText(const std::wstring& text);
