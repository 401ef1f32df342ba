#pragma once
// What an updated archive must hold, compared with what it held before: the check that a work
// file passes before it takes the archive's place. Each returns why the result is wrong, as a
// clause of a message naming an entry, or empty when it is right.
#include <string>
#include <vector>

// A delete: `after` is `before` without the `deleted` entry paths and everything below them,
// compared exactly (case included); nothing more, nothing less.
std::wstring DeleteResultProblem(const std::vector<std::wstring>& before, const std::vector<std::wstring>& after,
                                 const std::vector<std::wstring>& deleted);

// An add: `after` holds every entry of `before` (one replaced by a name that differs only in
// case counts) and every `added` entry path (compared without regard to case: the archiver
// stores a name as the file system spells it).
std::wstring AddResultProblem(const std::vector<std::wstring>& before, const std::vector<std::wstring>& after,
                              const std::vector<std::wstring>& added);

// Freshen: `after` holds every entry of `before` and nothing new (without regard to case).
std::wstring FreshenResultProblem(const std::vector<std::wstring>& before, const std::vector<std::wstring>& after,
                                  const std::vector<std::wstring>& added);

// Synchronize: `after` holds every `added` entry path and every entry of `before` that lies
// outside them; entries at or below an added path may have gone with their files.
std::wstring SynchronizeResultProblem(const std::vector<std::wstring>& before, const std::vector<std::wstring>& after,
                                      const std::vector<std::wstring>& added);

// A format of one compressed file: `after` holds exactly one item.
std::wstring SingleFileResultProblem(const std::vector<std::wstring>& before, const std::vector<std::wstring>& after,
                                     const std::vector<std::wstring>& added);

// A rename: `after` is `before` with the entry `from` and everything below it moved to `to`
// (the rest of each path kept), compared exactly; nothing more, nothing less.
std::wstring RenameResultProblem(const std::vector<std::wstring>& before, const std::vector<std::wstring>& after,
                                 const std::wstring& from, const std::wstring& to);
