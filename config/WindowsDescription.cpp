#include "config/WindowsDescription.h"

#include <cstdio>
#include <cstring>

namespace quarn {
namespace {

// Values of the Windows SDK, spelled out: this file builds everywhere.
const unsigned long kPlatformNt = 2;
const unsigned char kWorkstation = 1;  // VER_NT_WORKSTATION
const unsigned short kArchitectureIntel = 0;
const unsigned short kArchitectureIa64 = 6;
const unsigned short kArchitectureAmd64 = 9;
const unsigned short kSuiteEnterprise = 0x0002;
const unsigned short kSuiteDatacenter = 0x0080;
const unsigned short kSuitePersonal = 0x0200;
const unsigned short kSuiteBlade = 0x0400;
const unsigned short kSuiteStorageServer = 0x2000;
const unsigned short kSuiteComputeServer = 0x4000;

bool Has(unsigned short mask, unsigned short bit) { return (mask & bit) != 0; }

// Version 6 by minor version and product type.
const char* Version6Name(unsigned long minor, bool workstation) {
  switch (minor) {
    case 0:
      return workstation ? "Windows Vista " : "Windows Server 2008 ";
    case 1:
      return workstation ? "Windows 7 " : "Windows Server 2008 R2 ";
    case 2:
      return workstation ? "Windows 8 " : "Windows Server 2012  ";
    default:
      return "";
  }
}

// Version 6 edition by the product code of GetProductInfo.
const char* Version6Edition(unsigned long productCode) {
  switch (productCode) {
    case 1:
      return "Ultimate Edition";
    case 2:
      return "Home Basic Edition";
    case 3:
      return "Home Premium Edition";
    case 4:
      return "Enterprise Edition";
    case 6:
      return "Business Edition";
    case 7:
      return "Standard Edition";
    case 8:
      return "Datacenter Edition";
    case 9:
      return "Small Business Server";
    case 10:
      return "Enterprise Edition";
    case 11:
      return "Starter Edition";
    case 12:
      return "Datacenter Edition (core installation)";
    case 13:
      return "Standard Edition (core installation)";
    case 14:
      return "Enterprise Edition (core installation)";
    case 15:
      return "Enterprise Edition for Itanium-based Systems";
    case 17:
      return "Web Server Edition";
    case 18:
      return "Cluster Server Edition";
    case 25:
      return "Small Business Server Premium Edition";
    default:
      return "";
  }
}

// Version 5.2: the name, the first rule that applies.
const char* Version52Name(const quarn::sys::WindowsVersionInfo& info) {
  if (info.serverR2 != 0) return "Windows Server 2003 R2, ";
  if (Has(info.suiteMask, kSuiteStorageServer)) return "Windows Storage Server 2003";
  if (info.productType == kWorkstation && info.processorArchitecture == kArchitectureAmd64)
    return "Windows XP Professional x64 Edition";
  return "Windows Server 2003, ";
}

// Version 5.2 edition of a server, by architecture and suite.
const char* Version52Edition(const quarn::sys::WindowsVersionInfo& info) {
  const unsigned short suite = info.suiteMask;
  switch (info.processorArchitecture) {
    case kArchitectureIa64:
      if (Has(suite, kSuiteDatacenter)) return "Datacenter Edition for Itanium-based Systems";
      if (Has(suite, kSuiteEnterprise)) return "Enterprise Edition for Itanium-based Systems";
      return "";
    case kArchitectureAmd64:
      if (Has(suite, kSuiteDatacenter)) return "Datacenter x64 Edition";
      if (Has(suite, kSuiteEnterprise)) return "Enterprise x64 Edition";
      return "Standard x64 Edition";
    default:
      if (Has(suite, kSuiteComputeServer)) return "Compute Cluster Edition";
      if (Has(suite, kSuiteDatacenter)) return "Datacenter Edition";
      if (Has(suite, kSuiteEnterprise)) return "Enterprise Edition";
      if (Has(suite, kSuiteBlade)) return "Web Edition";
      return "Standard Edition";
  }
}

// Version 5.0 edition.
const char* Version50Edition(const quarn::sys::WindowsVersionInfo& info) {
  if (info.productType == kWorkstation) return "Professional";
  if (Has(info.suiteMask, kSuiteDatacenter)) return "Datacenter Server";
  if (Has(info.suiteMask, kSuiteEnterprise)) return "Advanced Server";
  return "Server";
}

}  // namespace

bool AppendWindowsDescription(const quarn::sys::WindowsVersionInfo& info, std::string& text) {
  if (info.platformId != kPlatformNt || info.major <= 4) return false;
  const bool workstation = info.productType == kWorkstation;

  text += "Microsoft ";
  if (info.major == 6) {
    text += Version6Name(info.minor, workstation);
    text += Version6Edition(info.productCode);
  } else if (info.major == 5 && info.minor == 2) {
    text += Version52Name(info);
    if (!workstation) text += Version52Edition(info);
  } else if (info.major == 5 && info.minor == 1) {
    text += "Windows XP ";
    text += Has(info.suiteMask, kSuitePersonal) ? "Home Edition" : "Professional";
  } else if (info.major == 5 && info.minor == 0) {
    text += "Windows 2000 ";
    text += Version50Edition(info);
  }

  // The field is 128 characters; a text that fills it has no terminator.
  const size_t servicePackLength = strnlen(info.servicePack, sizeof info.servicePack);
  if (servicePackLength != 0) {
    text += ' ';
    text.append(info.servicePack, servicePackLength);
  }

  char build[32];
  std::snprintf(build, sizeof build, " (build %d)", static_cast<int>(info.build));
  text += build;

  if (info.major >= 6) {
    if (info.processorArchitecture == kArchitectureAmd64)
      text += ", 64-bit";
    else if (info.processorArchitecture == kArchitectureIntel)
      text += ", 32-bit";
  }
  return true;
}

std::string PlatformTag(const std::string& description, bool x64System) {
  return description + (x64System ? "_X64" : "_X86");
}

}  // namespace quarn
