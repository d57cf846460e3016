// CFileVersionInfo: every item of an executable's version resource, as text.
#pragma once
#include <cstdint>
#include <string>

#include "platform/Platform.h"

class CFileVersionInfo {
 public:
  explicit CFileVersionInfo(const plat::Platform& platform);

  void FullPathName(const std::string& NewVal);
  const std::string& FullPathName() const { return fullPathName_; }
  bool Available() const { return available_; }
  const std::string& FileFlags() const { return fileFlags_; }
  const std::string& FileOS() const { return fileOS_; }
  const std::string& FileType() const { return fileType_; }
  const std::string& FileSubType() const { return fileSubType_; }
  const std::string& VerFile() const { return verFile_; }
  const std::string& VerProduct() const { return verProduct_; }
  const std::string& VerStructure() const { return verStructure_; }
  std::string PredefinedName(std::int32_t Which) const;
  std::string PredefinedValue(std::int32_t Which) const;
  const std::string& Comments() const { return comments_; }
  const std::string& CompanyName() const { return companyName_; }
  const std::string& FileDescription() const { return fileDescription_; }
  const std::string& FileVersion() const { return fileVersion_; }
  const std::string& InternalName() const { return internalName_; }
  const std::string& Language() const { return language_; }
  const std::string& LegalCopyright() const { return legalCopyright_; }
  const std::string& LegalTrademarks() const { return legalTrademarks_; }
  const std::string& OriginalFilename() const { return originalFilename_; }
  const std::string& ProductName() const { return productName_; }
  const std::string& ProductVersion() const { return productVersion_; }
  const std::string& PrivateBuild() const { return privateBuild_; }
  const std::string& SpecialBuild() const { return specialBuild_; }
  void Refresh();

  // The fixed record's raw version fields (high/low words), for the program's caption.
  std::uint32_t FileVersionMS() const { return fileVersionMS_; }
  std::uint32_t FileVersionLS() const { return fileVersionLS_; }

 private:
  const plat::Platform* platform_;
  std::string fullPathName_;
  bool available_ = false;
  std::string fileFlags_, fileOS_, fileType_, fileSubType_, verFile_, verProduct_, verStructure_,
      comments_, companyName_, fileDescription_, fileVersion_, internalName_, language_,
      legalCopyright_, legalTrademarks_, originalFilename_, productName_, productVersion_,
      privateBuild_, specialBuild_, legalTrademarks1_, legalTrademarks2_;
  std::uint32_t fileVersionMS_ = 0, fileVersionLS_ = 0;
};
