#pragma once
// Checks, by reading the registry back, that the program's shell registration is all there
// (pointing at a given program file) or all gone.
#include <string>
#include <vector>

namespace testsupport {

// Every key and value of the registration, for the program file `longPath`. Adds GoogleTest
// failures for what is missing or different.
void ExpectRegistrationLayout(const std::wstring& longPath);
// The keys of the "Extract to Folder" verb, below HKEY_CLASSES_ROOT (not in the layout above: they
// are there only where the menu handler is not).
std::vector<std::wstring> ExtractToFolderVerbKeys();
// None of the program's keys and values is left.
void ExpectNoRegistration();
// Removes whatever is left of a registration (test set-up).
void RemoveRegistration();

}  // namespace testsupport
