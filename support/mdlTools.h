// Shared path and string helpers, and the localised text lookup.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "support/Convert.h"

std::string GetFileName(const std::string& Path);
std::string GetDirectory(const std::string& Path);
std::string GetLongPath(plat::IFileSystem& files, const std::string& Path);
bool FileExists(plat::IFileSystem& files, const std::string& Path);
// In-place, case-insensitive quicksort of Items[Low..High] (inclusive indices).
void SortStrings(std::vector<std::string>& Items, std::int32_t Low, std::int32_t High);

// The localised text for Section/Key from the language file beside the program,
// or Default (written to the file) when it has none; "\n" becomes CR LF.
std::string GetText(const plat::Platform& platform, const std::string& Section,
                    const std::string& Key, const std::string& Default);

// Replaces every occurrence of `what` in `text`, scanning from the start.
std::string ReplaceAll(std::string text, const std::string& what, const std::string& with);
