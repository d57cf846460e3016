// Shared path and string helpers.
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

// Replaces every occurrence of `what` in `text`, scanning from the start.
std::string ReplaceAll(std::string text, const std::string& what, const std::string& with);
