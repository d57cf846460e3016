// The profile functions as the INI contract tests call them: the real Windows
// functions, or the INI engine on a fake or real file system.
#pragma once
#include <memory>
#include <vector>

#include "support/IniProfile.h"

class IniSubject {
 public:
  virtual ~IniSubject() = default;
  virtual std::string Name() const = 0;
  // Makes the test file hold exactly these bytes (nullopt: no file).
  virtual void PutFile(const std::optional<std::string>& bytes) = 0;
  virtual std::optional<std::string> FileBytes() = 0;
  // GetPrivateProfileStringA into a buffer of `size` characters: the characters before
  // the count it returns, or "<unterminated>" when no NUL followed them.
  virtual std::string Get(const ini::Text& section, const ini::Text& key, const ini::Text& def,
                          std::uint32_t size) = 0;
  virtual std::int32_t Write(const ini::Text& section, const ini::Text& key,
                             const ini::Text& value) = 0;
};

// Defined by each test program: the engine on the fake file system natively; the
// real functions and the engine on the real file system under Wine.
std::vector<std::unique_ptr<IniSubject>> MakeIniSubjects();
